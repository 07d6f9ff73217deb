#include "platform/CDataExchange.h"

#include "platform/CWnd.h"

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.m_hWnd) return;
    HWND hControl = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC);
    if (!hControl || !rControl.SubclassWindow(hControl)) pDX->Fail();
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& rValue) {
    HWND hControl = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC);
    if (!hControl) {
        pDX->Fail();
        return;
    }
    CWnd* pControl = CWnd::FromHandle(hControl);
    if (pDX->m_bSaveAndValidate)
        pControl->GetWindowText(rValue);
    else
        pControl->SetWindowText(rValue);
}
