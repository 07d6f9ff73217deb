#include "platform/CString.h"

#include "platform/AfxModuleState.h"

#include <cstdio>
#include <cstring>
#include <vector>

// Case conversion depends on the code page that the module state selects during static
// initialisation; this reference keeps that object in every program that converts strings.
[[maybe_unused]] static const void* const s_moduleState = &AfxModuleStateAnchor;

CString::CString(const char* psz) : m_str(psz ? psz : "") {}

CString::CString(const char* pch, int nLength)
    : m_str(pch && nLength > 0 ? std::string(pch, static_cast<size_t>(nLength)) : std::string()) {}

CString::CString(char ch, int nRepeat) : m_str(nRepeat > 0 ? static_cast<size_t>(nRepeat) : 0, ch) {}

CString& CString::operator=(const char* psz) {
    m_str = psz ? psz : "";
    return *this;
}

CString& CString::operator+=(const CString& str) {
    m_str += str.m_str;
    return *this;
}

CString& CString::operator+=(const char* psz) {
    if (psz) m_str += psz;
    return *this;
}

CString& CString::operator+=(char ch) {
    m_str += ch;
    return *this;
}

int CString::Compare(const char* psz) const { return std::strcmp(m_str.c_str(), psz ? psz : ""); }

int CString::CompareNoCase(const char* psz) const {
    std::wstring self = AfxToWide(*this);
    std::wstring other = AfxToWide(psz);
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, self.c_str(), static_cast<int>(self.size()),
                          other.c_str(), static_cast<int>(other.size())) -
           CSTR_EQUAL;
}

void CString::Format(const char* pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

void CString::FormatV(const char* pszFormat, va_list args) {
    va_list probe;
    va_copy(probe, args);
    int needed = std::vsnprintf(nullptr, 0, pszFormat, probe);
    va_end(probe);
    if (needed < 0) {
        m_str.clear();
        return;
    }
    std::vector<char> buffer(static_cast<size_t>(needed) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), pszFormat, args);
    m_str.assign(buffer.data(), static_cast<size_t>(needed));
}

int CString::Find(char ch, int nStart) const {
    if (nStart < 0 || nStart > GetLength()) return -1;
    size_t pos = m_str.find(ch, static_cast<size_t>(nStart));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(const char* pszSub, int nStart) const {
    if (!pszSub || nStart < 0 || nStart > GetLength()) return -1;
    size_t pos = m_str.find(pszSub, static_cast<size_t>(nStart));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

CString CString::Left(int nCount) const {
    if (nCount <= 0) return CString();
    return CString(m_str.substr(0, static_cast<size_t>(nCount)).c_str());
}

CString CString::Mid(int nFirst, int nCount) const {
    if (nFirst < 0) nFirst = 0;
    if (nFirst >= GetLength()) return CString();
    size_t count = nCount < 0 ? std::string::npos : static_cast<size_t>(nCount);
    std::string part = m_str.substr(static_cast<size_t>(nFirst), count);
    return CString(part.data(), static_cast<int>(part.size()));
}

CString CString::Right(int nCount) const {
    if (nCount <= 0) return CString();
    if (nCount >= GetLength()) return *this;
    return Mid(GetLength() - nCount);
}

// Through UTF-16, so that the pairs are those of code page 1252 and not of the system's code
// page ("\xE4" is a Cyrillic letter under 1251). Every 1252 letter's partner is in 1252.
CString& CString::MakeLower() {
    std::wstring wide = AfxToWide(*this);
    if (!wide.empty()) CharLowerBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    *this = AfxFromWide(wide);
    return *this;
}

CString& CString::MakeUpper() {
    std::wstring wide = AfxToWide(*this);
    if (!wide.empty()) CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    *this = AfxFromWide(wide);
    return *this;
}

BOOL CString::LoadString(UINT nID) {
    m_str.clear();
    // String resources live in blocks of 16; the block holds the string's length and UTF-16 text.
    HINSTANCE hInst = AfxFindResourceHandle(MAKEINTRESOURCEA(nID / 16 + 1), RT_STRING);
    const wchar_t* text = nullptr;
    int length = LoadStringW(hInst, nID, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text) return FALSE;
    *this = AfxFromWide(text, length);
    return !m_str.empty();
}

char* CString::GetBuffer(int nMinBufLength) {
    if (nMinBufLength > GetLength()) m_str.resize(static_cast<size_t>(nMinBufLength));
    return m_str.data();
}

void CString::ReleaseBuffer(int nNewLength) {
    if (nNewLength < 0) nNewLength = static_cast<int>(std::strlen(m_str.c_str()));
    m_str.resize(static_cast<size_t>(nNewLength));
}

CString operator+(const CString& a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}

CString operator+(const CString& a, const char* b) {
    CString r(a);
    r += b;
    return r;
}

CString operator+(const char* a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}

CString operator+(const CString& a, char b) {
    CString r(a);
    r += b;
    return r;
}

bool operator==(const CString& a, const CString& b) { return a.str() == b.str(); }
bool operator==(const CString& a, const char* b) { return a.Compare(b) == 0; }
bool operator<(const CString& a, const CString& b) { return a.str() < b.str(); }

std::wstring AfxToWide(const char* pszText) {
    if (!pszText || !*pszText) return std::wstring();
    int length = static_cast<int>(std::strlen(pszText));
    int count = MultiByteToWideChar(AFX_TEXT_CODE_PAGE, 0, pszText, length, nullptr, 0);
    std::wstring wide(static_cast<size_t>(count), L'\0');
    MultiByteToWideChar(AFX_TEXT_CODE_PAGE, 0, pszText, length, wide.data(), count);
    return wide;
}

std::wstring AfxToWide(const CString& text) {
    int count = MultiByteToWideChar(AFX_TEXT_CODE_PAGE, 0, text, text.GetLength(), nullptr, 0);
    std::wstring wide(static_cast<size_t>(count), L'\0');
    MultiByteToWideChar(AFX_TEXT_CODE_PAGE, 0, text, text.GetLength(), wide.data(), count);
    return wide;
}

CString AfxFromWide(const wchar_t* pszWide, int nLength) {
    if (!pszWide || nLength == 0) return CString();
    int bytes = WideCharToMultiByte(AFX_TEXT_CODE_PAGE, WC_NO_BEST_FIT_CHARS, pszWide, nLength, nullptr, 0, nullptr,
                                    nullptr);
    CString text;
    char* buffer = text.GetBuffer(bytes);
    WideCharToMultiByte(AFX_TEXT_CODE_PAGE, WC_NO_BEST_FIT_CHARS, pszWide, nLength, buffer, bytes, nullptr, nullptr);
    text.ReleaseBuffer(bytes);
    return text;
}

CString AfxFromWide(const std::wstring& wide) { return AfxFromWide(wide.c_str(), static_cast<int>(wide.size())); }
