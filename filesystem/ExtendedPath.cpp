#include "filesystem/ExtendedPath.h"

#include <cwctype>

namespace {

bool IsReservedDeviceName(const std::wstring& name) {
    std::wstring stem = name.substr(0, name.find_first_of(L". "));
    for (wchar_t& ch : stem) ch = static_cast<wchar_t>(std::towupper(ch));
    static const wchar_t* const devices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    for (const wchar_t* device : devices)
        if (stem == device) return true;
    bool numbered = stem.size() == 4 && (stem.compare(0, 3, L"COM") == 0 || stem.compare(0, 3, L"LPT") == 0);
    return numbered && stem[3] >= L'1' && stem[3] <= L'9';
}

}  // namespace

std::wstring AfxExtendedPath(const std::wstring& absolutePath) {
    std::wstring path = absolutePath;
    if (path.compare(0, 4, L"\\\\?\\") == 0) return path;
    while (path.size() > 3 && path.back() == L'\\') path.pop_back();
    if (path.size() == 2 && path[1] == L':') path += L'\\';
    if (path.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + path.substr(2);
    return L"\\\\?\\" + path;
}

std::wstring AfxJoinPath(const std::wstring& directory, const std::wstring& name) {
    if (!directory.empty() && directory.back() == L'\\') return directory + name;
    return directory + L'\\' + name;
}

bool AfxPathRulesKeepName(const std::wstring& name) {
    if (name.empty() || name == L"." || name == L"..") return false;
    if (name.back() == L'.' || name.back() == L' ') return false;
    if (name.find_first_of(L"<>:\"/\\|?*") != std::wstring::npos) return false;
    for (wchar_t ch : name)
        if (ch < 32) return false;
    return !IsReservedDeviceName(name);
}
