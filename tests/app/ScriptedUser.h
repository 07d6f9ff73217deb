#pragma once
// Plays a user at this thread's windows while a modal loop runs: each step waits for a visible
// top-level window with the given caption (read
// back as UTF-16, so that it is matched exactly on any code page), then acts on it. Ticks through a thread timer, so
// whichever loop is running at the time (dialog, nested dialog) drives it.
#include <windows.h>

#include <deque>
#include <functional>
#include <initializer_list>
#include <string>

class ScriptedUser {
public:
    using Action = std::function<void(HWND)>;

    // After timeoutMs with steps still waiting, the test fails and every dialog of the thread
    // is cancelled, so that a missing window ends the test instead of hanging it.
    explicit ScriptedUser(DWORD timeoutMs = 10000);
    ~ScriptedUser();
    ScriptedUser(const ScriptedUser&) = delete;
    ScriptedUser& operator=(const ScriptedUser&) = delete;

    using Condition = std::function<bool(HWND)>;

    // Steps run in order; a step waits until its window exists (and shows the folders its tree
    // is reading, as a user waits to see them).
    void When(const std::wstring& caption, Action action);
    // The same, and waits until ready holds for that window as well (what earlier input led to).
    void WhenReady(const std::wstring& caption, Condition ready, Action action);
    bool Finished() const { return m_steps.empty(); }
    std::wstring Pending() const { return m_steps.empty() ? std::wstring() : m_steps.front().caption; }

private:
    struct Step {
        std::wstring caption;
        Condition ready;
        Action action;
    };
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void RunStep();
    void GiveUp();

    std::deque<Step> m_steps;
    UINT_PTR m_timer;
    DWORD m_start;
    DWORD m_timeout;
    bool m_bGivenUp = false;
    bool m_bActing = false;
};

// Clicks a control of a dialog as the user would, through the button's own click handling.
void ClickButton(HWND hDlg, int nID);

// Presses and releases each key in turn through the system's input (SendInput), as a user at
// the keyboard: the keys go to the focus of the foreground window, through the dialog manager.
// False when the system did not take them all.
bool PressKeys(std::initializer_list<WORD> keys);
// A key pressed while another is held (VK_MENU and a letter: an access key).
bool PressWith(WORD held, WORD key);

// A double-click on the sub-directory of that name below the selected item of the dialog's
// tree, as the dialog gets it from the tree, once the tree shows the folders it was reading.
// False when the tree shows no such sub-directory.
bool DoubleClickSubdirectory(HWND hDlg, int nTreeID, const std::wstring& name);
