#pragma once
// A dialog built from a resource template and run modally in a loop of its own.
#include "platform/AfxGetMessage.h"
#include "platform/CDataExchange.h"
#include "platform/CWnd.h"

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // IDOK or IDCANCEL (or what EndDialog gave); -1 when the dialog cannot be created.
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);

    // Exchanges data with the controls; false when the exchange failed.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

protected:
    virtual void DoDataExchange(CDataExchange*) {}
    // The base copies members into the controls and lets the platform set the focus.
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // Moved to a screen of another DPI: the system scales the layout and the font; the dialog
    // draws its own pictures and icons again at nDpi. The base has none.
    virtual void ShowAtDpi(UINT /*nDpi*/) {}

    LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);
    // Where the modal loop takes its next message from; a dialog that also waits for something
    // else (another thread's end) takes it from a wait of its own.
    virtual AfxFetched FetchModalMessage(MSG& msg);

    DECLARE_MESSAGE_MAP()

private:
    LRESULT HandleInitDialog(WPARAM, LPARAM);
    LRESULT HandleNcDestroy(WPARAM, LPARAM);
    HWND FindOwner() const;
    void RunModalLoop();

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    INT_PTR m_nModalResult = -1;
    bool m_bContinueModal = false;
};
