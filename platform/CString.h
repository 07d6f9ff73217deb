#pragma once
// A byte string with value semantics. The program's own texts are code page 1252 bytes, on
// every system: they reach the window system as UTF-16, converted from 1252 explicitly, never
// through the system's code page. Names from the disk are not CStrings: they stay UTF-16.
#include <windows.h>

#include <cstdarg>
#include <string>

class CString {
public:
    CString() = default;
    CString(const char* psz);  // null gives an empty string
    CString(const char* pch, int nLength);
    CString(char ch, int nRepeat = 1);

    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    const char* GetString() const { return m_str.c_str(); }
    operator const char*() const { return m_str.c_str(); }
    char GetAt(int nIndex) const { return m_str.at(static_cast<size_t>(nIndex)); }
    char operator[](int nIndex) const { return GetAt(nIndex); }

    CString& operator=(const char* psz);
    CString& operator+=(const CString& str);
    CString& operator+=(const char* psz);
    CString& operator+=(char ch);

    int Compare(const char* psz) const;        // byte-wise: <0, 0, >0
    int CompareNoCase(const char* psz) const;  // ignoring case, by the characters of code page 1252

    // printf-style; the result has whatever length the arguments need.
    void Format(const char* pszFormat, ...) __attribute__((format(__MINGW_PRINTF_FORMAT, 2, 3)));
    void FormatV(const char* pszFormat, va_list args);

    int Find(char ch, int nStart = 0) const;             // index or -1
    int Find(const char* pszSub, int nStart = 0) const;  // index or -1
    CString Left(int nCount) const;
    CString Mid(int nFirst, int nCount = -1) const;
    CString Right(int nCount) const;

    // Whole-string case conversion by the case pairs of code page 1252.
    CString& MakeLower();
    CString& MakeUpper();

    // Loads string resource nID from the module that holds it; false (and empty) when absent.
    BOOL LoadString(UINT nID);

    // Direct access for platform calls that fill a buffer: GetBuffer(n) gives room for n
    // characters plus the terminator; ReleaseBuffer(-1) takes the length up to the terminator.
    char* GetBuffer(int nMinBufLength);
    void ReleaseBuffer(int nNewLength = -1);

    const std::string& str() const { return m_str; }

private:
    std::string m_str;
};

CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, const char* b);
CString operator+(const char* a, const CString& b);
CString operator+(const CString& a, char b);
bool operator==(const CString& a, const CString& b);
bool operator==(const CString& a, const char* b);
bool operator<(const CString& a, const CString& b);

// The code page of the program's texts, whatever the system's code page is.
constexpr UINT AFX_TEXT_CODE_PAGE = 1252;

// Conversions between the program's texts (code page 1252) and UTF-16, for the platform's
// wide interfaces.
std::wstring AfxToWide(const char* pszText);
std::wstring AfxToWide(const CString& text);
// A character that code page 1252 lacks becomes '?', never a best-fit look-alike ("\u0101bc"
// must not turn into "abc").
CString AfxFromWide(const wchar_t* pszWide, int nLength);
CString AfxFromWide(const std::wstring& wide);
