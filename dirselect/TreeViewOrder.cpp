#include "dirselect/TreeViewOrder.h"

#include <algorithm>
#include <string>

namespace {

// The control keeps its texts as wide strings converted from the ANSI code page.
std::wstring Wide(const CString& text) {
    int length = MultiByteToWideChar(CP_ACP, 0, text, text.GetLength(), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, text.GetLength(), wide.data(), length);
    return wide;
}

struct Keyed {
    std::wstring key;
    CString name;
};

}  // namespace

void SortLikeTreeView(std::vector<CString>& names) {
    std::vector<Keyed> keyed;
    keyed.reserve(names.size());
    for (const CString& name : names) keyed.push_back({Wide(name), name});
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const Keyed& a, const Keyed& b) { return lstrcmpW(a.key.c_str(), b.key.c_str()) < 0; });
    for (size_t i = 0; i < names.size(); ++i) names[i] = keyed[i].name;
}
