#pragma once
// What the program learns from its command line: only whether the splash may show.
#include <windows.h>

class CCommandLineInfo {
public:
    CCommandLineInfo() = default;
    virtual ~CCommandLineInfo() = default;

    // One argument; bFlag when it began with '/' or '-' (pszParam is then without it).
    virtual void ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast);

    // Cleared by /nologo, /Embedding and /Automation (any case, '/' or '-').
    BOOL m_bShowSplash = TRUE;
};

// Feeds argv[1..argc-1] to rInfo.ParseParam.
void AfxParseArguments(CCommandLineInfo& rInfo, int argc, const char* const* argv);
