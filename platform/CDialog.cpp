#include "platform/CDialog.h"

#include "platform/AfxCommonControls.h"
#include "platform/AfxDpi.h"
#include "platform/AfxGetMessage.h"
#include "platform/AfxModuleState.h"
#include "platform/CWinThread.h"

namespace {

// Everything goes through the window procedure that the creation hook installed; the
// platform's dialog procedure has nothing left to do.
INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
    ON_MESSAGE(WM_NCDESTROY, HandleNcDestroy)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
    ON_MESSAGE(WM_DPICHANGED, OnDpiChanged)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

// A dialog that did not place itself in OnInitDialog opens centred, as users know dialogs: over
// its owner, or in the middle of the screen. Done before the platform first shows it.
LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) {
    CRect before;
    GetWindowRect(&before);
    BOOL result = OnInitDialog();
    if (!::IsWindow(m_hWnd) || (GetStyle() & WS_CHILD)) return result;
    CRect after;
    GetWindowRect(&after);
    if (after.left == before.left && after.top == before.top) CenterWindow();
    return result;
}

// A dialog destroyed without EndDialog (its owner closing, DestroyWindow from a timer) ends
// its loop as a closed one does. The loop may be waiting for a message: one is posted to wake it.
LRESULT CDialog::HandleNcDestroy(WPARAM, LPARAM) {
    if (m_bContinueModal) {
        m_nModalResult = IDCANCEL;
        m_bContinueModal = false;
        PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
    }
    return Default();
}

// The window takes the place the system suggests; then the dialog's own pictures, then the
// controls (the link labels take the new font).
LRESULT CDialog::OnDpiChanged(WPARAM wParam, LPARAM lParam) {
    Default();
    ShowAtDpi(AfxTakeDpiChange(m_hWnd, wParam, lParam));
    AfxNotifyChildrenOfDpiChange(m_hWnd);
    return 0;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return !dx.Failed();
}

void CDialog::EndDialog(int nResult) {
    m_nModalResult = nResult;
    m_bContinueModal = false;
    if (m_hWnd) PostMessage(WM_NULL);  // wakes the modal loop
}

// The given parent, else the application's main window, else none; always a top-level window.
HWND CDialog::FindOwner() const {
    CWnd* pOwner = m_pParentWnd ? m_pParentWnd : AfxGetThread()->GetMainWnd();
    if (!pOwner || pOwner == this || !pOwner->m_hWnd) return nullptr;
    return GetAncestor(pOwner->m_hWnd, GA_ROOT);
}

INT_PTR CDialog::DoModal() {
    HINSTANCE hInst = AfxFindResourceHandle(MAKEINTRESOURCEA(m_nIDTemplate), RT_DIALOG);
    HRSRC hResource = FindResourceW(hInst, MAKEINTRESOURCEW(m_nIDTemplate), MAKEINTRESOURCEW(5));  // RT_DIALOG
    HGLOBAL hTemplate = hResource ? LoadResource(hInst, hResource) : nullptr;
    auto pTemplate = static_cast<LPCDLGTEMPLATEW>(hTemplate ? LockResource(hTemplate) : nullptr);
    if (!pTemplate || m_hWnd) return -1;

    AfxInitCommonControls();
    HWND hOwner = FindOwner();
    bool ownerWasEnabled = hOwner && ::IsWindowEnabled(hOwner);
    if (ownerWasEnabled) ::EnableWindow(hOwner, FALSE);

    m_nModalResult = -1;
    m_bContinueModal = true;
    HWND hWnd;
    {
        CWndCreationHook hook(this);
        // A Unicode dialog: the template's UTF-16 texts reach the controls unconverted.
        hWnd = CreateDialogIndirectParamW(hInst, pTemplate, hOwner, &AfxDlgProc, 0);
    }
    if (hWnd && m_hWnd == hWnd) {
        if (m_bContinueModal) ShowWindow(SW_SHOWNORMAL);
        RunModalLoop();
    } else {
        m_nModalResult = -1;
    }
    // The owner gets the activation back before the dialog goes, so it does not flicker away.
    if (ownerWasEnabled) ::EnableWindow(hOwner, TRUE);
    if (hOwner && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(hOwner);
    if (m_hWnd) DestroyWindow();
    return m_nModalResult;
}

AfxFetched CDialog::FetchModalMessage(MSG& msg) { return AfxGetMessage(msg); }

void CDialog::RunModalLoop() {
    while (m_bContinueModal && m_hWnd) {
        MSG msg;
        switch (FetchModalMessage(msg)) {
        case AfxFetched::Message:
            AfxPumpMessage(msg);
            break;
        case AfxFetched::Quit:
            PostQuitMessage(static_cast<int>(msg.wParam));  // leave the quit to the outer loop
            m_bContinueModal = false;
            break;
        case AfxFetched::Failed:
            // Fetching again would fail again; the dialog ends as one that could not run.
            m_nModalResult = -1;
            m_bContinueModal = false;
            break;
        }
    }
}
