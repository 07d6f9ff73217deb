#pragma once
// umbrix.exe started as a process of its own, and what a test needs to work it from outside as
// a user would: its windows found by caption, its boxes read and answered, its exit code.
#include <windows.h>

#include "filesystem/CUniqueHandle.h"
#include "tests/support/TempDirectory.h"

#include <string>
#include <vector>

// build/umbrix.exe, seen from a test in build/tests/app.
std::string ProgramPath();

struct WindowSearch {
    DWORD pid;
    std::wstring caption;
    HWND found = nullptr;
};
// EnumWindows callback: a visible, enabled top-level window of search->pid with that caption.
BOOL CALLBACK MatchWindow(HWND hWnd, LPARAM lParam);

// A visible, enabled top-level window of the process with that caption; null after 10 s.
HWND WaitForWindow(DWORD pid, const std::wstring& caption);
// A visible window that hOwner owns, if there is one.
HWND OwnedPopup(HWND hOwner);
void Click(HWND hButton);
// The static text of a message box and a click on its one button, or on the button given.
std::wstring AnswerMessageBox(HWND hBox, int nButton = 0);

class UmbrixProcess {
public:
    // Inherited: whatever the system gives a program started without handles named.
    // Caught: standard output and error in pipes, read by Output() and Errors().
    // Absent: no standard handles at all, as a command prompt starts a windowed program.
    enum class Streams { Inherited, Caught, Absent };

    UmbrixProcess(const std::string& arguments, const std::string& workingDirectory);
    // Arguments and directory of any script.
    UmbrixProcess(const std::wstring& arguments, const std::wstring& workingDirectory,
                  Streams streams = Streams::Inherited);
    // A whole command line, program included, as the shell starts one.
    struct CommandLine {
        std::wstring text;
    };
    UmbrixProcess(const CommandLine& commandLine, const std::wstring& workingDirectory,
                  Streams streams = Streams::Inherited);
    ~UmbrixProcess();
    UmbrixProcess(const UmbrixProcess&) = delete;
    UmbrixProcess& operator=(const UmbrixProcess&) = delete;

    bool Started() const { return static_cast<bool>(m_process); }
    // Ends the program at once, as the task manager or a power cut would.
    void Terminate() const;
    DWORD Id() const { return m_id; }
    HANDLE Handle() const { return m_process.Get(); }
    // The exit code, or STILL_ACTIVE when it has not ended within that time.
    DWORD WaitForExit(DWORD dwMilliseconds = 10000) const;
    // All that the program wrote, read to the stream's end (the program's end): bytes as written.
    std::string Output() { return ReadToEnd(m_output); }
    std::string Errors() { return ReadToEnd(m_errors); }

private:
    void Start(std::wstring commandLine, const std::wstring& workingDirectory, Streams streams);
    static std::string ReadToEnd(CKernelHandle& pipe);

    CKernelHandle m_process;
    CKernelHandle m_thread;
    CKernelHandle m_output;
    CKernelHandle m_errors;
    DWORD m_id = 0;
};

// The caption of a long run's progress window.
extern const wchar_t kProgressCaption[];

// The files of a long run: mixed case, each holding its own name.
std::vector<std::wstring> ManyFiles(int count);

// The first number of a text, read with the German thousands separator ("1.234 von ...").
size_t LeadingCount(const std::wstring& text);

// The window answers at once and the system does not take it for hung.
void ExpectAnswering(HWND hMain);

// A left click at the middle of the window, through the system's input queue.
void ClickWithMouse(HWND hWnd);

// Every file of ManyFiles exactly once, under its old name or its lower-case one, with its own
// contents, and nothing else in the directory: no waiting name, no staging folder. Returns the
// renamed count.
size_t ExpectEveryFileWhole(const TempDirectory& dir, const std::vector<std::wstring>& names);

// 20,000 files, enough for a run that lasts long enough to be watched, stopped and ended.
struct ManyFilesDirectory {
    ManyFilesDirectory() { dir.AddFilesOnLinux(names); }
    TempDirectory dir;
    std::vector<std::wstring> names = ManyFiles(20000);
};
