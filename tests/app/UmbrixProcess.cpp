#include "tests/app/UmbrixProcess.h"

#include "tests/support/Observations.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

std::wstring Wide(const std::string& ansi) {
    int count = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(count > 0 ? count - 1 : 0), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, wide.data(), count);
    return wide;
}

}  // namespace

std::string ProgramPath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path);
    dir.erase(dir.find_last_of("\\/"));
    return dir + "\\..\\..\\umbrix.exe";  // the test sits in <build>\tests\app
}

std::wstring ConsoleProgramPath() {
    std::string path = ProgramPath();
    return Wide(path.substr(0, path.size() - 4) + ".com");
}

namespace {

bool IsOfKind(HWND hWnd, WindowKind kind) {
    const int kCaseButton = 1003;  // "in kleine Dateinamen"
    switch (kind) {
    case WindowKind::MainDialog:
        return GetDlgItem(hWnd, kCaseButton) != nullptr;
    case WindowKind::MessageBox:
        return GetDlgItem(hWnd, kCaseButton) == nullptr;
    case WindowKind::Any:
        break;
    }
    return true;
}

}  // namespace

BOOL CALLBACK MatchWindow(HWND hWnd, LPARAM lParam) {
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hWnd, &pid);
    if (pid != search->pid) return TRUE;
    if (search->bHidden ? IsWindowVisible(hWnd) : !IsWindowVisible(hWnd) || !IsWindowEnabled(hWnd)) return TRUE;
    if (WideWindowText(hWnd) != search->caption || !IsOfKind(hWnd, search->kind)) return TRUE;
    search->found = hWnd;
    return FALSE;
}

HWND WaitForWindow(DWORD pid, const std::wstring& caption, WindowKind kind) {
    for (int i = 0; i < 1000; ++i) {
        WindowSearch search{pid, caption, nullptr, kind};
        EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        Sleep(10);
    }
    return nullptr;
}

HWND WaitForMainDialog(DWORD pid) { return WaitForWindow(pid, L"Umbrix", WindowKind::MainDialog); }
HWND WaitForMessageBox(DWORD pid) { return WaitForWindow(pid, L"Umbrix", WindowKind::MessageBox); }

