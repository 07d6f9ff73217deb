#pragma once
// Data exchange between a dialog's controls and its members.
#include "platform/CString.h"

#include <string>

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate) : m_pDlgWnd(pDlgWnd), m_bSaveAndValidate(bSaveAndValidate) {}

    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;  // true: controls to members; false: members to controls

    // Marks the exchange as failed (a control is missing); the dialog then stays open.
    void Fail() { m_bFailed = true; }
    bool Failed() const { return m_bFailed; }

private:
    bool m_bFailed = false;
};

// Attaches control nIDC to rControl the first time; later exchanges change nothing.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
// Edit control text <-> string.
void DDX_Text(CDataExchange* pDX, int nIDC, CString& rValue);
// The same for a text that is not the program's own (a path), exactly as the control holds it.
void DDX_Text(CDataExchange* pDX, int nIDC, std::wstring& rValue);
