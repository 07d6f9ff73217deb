#include "filesystem/DirectoryListing.h"

#include "filesystem/CUniqueHandle.h"
#include "filesystem/ExtendedPath.h"

DirectoryListing ReadDirectoryListing(const std::wstring& directory, ListingDetail detail,
                                      const std::atomic<bool>* pStop) {
    DirectoryListing listing;
    WIN32_FIND_DATAW data;
    FINDEX_INFO_LEVELS level = detail == ListingDetail::ShortNames ? FindExInfoStandard : FindExInfoBasic;
    CFindHandle search(FindFirstFileExW(AfxJoinPath(directory, L"*").c_str(), level, &data, FindExSearchNameMatch,
                                        nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!search) return listing;
    listing.started = true;
    do {
        if (pStop && pStop->load(std::memory_order_relaxed)) break;
        if (detail == ListingDetail::Directories && !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        std::wstring shortName = detail == ListingDetail::ShortNames ? data.cAlternateFileName : L"";
        listing.entries.push_back(ListingEntry{std::move(name), std::move(shortName), data.dwFileAttributes});
    } while (FindNextFileW(search.Get(), &data));
    return listing;
}
