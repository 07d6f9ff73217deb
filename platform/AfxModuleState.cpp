#include "platform/AfxModuleState.h"

#include "platform/CString.h"

#include <mbctype.h>

namespace {

struct CodePageSelection {
    // _MB_CP_ANSI (-3): multi-byte functions follow the system's ANSI code page.
    CodePageSelection() : result(_setmbcp(_MB_CP_ANSI)) {}
    int result;
};

CString& AppNameOverride() {
    static CString s_name;
    return s_name;
}

}  // namespace

// Runs before ordinary static objects (the application object among them), so that every
// later string operation sees the code page.
__attribute__((init_priority(101))) static const CodePageSelection s_codePage;
const int AfxModuleStateAnchor = 0;

HINSTANCE AfxGetInstanceHandle() { return GetModuleHandleA(nullptr); }

HINSTANCE AfxGetResourceHandle() { return AfxGetInstanceHandle(); }

HINSTANCE AfxFindResourceHandle(LPCSTR, LPCSTR) { return AfxGetResourceHandle(); }

CString AfxGetAppName() {
    if (!AppNameOverride().IsEmpty()) return AppNameOverride();
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    CString name(path);
    int slash = -1;
    for (int i = 0; i < name.GetLength(); ++i)
        if (name[i] == '\\' || name[i] == '/') slash = i;
    name = name.Mid(slash + 1);
    for (int i = name.GetLength() - 1; i >= 0; --i)
        if (name[i] == '.') return name.Left(i);
    return name;
}

void AfxSetAppName(const char* pszName) { AppNameOverride() = pszName; }
