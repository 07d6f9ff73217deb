#include "renaming/DirectoryListing.h"

#include <cwchar>

namespace {

CString ToAnsiExactly(const std::wstring& wide, bool& exact) {
    BOOL usedDefault = FALSE;
    int bytes = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), static_cast<int>(wide.size()),
                                    nullptr, 0, nullptr, &usedDefault);
    CString ansi;
    char* buffer = ansi.GetBuffer(bytes);
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), static_cast<int>(wide.size()), buffer, bytes,
                        nullptr, &usedDefault);
    ansi.ReleaseBuffer(bytes);
    int back = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi, bytes, nullptr, 0);
    std::wstring roundTrip(static_cast<size_t>(back > 0 ? back : 0), L'\0');
    if (back > 0) MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi, bytes, roundTrip.data(), back);
    exact = !usedDefault && roundTrip == wide;
    return ansi;
}

bool IsReservedDeviceName(const std::wstring& name) {
    std::wstring stem = CaseFoldKey(name.substr(0, name.find(L'.')));
    static const wchar_t* const devices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    for (const wchar_t* device : devices)
        if (stem == device) return true;
    bool numbered = stem.size() == 4 && (stem.compare(0, 3, L"COM") == 0 || stem.compare(0, 3, L"LPT") == 0);
    return numbered && stem[3] >= L'1' && stem[3] <= L'9';
}

// Win32 path parsing would turn such a name into a different one, which may belong to
// another file.
bool PathRulesKeep(const std::wstring& name) {
    if (name.empty() || name.back() == L'.' || name.back() == L' ') return false;
    if (name.find_first_of(L"<>:\"/\\|?*") != std::wstring::npos) return false;
    for (wchar_t ch : name)
        if (ch < 32) return false;
    return !IsReservedDeviceName(name);
}

ListingEntry MakeEntry(const WIN32_FIND_DATAW& data) {
    ListingEntry entry{data.cFileName, CString(), data.dwFileAttributes, false};
    bool exact = false;
    entry.name = ToAnsiExactly(entry.wideName, exact);
    bool dots = entry.wideName == L"." || entry.wideName == L"..";
    entry.addressable = exact && (dots || PathRulesKeep(entry.wideName));
    return entry;
}

}  // namespace

std::wstring CaseFoldKey(const std::wstring& name) {
    std::wstring key = name;
    if (!key.empty()) CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
    return key;
}

DirectoryListing ReadCurrentDirectoryListing() {
    DirectoryListing listing;
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileExW(L"*.*", FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                     FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) return listing;
    listing.started = true;
    do {
        listing.entries.push_back(MakeEntry(data));
    } while (FindNextFileW(search, &data));
    FindClose(search);
    return listing;
}
