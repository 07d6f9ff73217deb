#pragma once
// A combo box control.
#include "platform/CWnd.h"

class CComboBox : public CWnd {
public:
    int AddString(LPCSTR lpszString);
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int nSelect);
    // The first entry from the start of the list whose text begins with the prefix (any case).
    int FindString(int nStartAfter, LPCSTR lpszPrefix) const;
    void GetLBText(int nIndex, CString& rString) const;
};
