#include "platform/CDataExchange.h"

#include "platform/CWnd.h"

#include <type_traits>

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.m_hWnd) return;
    HWND hControl = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC);
    if (!hControl || !rControl.SubclassWindow(hControl)) pDX->Fail();
}

namespace {

template <typename Text>
void ExchangeText(CDataExchange* pDX, int nIDC, Text& rValue) {
    HWND hControl = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC);
    if (!hControl) {
        pDX->Fail();
        return;
    }
    CWnd* pControl = CWnd::FromHandle(hControl);
    if (!pDX->m_bSaveAndValidate)
        pControl->SetWindowText(rValue);
    else if constexpr (std::is_same_v<Text, std::wstring>)
        rValue = pControl->GetWindowTextWide();
    else
        pControl->GetWindowText(rValue);
}

}  // namespace

void DDX_Text(CDataExchange* pDX, int nIDC, CString& rValue) { ExchangeText(pDX, nIDC, rValue); }

void DDX_Text(CDataExchange* pDX, int nIDC, std::wstring& rValue) { ExchangeText(pDX, nIDC, rValue); }
