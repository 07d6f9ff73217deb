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
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, m_str.c_str(), -1, psz ? psz : "", -1) - CSTR_EQUAL;
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

// CharLowerBuffA/CharUpperBuffA convert through the ANSI code page, characters not bytes.
// (The run-time library's _mbslwr/_mbsupr convert only ASCII letters under Wine.)
CString& CString::MakeLower() {
    if (!m_str.empty()) CharLowerBuffA(m_str.data(), static_cast<DWORD>(m_str.size()));
    return *this;
}

CString& CString::MakeUpper() {
    if (!m_str.empty()) CharUpperBuffA(m_str.data(), static_cast<DWORD>(m_str.size()));
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

std::wstring AfxToWide(const CString& text) {
    int count = MultiByteToWideChar(CP_ACP, 0, text, text.GetLength(), nullptr, 0);
    std::wstring wide(static_cast<size_t>(count), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, text.GetLength(), wide.data(), count);
    return wide;
}

CString AfxFromWide(const wchar_t* pszWide, int nLength) {
    int bytes = WideCharToMultiByte(CP_ACP, 0, pszWide, nLength, nullptr, 0, nullptr, nullptr);
    CString text;
    char* buffer = text.GetBuffer(bytes);
    WideCharToMultiByte(CP_ACP, 0, pszWide, nLength, buffer, bytes, nullptr, nullptr);
    text.ReleaseBuffer(bytes);
    return text;
}

CString AfxFromWideNoBestFit(const std::wstring& wide) {
    // UTF-8 as the ANSI code page (an option of current Windows) has no best fit and rejects
    // the flag.
    DWORD flags = GetACP() == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    int length = static_cast<int>(wide.size());
    int bytes = WideCharToMultiByte(CP_ACP, flags, wide.c_str(), length, nullptr, 0, nullptr, nullptr);
    CString text;
    char* buffer = text.GetBuffer(bytes);
    WideCharToMultiByte(CP_ACP, flags, wide.c_str(), length, buffer, bytes, nullptr, nullptr);
    text.ReleaseBuffer(bytes);
    return text;
}
