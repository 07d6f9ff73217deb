#include "platform/AfxWindowProcFault.h"

#include "platform/AfxMessageBox.h"
#include "platform/AfxModuleState.h"
#include "platform/CDialog.h"

namespace {

const char kFaultText[] = "Ein unerwarteter Fehler ist aufgetreten. Das Fenster wurde geschlossen.";

// The boxes' own loop may run into further faults; they end their windows but tell nothing new.
bool s_bTelling = false;

void EndWindow(HWND hRoot) {
    CWnd* pRoot = CWnd::FromHandlePermanent(hRoot);
    if (!pRoot) return;  // not ours to end
    if (pRoot->IsKindOf(RUNTIME_CLASS(CDialog))) {
        static_cast<CDialog*>(pRoot)->EndDialog(-1);
        ::ShowWindow(hRoot, SW_HIDE);
    } else {
        pRoot->DestroyWindow();
    }
}

}  // namespace

void AfxEndAfterWindowProcFault(HWND hWnd, const char* pszWhat) {
    HWND hRoot = ::IsWindow(hWnd) ? ::GetAncestor(hWnd, GA_ROOT) : nullptr;
    if (!hRoot) hRoot = hWnd;
    HWND hOwner = ::IsWindow(hRoot) ? ::GetWindow(hRoot, GW_OWNER) : nullptr;
    EndWindow(hRoot);
    if (s_bTelling) return;
    s_bTelling = true;
    CString text = kFaultText;
    if (pszWhat && *pszWhat) text += CString("\n\n") + pszWhat;
    AfxShowMessageBox(hOwner, text, AfxGetAppName(), MB_OK | MB_ICONERROR);
    s_bTelling = false;
}
