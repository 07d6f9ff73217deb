#pragma once
// A window object: wraps one window handle and routes its messages through the message map.
// It owns only windows it creates itself; attached controls stay their dialog's.
#include "platform/CCmdTarget.h"
#include "platform/CString.h"
#include "platform/CWindowHandles.h"

#include <string>

class CMenu;
class CFont;

class CWnd : public CCmdTarget {
    DECLARE_DYNAMIC(CWnd)
public:
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // The permanent object of a handle, else a temporary wrapper that lives until the current
    // message has been handled. Null for a null handle.
    static CWnd* FromHandle(HWND hWnd);
    static CWnd* FromHandlePermanent(HWND hWnd);

    BOOL Attach(HWND hWnd);
    HWND Detach();
    // Attaches an existing window and routes its messages here; PreSubclassWindow runs first.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();

    BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, int x, int y, int nWidth,
                  int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam = nullptr);
    virtual BOOL DestroyWindow();

    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The platform's processing of the message being handled now.
    LRESULT Default();
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd);
    int GetDlgCtrlID() const;
    CWnd* GetParent() const;
    CWnd* GetDlgItem(int nID) const;
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    void CenterWindow(CWnd* pAlternateOwner = nullptr);
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    BOOL ShowWindow(int nCmdShow);
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL IsWindowVisible() const;
    BOOL IsIconic() const;
    CWnd* SetFocus();
    static CWnd* GetFocus();

    int MessageBoxA(LPCSTR lpszText, LPCSTR lpszCaption = nullptr, UINT nType = MB_OK);

    // Texts of the program (code page 1252) and, wide, texts that are not its own (paths).
    void SetWindowText(LPCSTR lpszString);
    void SetWindowText(const std::wstring& text);
    void GetWindowText(CString& rString) const;
    CString GetWindowTextString() const;
    std::wstring GetWindowTextWide() const;

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    void UpdateWindow();
    void Invalidate(BOOL bErase = TRUE);
    BOOL RedrawWindow(LPCRECT lpRectUpdate = nullptr, HRGN hrgn = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    void GetClientRect(LPRECT lpRect) const;
    void GetWindowRect(LPRECT lpRect) const;
    void ScreenToClient(LPPOINT lpPoint) const;
    void ScreenToClient(LPRECT lpRect) const;
    void ClientToScreen(LPPOINT lpPoint) const;

    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse);
    BOOL KillTimer(UINT_PTR nIDEvent);

    void SetFont(CFont* pFont, BOOL bRedraw = TRUE);
    HFONT GetFontHandle() const;

    // A temporary wrapper of the window's system menu.
    CMenu* GetSystemMenu(BOOL bRevert) const;

    // Reflection: the parent hands a child's notification to the child's own map first.
    bool ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

protected:
    virtual void PreSubclassWindow() {}
    // Runs after the window is gone and the object detached, and only once no handler of
    // this object is running any more; objects on the heap delete themselves here.
    virtual void PostNcDestroy() {}
    virtual bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

private:
    friend LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    friend class CWndCreationHook;
    friend class CDialog;

    void AttachCreated(HWND hWnd);  // during creation, before the first message
    void OnFinalDestroy();          // after WM_NCDESTROY
    bool OnCommandMessage(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    bool OnNotifyMessage(LPARAM lParam, LRESULT* pResult);

    WNDPROC m_pfnSuper = nullptr;  // the window procedure we took over
    bool m_bCreatedHere = false;   // the window is ours to destroy
    int m_nHandling = 0;           // messages of our window being handled now, nested
    bool m_bFinalPending = false;  // the window is gone; the rest waits for the outer handler
};

// Window procedure of every window the framework routes.
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// Frees the temporary wrappers made by FromHandle (done after every message).
void AfxDeleteTempMap();

// Registers (once) and names a window class with the given style, cursor, background and icon.
LPCSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr, HBRUSH hbrBackground = nullptr,
                           HICON hIcon = nullptr);

// Installs the creation hook for one window: the next window created on this thread is
// attached to the object before it receives its first message.
class CWndCreationHook {
public:
    explicit CWndCreationHook(CWnd* pWnd);
    ~CWndCreationHook();
    CWndCreationHook(const CWndCreationHook&) = delete;
    CWndCreationHook& operator=(const CWndCreationHook&) = delete;

private:
    static LRESULT CALLBACK HookProc(int nCode, WPARAM wParam, LPARAM lParam);

    CHookHandle m_hook;
    CWnd* m_pPrevious;
};
