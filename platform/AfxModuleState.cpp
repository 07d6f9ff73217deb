#include "platform/AfxModuleState.h"

#include "platform/CString.h"

#include <mbctype.h>
#include <string>

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

namespace {

// The program's file, at any depth: the buffer grows until the whole path fits.
std::wstring ModulePath() {
    for (DWORD size = MAX_PATH;; size *= 2) {
        std::wstring path(size, L'\0');
        DWORD length = GetModuleFileNameW(nullptr, path.data(), size);
        if (length < size) {
            path.resize(length);
            return path;
        }
    }
}

}  // namespace

CString AfxGetAppName() {
    if (!AppNameOverride().IsEmpty()) return AppNameOverride();
    // Split as UTF-16: in a multi-byte code page a backslash byte may be half of a character.
    std::wstring name = ModulePath();
    size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos) name.erase(0, slash + 1);
    size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos) name.erase(dot);
    return AfxFromWide(name);
}

void AfxSetAppName(const char* pszName) { AppNameOverride() = pszName; }
