#pragma once
// umbrix.exe started as a process of its own, and what a test needs to work it from outside as
// a user would: its windows found by caption, its boxes read and answered, its exit code.
#include <windows.h>

#include "filesystem/CUniqueHandle.h"
#include "tests/support/TempDirectory.h"

#include <string>
#include <thread>
#include <vector>

// build/umbrix.exe, seen from a test in build/tests/app.
std::string ProgramPath();
// build/umbrix.com, the same program for the console.
std::wstring ConsoleProgramPath();

// The main dialog and the program's boxes carry the same caption, "Umbrix": they are told apart
// by their controls (the main dialog has its case buttons, a box has none).
enum class WindowKind { Any, MainDialog, MessageBox };

struct WindowSearch {
    DWORD pid;
    std::wstring caption;
    HWND found = nullptr;
    WindowKind kind = WindowKind::Any;
    bool bHidden = false;  // a hidden window is looked for instead (a quiet run has one)
};
// EnumWindows callback: a visible, enabled top-level window of search->pid with that caption,
// of that kind; or a hidden one.
BOOL CALLBACK MatchWindow(HWND hWnd, LPARAM lParam);

// A visible, enabled top-level window of the process with that caption; null after 10 s.
HWND WaitForWindow(DWORD pid, const std::wstring& caption, WindowKind kind = WindowKind::Any);
// Whether the process shows any window at all right now.
bool ShowsAnyWindow(DWORD pid);
// The program's main dialog, and a box of the program (both "Umbrix"), the same way.
HWND WaitForMainDialog(DWORD pid);
HWND WaitForMessageBox(DWORD pid);
// A visible window that hOwner owns, if there is one.
HWND OwnedPopup(HWND hOwner);
void Click(HWND hButton);
// The static text of a message box and a click on its one button, or on the button given.
std::wstring AnswerMessageBox(HWND hBox, int nButton = 0);

// One of a program's streams, read on a thread of its own from its start, so that the program
// never waits for the test to read what it writes.
class PipeReader {
public:
    PipeReader() = default;
    ~PipeReader();
    PipeReader(const PipeReader&) = delete;
    PipeReader& operator=(const PipeReader&) = delete;

    void Start(CKernelHandle pipe);
    // All that came, once the stream has ended (the program's end): bytes as written.
    std::string Text();

private:
    CKernelHandle m_pipe;
    std::thread m_thread;
    std::string m_text;
};

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
    std::string Output() { return m_output.Text(); }
    std::string Errors() { return m_errors.Text(); }

private:
    void Start(std::wstring commandLine, const std::wstring& workingDirectory, Streams streams);

    CKernelHandle m_process;
    CKernelHandle m_thread;
    PipeReader m_output;
    PipeReader m_errors;
    DWORD m_id = 0;
};

// A program's output as the lines a script reads: UTF-8, CR LF after each.
std::vector<std::wstring> OutputLines(const std::string& output);

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

// A console of the test's own, as a command prompt has one: the programs started with
// Streams::Absent (or for the console) write to it, and Ctrl+C typed into it reaches every
// program attached to it. The test answers the keys itself, and is not ended by them.
class OwnConsole {
public:
    OwnConsole();
    ~OwnConsole();
    OwnConsole(const OwnConsole&) = delete;
    OwnConsole& operator=(const OwnConsole&) = delete;

    bool Made() const { return m_bMade; }
    // The lines its screen buffer shows, blanks at their ends taken away.
    std::vector<std::wstring> Lines() const;
    // Ctrl+C as the keyboard gives it: a key event in the console's input.
    bool TypeCtrlC() const;

private:
    bool m_bMade = false;
};

// 20,000 files, enough for a run that lasts long enough to be watched, stopped and ended.
struct ManyFilesDirectory {
    ManyFilesDirectory() { dir.AddFilesOnLinux(names); }
    TempDirectory dir;
    std::vector<std::wstring> names = ManyFiles(20000);
};
