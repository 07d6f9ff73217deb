#include "dirselect/TreeViewOrder.h"

#include <windows.h>

#include <algorithm>
#include <string>

namespace {

// The platform's sort key of a text: comparing two keys byte by byte gives what lstrcmpW
// gives for the texts (both are the thread locale's comparison without flags). One key per
// name instead of two comparisons' worth of work per pair halves the time for big listings.
std::string SortKey(const std::wstring& wide) {
    int length = static_cast<int>(wide.size());
    LCID locale = GetThreadLocale();
    int bytes = LCMapStringW(locale, LCMAP_SORTKEY, wide.c_str(), length, nullptr, 0);
    std::string key(static_cast<size_t>(bytes), '\0');
    LCMapStringW(locale, LCMAP_SORTKEY, wide.c_str(), length, reinterpret_cast<LPWSTR>(key.data()), bytes);
    return key;
}

struct Keyed {
    std::string key;
    std::wstring name;
};

}  // namespace

void SortLikeTreeView(std::vector<std::wstring>& names) {
    std::vector<Keyed> keyed;
    keyed.reserve(names.size());
    for (std::wstring& name : names) keyed.push_back({SortKey(name), std::move(name)});
    // Unsigned bytes, as sort keys are compared; std::string compares char_traits<char>,
    // which is unsigned by definition.
    std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) { return a.key < b.key; });
    for (size_t i = 0; i < names.size(); ++i) names[i] = std::move(keyed[i].name);
}
