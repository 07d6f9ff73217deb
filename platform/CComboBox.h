#pragma once
// A combo box control.
#include "platform/CWnd.h"

class CComboBox : public CWnd {
public:
    int AddString(LPCSTR lpszString);  // the program's own text
    int AddString(const std::wstring& text);
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int nSelect);
    // The first entry from the start of the list whose text begins with the prefix (any case).
    int FindString(int nStartAfter, LPCSTR lpszPrefix) const;
    int FindString(int nStartAfter, const std::wstring& prefix) const;
    void GetLBText(int nIndex, CString& rString) const;
    std::wstring GetLBTextWide(int nIndex) const;
};
