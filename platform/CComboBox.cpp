#include "platform/CComboBox.h"

int CComboBox::AddString(LPCSTR lpszString) { return AddString(AfxToWide(lpszString)); }

int CComboBox::AddString(const std::wstring& text) {
    return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

int CComboBox::GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
int CComboBox::GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
int CComboBox::SetCurSel(int nSelect) {
    return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(nSelect)));
}

int CComboBox::FindString(int nStartAfter, LPCSTR lpszPrefix) const {
    return FindString(nStartAfter, AfxToWide(lpszPrefix));
}

int CComboBox::FindString(int nStartAfter, const std::wstring& prefix) const {
    return static_cast<int>(
        SendMessage(CB_FINDSTRING, static_cast<WPARAM>(nStartAfter), reinterpret_cast<LPARAM>(prefix.c_str())));
}

void CComboBox::GetLBText(int nIndex, CString& rString) const { rString = AfxFromWide(GetLBTextWide(nIndex)); }

std::wstring CComboBox::GetLBTextWide(int nIndex) const {
    int length = static_cast<int>(SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(nIndex)));
    if (length == CB_ERR) return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int copied = static_cast<int>(
        SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(text.data())));
    text.resize(copied == CB_ERR ? 0 : static_cast<size_t>(copied));
    return text;
}
