#include "app/CStandardStream.h"

#include <vector>

namespace {

// A handle the caller gave the process for this stream, if it gave one that leads somewhere.
HANDLE RedirectedHandle(DWORD nStdHandle) {
    HANDLE hStream = GetStdHandle(nStdHandle);
    if (hStream == nullptr || hStream == INVALID_HANDLE_VALUE) return nullptr;
    return GetFileType(hStream) == FILE_TYPE_UNKNOWN ? nullptr : hStream;
}

// The console of the process that started this one (a command prompt), reached once. Its
// Ctrl+C and Ctrl+Break then reach this process too: a run answers them (CStopFromOutside).
bool ReachParentConsole() {
    static const bool s_bAttached = AttachConsole(ATTACH_PARENT_PROCESS) || GetLastError() == ERROR_ACCESS_DENIED;
    return s_bAttached;
}

bool IsConsole(HANDLE hStream) {
    DWORD dwMode = 0;
    return GetConsoleMode(hStream, &dwMode) != FALSE;
}

// Hands the text over piece by piece until all of it is out; write gives back how many
// characters went, 0 when none could.
template <class Char, class Write>
bool WriteInPieces(const Char* pText, size_t nLeft, Write write) {
    while (nLeft > 0) {
        DWORD dwWritten = write(pText, static_cast<DWORD>(nLeft < 8192 ? nLeft : 8192));
        if (dwWritten == 0) return false;
        pText += dwWritten;
        nLeft -= dwWritten;
    }
    return true;
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    int nSize = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                    nullptr);
    std::string utf8(static_cast<size_t>(nSize), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(), nSize, nullptr, nullptr);
    return utf8;
}

}  // namespace

CStandardStream::CStandardStream(DWORD nStdHandle) {
    m_hStream = RedirectedHandle(nStdHandle);
    if (!m_hStream && ReachParentConsole()) {
        // The console's screen buffer itself: the process's standard handles stay as they were.
        m_console = CFileHandle(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
        if (m_console) m_hStream = m_console.Get();
    }
    m_bConsole = m_hStream && IsConsole(m_hStream);
}

bool CStandardStream::WriteLines(const std::wstring& text) {
    if (!m_hStream) return false;
    std::wstring lines;
    for (wchar_t ch : text) {
        if (ch == L'\n') lines += L'\r';
        lines += ch;
    }
    lines += L"\r\n";
    HANDLE hStream = m_hStream;
    if (m_bConsole)
        return WriteInPieces(lines.c_str(), lines.size(), [hStream](const wchar_t* pText, DWORD nCount) {
            DWORD dwWritten = 0;
            return WriteConsoleW(hStream, pText, nCount, &dwWritten, nullptr) ? dwWritten : 0;
        });
    std::string utf8 = Utf8(lines);
    return WriteInPieces(utf8.data(), utf8.size(), [hStream](const char* pData, DWORD nCount) {
        DWORD dwWritten = 0;
        return WriteFile(hStream, pData, nCount, &dwWritten, nullptr) ? dwWritten : 0;
    });
}
