#pragma once
// Ends a message loop that no longer wakes up, so that a test of it fails instead of hanging:
// a quit message is the one thing every loop leaves. What it leaves in the queue goes with it.
#include <windows.h>

class LoopWatchdog {
public:
    explicit LoopWatchdog(UINT nMilliseconds = 3000) : m_timer(SetTimer(nullptr, 0, nMilliseconds, &Fire)) {
        s_fired = false;
    }
    ~LoopWatchdog() {
        KillTimer(nullptr, m_timer);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
    }
    LoopWatchdog(const LoopWatchdog&) = delete;
    LoopWatchdog& operator=(const LoopWatchdog&) = delete;

    bool Fired() const { return s_fired; }

private:
    static void CALLBACK Fire(HWND, UINT, UINT_PTR timer, DWORD) {
        KillTimer(nullptr, timer);
        s_fired = true;
        PostQuitMessage(0);
    }
    static inline bool s_fired = false;
    UINT_PTR m_timer;
};
