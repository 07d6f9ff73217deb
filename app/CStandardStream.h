#pragma once
// One standard stream of the process as a program without a console of its own has it: the
// handle its caller redirected to a file or a pipe, or else the console of the process that
// started it. Text goes to a console in the console's own characters and to a file or a pipe
// as UTF-8.
#include "filesystem/CUniqueHandle.h"

#include <string>

class CStandardStream {
public:
    // nStdHandle: STD_OUTPUT_HANDLE or STD_ERROR_HANDLE.
    explicit CStandardStream(DWORD nStdHandle);
    CStandardStream(const CStandardStream&) = delete;
    CStandardStream& operator=(const CStandardStream&) = delete;

    // Whether there is anything to write to.
    bool IsOpen() const { return m_hStream != nullptr; }
    // text: lines separated by '\n'; every line goes out with CR LF after it. False when not
    // all of it was written (or there is no stream).
    bool WriteLines(const std::wstring& text);

private:
    HANDLE m_hStream = nullptr;
    CFileHandle m_console;  // the parent's console, opened here; the redirected handle is not ours
    bool m_bConsole = false;
};
