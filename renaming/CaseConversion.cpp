#include "renaming/CaseConversion.h"

#include <windows.h>

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

// One entry per UTF-16 unit, so that a conversion never changes a name's length.
struct CaseTables {
    std::vector<wchar_t> lower;
    std::vector<wchar_t> upper;
};

// The character that one byte of the ANSI code page stands for, when it stands for exactly one
// and converts back to the same byte (no best-fit look-alike).
bool CodePageCharacter(char byte, wchar_t& wide) {
    if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, &byte, 1, &wide, 1) != 1) return false;
    // UTF-8 as the ANSI code page (an option of current Windows) has no best fit and rejects
    // the flag.
    DWORD flags = GetACP() == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    char back[4] = {};
    int bytes = WideCharToMultiByte(CP_ACP, flags, &wide, 1, back, sizeof back, nullptr, nullptr);
    return bytes == 1 && back[0] == byte;
}

// Letters of the code page take the code page's own case pairs, as the ANSI string class
// converts them.
void ApplyCodePagePairs(CaseTables& tables) {
    for (int value = 1; value < 256; ++value) {
        char byte = static_cast<char>(value);
        wchar_t wide = 0;
        if (!CodePageCharacter(byte, wide)) continue;
        char lower = byte;
        char upper = byte;
        CharLowerBuffA(&lower, 1);
        CharUpperBuffA(&upper, 1);
        wchar_t converted = 0;
        if (CodePageCharacter(lower, converted)) tables.lower[wide] = converted;
        if (CodePageCharacter(upper, converted)) tables.upper[wide] = converted;
    }
}

CaseTables BuildTables() {
    CaseTables tables;
    tables.lower.resize(0x10000);
    std::iota(tables.lower.begin(), tables.lower.end(), wchar_t(0));
    tables.upper = tables.lower;
    CharLowerBuffW(tables.lower.data() + 1, 0xFFFF);
    CharUpperBuffW(tables.upper.data() + 1, 0xFFFF);
    ApplyCodePagePairs(tables);
    return tables;
}

const CaseTables& Tables() {
    static const CaseTables tables = BuildTables();
    return tables;
}

}  // namespace

std::optional<std::wstring> ConvertedName(const CaseChange& change, const std::wstring& name) {
    const std::vector<wchar_t>& table = change.direction == CaseDirection::Lower ? Tables().lower : Tables().upper;
    size_t extension = ExtensionStart(name);
    size_t from = change.part == NamePart::Extension ? extension : 0;
    size_t to = change.part == NamePart::Stem ? extension : name.size();
    if (from == std::wstring::npos) return name;  // no extension to change
    std::wstring converted = name;
    for (size_t i = from; i < std::min(to, name.size()); ++i)
        converted[i] = table[static_cast<unsigned short>(name[i])];
    if (converted != name && CaseFoldKey(converted) != CaseFoldKey(name)) return std::nullopt;
    return converted;
}

bool HasRequestedCase(const CaseChange& change, const std::wstring& name) {
    std::optional<std::wstring> converted = ConvertedName(change, name);
    return converted && *converted == name;
}

size_t ExtensionStart(const std::wstring& name) {
    size_t dot = name.rfind(L'.');
    if (dot == std::wstring::npos || dot == 0 || dot + 1 == name.size()) return std::wstring::npos;
    return dot;
}

std::wstring CaseFoldKey(const std::wstring& name) {
    std::wstring key = name;
    if (!key.empty()) CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
    return key;
}