namespace {

// The first top-level window that match accepts; null when none does.
HWND FindTopLevelWindow(const std::function<bool(HWND)>& match) {
    struct Search {
        const std::function<bool(HWND)>& match;
        HWND found = nullptr;
    } search{match};
    EnumWindows(
        [](HWND hWnd, LPARAM lParam) -> BOOL {
            auto* pSearch = reinterpret_cast<Search*>(lParam);
            if (pSearch->match(hWnd)) pSearch->found = hWnd;
            return pSearch->found == nullptr;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

bool ShowsAnyWindow(DWORD pid) {
    return FindTopLevelWindow([pid](HWND hWnd) {
               DWORD owner = 0;
               GetWindowThreadProcessId(hWnd, &owner);
               return owner == pid && IsWindowVisible(hWnd);
           }) != nullptr;
}

HWND OwnedPopup(HWND hOwner) {
    return FindTopLevelWindow(
        [hOwner](HWND hWnd) { return GetWindow(hWnd, GW_OWNER) == hOwner && IsWindowVisible(hWnd); });
}

void Click(HWND hButton) { PostMessageA(hButton, BM_CLICK, 0, 0); }

std::wstring AnswerMessageBox(HWND hBox, int nButton) {
    std::wstring text;
    HWND hButton = nullptr;
    for (HWND h = GetWindow(hBox, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
        char cls[32] = {};
        GetClassNameA(h, cls, sizeof(cls));
        if (lstrcmpiA(cls, "Static") == 0 && !WideWindowText(h).empty()) text = WideWindowText(h);
        if (lstrcmpiA(cls, "Button") == 0) hButton = h;
    }
    if (nButton) hButton = GetDlgItem(hBox, nButton);
    if (hButton) Click(hButton);
    return text;
}

UmbrixProcess::UmbrixProcess(const std::string& arguments, const std::string& workingDirectory) {
    Start(Wide("\"" + ProgramPath() + "\" " + arguments), Wide(workingDirectory), Streams::Inherited);
}

UmbrixProcess::UmbrixProcess(const std::wstring& arguments, const std::wstring& workingDirectory, Streams streams) {
    Start(L"\"" + Wide(ProgramPath()) + L"\" " + arguments, workingDirectory, streams);
}

UmbrixProcess::UmbrixProcess(const CommandLine& commandLine, const std::wstring& workingDirectory, Streams streams) {
    Start(commandLine.text, workingDirectory, streams);
}

void UmbrixProcess::Start(std::wstring commandLine, const std::wstring& workingDirectory, Streams streams) {
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    CKernelHandle outputEnd, errorsEnd;  // the program's ends of the pipes
    CKernelHandle output, errors;        // ours
    if (streams == Streams::Caught) {
        SECURITY_ATTRIBUTES inherited{sizeof(inherited), nullptr, TRUE};
        if (!CreatePipe(output.Receive(), outputEnd.Receive(), &inherited, 0) ||
            !CreatePipe(errors.Receive(), errorsEnd.Receive(), &inherited, 0))
            return;
        SetHandleInformation(output.Get(), HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(errors.Get(), HANDLE_FLAG_INHERIT, 0);
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdOutput = outputEnd.Get();
        si.hStdError = errorsEnd.Get();
    }
    if (streams == Streams::Absent) si.dwFlags = STARTF_USESTDHANDLES;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, streams == Streams::Caught, 0, nullptr,
                        workingDirectory.c_str(), &si, &pi))
        return;
    m_process = CKernelHandle(pi.hProcess);
    m_thread = CKernelHandle(pi.hThread);
    m_id = pi.dwProcessId;
    if (streams != Streams::Caught) return;
    m_output.Start(std::move(output));
    m_errors.Start(std::move(errors));
}

UmbrixProcess::~UmbrixProcess() {
    if (m_process && WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT) TerminateProcess(m_process.Get(), 99);
}

void UmbrixProcess::Terminate() const {
    TerminateProcess(m_process.Get(), 9);
    WaitForSingleObject(m_process.Get(), 10000);
}

DWORD UmbrixProcess::WaitForExit(DWORD dwMilliseconds) const {
    WaitForSingleObject(m_process.Get(), dwMilliseconds);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(m_process.Get(), &code);
    return code;
}

void PipeReader::Start(CKernelHandle pipe) {
    m_pipe = std::move(pipe);
    m_thread = std::thread([this] {
        char buffer[4096];
        DWORD dwRead = 0;
        while (ReadFile(m_pipe.Get(), buffer, sizeof(buffer), &dwRead, nullptr) && dwRead > 0)
            m_text.append(buffer, dwRead);
    });
}

std::string PipeReader::Text() {
    if (m_thread.joinable()) m_thread.join();
    m_pipe.Close();
    return m_text;
}

PipeReader::~PipeReader() {
    if (m_thread.joinable()) m_thread.join();
}
const wchar_t kProgressCaption[] = L"Umbenennen";

std::vector<std::wstring> ManyFiles(int count) {
    std::vector<std::wstring> names;
    for (int i = 0; i < count; ++i) names.push_back(L"File_" + std::to_wstring(100000 + i) + L".DAT");
    return names;
}

std::vector<std::wstring> OutputLines(const std::string& output) {
    std::wstring text = FromUtf8(output);
    std::vector<std::wstring> lines;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find(L"\r\n", start);
        if (end == std::wstring::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

size_t LeadingCount(const std::wstring& text) {
    size_t count = 0;
    for (wchar_t ch : text) {
        if (ch == L'.') continue;
        if (ch < L'0' || ch > L'9') break;
        count = count * 10 + (ch - L'0');
    }
    return count;
}

void ExpectAnswering(HWND hMain) {
    DWORD_PTR result = 0;
    EXPECT_NE(SendMessageTimeoutW(hMain, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 200, &result), 0) << "no answer in 200 ms";
    EXPECT_FALSE(IsHungAppWindow(hMain));
}

void ClickWithMouse(HWND hWnd) {
    RECT rect{};
    GetWindowRect(hWnd, &rect);
    POINT point{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    SetForegroundWindow(GetAncestor(hWnd, GA_ROOT));
    SetCursorPos(point.x, point.y);
    Sleep(100);
    INPUT clicks[2] = {};
    for (int i = 0; i < 2; ++i) {
        clicks[i].type = INPUT_MOUSE;
        clicks[i].mi.dx = MulDiv(point.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        clicks[i].mi.dy = MulDiv(point.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
        clicks[i].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE |
                               (i ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN);
    }
    SendInput(2, clicks, sizeof(INPUT));
}

size_t ExpectEveryFileWhole(const TempDirectory& dir, const std::vector<std::wstring>& names) {
    std::vector<std::wstring> after = dir.Names();
    EXPECT_EQ(after.size(), names.size()) << "a file is missing, doubled, or something was left beside them";
    size_t renamed = 0;
    for (const std::wstring& name : names) {
        std::wstring lower = L"file_" + name.substr(5, 6) + L".dat";
        std::string contents = dir.Contents(lower);
        renamed += contents != "<missing>";
        EXPECT_EQ(contents == "<missing>" ? dir.Contents(name) : contents, Utf8(name));
    }
    return renamed;
}

namespace {

BOOL WINAPI AnswerConsoleKeys(DWORD) { return TRUE; }

}  // namespace

OwnConsole::OwnConsole() {
    FreeConsole();
    m_bMade = AllocConsole() != FALSE;
    SetConsoleCtrlHandler(&AnswerConsoleKeys, TRUE);
}

OwnConsole::~OwnConsole() {
    SetConsoleCtrlHandler(&AnswerConsoleKeys, FALSE);
    FreeConsole();
}

std::vector<std::wstring> OwnConsole::Lines() const {
    CFileHandle console(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr));
    CONSOLE_SCREEN_BUFFER_INFO info{};
    std::vector<std::wstring> lines;
    if (!console || !GetConsoleScreenBufferInfo(console.Get(), &info)) return lines;
    for (SHORT y = 0; y <= info.dwCursorPosition.Y; ++y) {
        std::wstring line(static_cast<size_t>(info.dwSize.X), L' ');
        DWORD dwRead = 0;
        ReadConsoleOutputCharacterW(console.Get(), line.data(), info.dwSize.X, COORD{0, y}, &dwRead);
        line.resize(line.find_last_not_of(L' ') + 1);
        lines.push_back(line);
    }
    return lines;
}

// Under Wine, GenerateConsoleCtrlEvent reaches only the caller and programs that attached with
// AttachConsole; a key typed into the console reaches every program of the console.
bool OwnConsole::TypeCtrlC() const {
    CFileHandle input(CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    INPUT_RECORD keys[2] = {};
    for (int i = 0; i < 2; ++i) {
        KEY_EVENT_RECORD& key = keys[i].Event.KeyEvent;
        keys[i].EventType = KEY_EVENT;
        key.bKeyDown = i == 0;
        key.wRepeatCount = 1;
        key.wVirtualKeyCode = 'C';
        key.uChar.UnicodeChar = L'C' - L'@';  // Ctrl+C is character 3
        key.dwControlKeyState = LEFT_CTRL_PRESSED;
    }
    DWORD dwWritten = 0;
    return input && WriteConsoleInputW(input.Get(), keys, 2, &dwWritten) && dwWritten == 2;
}
