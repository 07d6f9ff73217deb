#pragma once
// The progress of a run on the main window's task-bar button, where the system offers it.
// Where it does not (no task bar, no COM), every call does nothing and nothing else changes.
#include <windows.h>

#include <shobjidl.h>

class CTaskbarProgress {
public:
    // hWnd: the window that owns the task-bar button; null shows nothing.
    explicit CTaskbarProgress(HWND hWnd);
    // Clears the progress from the button.
    ~CTaskbarProgress();
    CTaskbarProgress(const CTaskbarProgress&) = delete;
    CTaskbarProgress& operator=(const CTaskbarProgress&) = delete;

    // The progress goes on hWnd's own button from now on: a run with no main window shows it on
    // its progress window's button.
    void ShowOn(HWND hWnd);
    void Show(size_t nDone, size_t nTotal);
    // The run is being stopped: the bar shows that it pauses.
    void ShowStopping();

private:
    HWND m_hWnd = nullptr;
    bool m_bComStarted = false;
    ITaskbarList3* m_pTaskbar = nullptr;
};
