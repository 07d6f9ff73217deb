#include "tests/app/ScriptedUser.h"

#include "dirselect/CDirectoryTree.h"
#include "platform/CTreeCtrl.h"
#include "tests/support/Observations.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <vector>

namespace {

ScriptedUser* s_pActive = nullptr;

struct Search {
    const std::wstring* caption;
    HWND found;
};

BOOL CALLBACK MatchCaption(HWND hWnd, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    if (IsWindowVisible(hWnd) && IsWindowEnabled(hWnd) && WideWindowText(hWnd) == *search->caption) {
        search->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindTreeReading(HWND hWnd, LPARAM lParam) {
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (!pWnd || !pWnd->IsKindOf(RUNTIME_CLASS(CDirectoryTree)) || !static_cast<CDirectoryTree*>(pWnd)->IsListing())
        return TRUE;
    *reinterpret_cast<bool*>(lParam) = true;
    return FALSE;
}

// A directory tree of the window is still reading the folders it is to show.
bool ReadsFolders(HWND hWnd) {
    bool bReading = false;
    EnumChildWindows(hWnd, &FindTreeReading, reinterpret_cast<LPARAM>(&bReading));
    return bReading;
}

HTREEITEM TreeItem(HWND hTree, UINT nWhich, HTREEITEM hItem = nullptr) {
    return reinterpret_cast<HTREEITEM>(SendMessageW(hTree, TVM_GETNEXTITEM, nWhich, reinterpret_cast<LPARAM>(hItem)));
}

}  // namespace

bool DoubleClickSubdirectory(HWND hDlg, int nTreeID, const std::wstring& name) {
    HWND hTree = GetDlgItem(hDlg, nTreeID);
    // The user waits to see the folders: the tree's own messages bring them.
    for (ULONGLONG giveUp = GetTickCount64() + 30000; ReadsFolders(hDlg) && GetTickCount64() < giveUp;) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_POSTMESSAGE);
        MSG msg;
        while (PeekMessageW(&msg, hTree, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    HTREEITEM hChild = TreeItem(hTree, TVGN_CHILD, TreeItem(hTree, TVGN_CARET));
    while (hChild && AfxGetTreeItemText(hTree, hChild) != name) hChild = TreeItem(hTree, TVGN_NEXT, hChild);
    if (!hChild) return false;
    SendMessageW(hTree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(hChild));
    NMHDR header{hTree, static_cast<UINT_PTR>(nTreeID), static_cast<UINT>(NM_DBLCLK)};
    SendMessageW(hDlg, WM_NOTIFY, static_cast<WPARAM>(nTreeID), reinterpret_cast<LPARAM>(&header));
    return true;
}

namespace {

INPUT KeyInput(WORD key, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    // The arrows of the cursor block, not those of the number pad.
    bool bExtended = key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN;
    input.ki.dwFlags = flags | (bExtended ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

bool Send(std::vector<INPUT>& inputs) {
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

}  // namespace

bool PressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        inputs.push_back(KeyInput(key, 0));
        inputs.push_back(KeyInput(key, KEYEVENTF_KEYUP));
    }
    return Send(inputs);
}

bool PressWith(WORD held, WORD key) {
    std::vector<INPUT> inputs{KeyInput(held, 0), KeyInput(key, 0), KeyInput(key, KEYEVENTF_KEYUP),
                              KeyInput(held, KEYEVENTF_KEYUP)};
    return Send(inputs);
}

ScriptedUser::ScriptedUser(DWORD timeoutMs)
    : m_timer(SetTimer(nullptr, 0, 30, &Tick)), m_start(GetTickCount()), m_timeout(timeoutMs) {
    s_pActive = this;
}

ScriptedUser::~ScriptedUser() {
    KillTimer(nullptr, m_timer);
    s_pActive = nullptr;
}

void ScriptedUser::When(const std::wstring& caption, Action action) {
    m_steps.push_back({caption, nullptr, std::move(action)});
}

void ScriptedUser::WhenReady(const std::wstring& caption, Condition ready, Action action) {
    m_steps.push_back({caption, std::move(ready), std::move(action)});
}

void CALLBACK ScriptedUser::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (s_pActive) s_pActive->RunStep();
}

void ScriptedUser::RunStep() {
    // An action may open a nested loop of its own; its ticks must not start the next step.
    if (m_bActing || m_steps.empty()) return;
    if (GetTickCount() - m_start > m_timeout) {
        GiveUp();
        return;
    }
    Search search{&m_steps.front().caption, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), &MatchCaption, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return;
    if (ReadsFolders(search.found)) return;  // the user waits to see the folders
    if (m_steps.front().ready && !m_steps.front().ready(search.found)) return;
    Step step = std::move(m_steps.front());
    m_steps.pop_front();
    m_bActing = true;
    step.action(search.found);
    m_bActing = false;
}

void ClickButton(HWND hDlg, int nID) { PostMessageA(GetDlgItem(hDlg, nID), BM_CLICK, 0, 0); }

static BOOL CALLBACK CancelWindow(HWND hWnd, LPARAM) {
    if (IsWindowVisible(hWnd)) PostMessageA(hWnd, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
}

void ScriptedUser::GiveUp() {
    if (!m_bGivenUp)
        ADD_FAILURE() << "window never came or never got ready: " << ::testing::PrintToString(m_steps.front().caption);
    m_bGivenUp = true;
    // The innermost dialog ends first; later ticks cancel the ones it returns to.
    EnumThreadWindows(GetCurrentThreadId(), &CancelWindow, 0);
}
