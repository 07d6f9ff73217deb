#pragma once
// Has the shell open https addresses with a program of the tests (the link recorder) while it
// lives, then puts the prefix's own command back, so that no browser is ever started.
#include <windows.h>

#include <string>

class HttpsOpener {
public:
    explicit HttpsOpener(const std::string& program);
    ~HttpsOpener();
    HttpsOpener(const HttpsOpener&) = delete;
    HttpsOpener& operator=(const HttpsOpener&) = delete;

private:
    static void Set(const std::string& command);

    char m_szOld[1024] = {};
    DWORD m_cbOld = sizeof(m_szOld);
    bool m_bHad = false;
};
