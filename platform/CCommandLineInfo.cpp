#include "platform/CCommandLineInfo.h"

#include <initializer_list>

void CCommandLineInfo::ParseParam(const char* pszParam, BOOL bFlag, BOOL) {
    if (!bFlag) return;
    for (const char* quiet : {"nologo", "Embedding", "Automation"})
        if (lstrcmpiA(pszParam, quiet) == 0) m_bShowSplash = FALSE;
}

void AfxParseArguments(CCommandLineInfo& rInfo, int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const char* param = argv[i];
        BOOL bFlag = param[0] == '/' || param[0] == '-';
        rInfo.ParseParam(bFlag ? param + 1 : param, bFlag, i == argc - 1);
    }
}
