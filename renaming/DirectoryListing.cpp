#include "renaming/DirectoryListing.h"

#include "platform/CUniqueHandle.h"
#include "platform/ExtendedPath.h"

DirectoryListing ReadDirectoryListing(const std::wstring& directory) {
    DirectoryListing listing;
    WIN32_FIND_DATAW data;
    // The standard level, for the short names: a new name must not equal another file's alias.
    CFindHandle search(FindFirstFileExW(AfxJoinPath(directory, L"*").c_str(), FindExInfoStandard, &data,
                                        FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!search) return listing;
    listing.started = true;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        listing.entries.push_back(ListingEntry{std::move(name), data.cAlternateFileName, data.dwFileAttributes});
    } while (FindNextFileW(search.Get(), &data));
    return listing;
}
