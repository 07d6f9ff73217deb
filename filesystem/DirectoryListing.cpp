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
    if (!search) {
        listing.error = GetLastError();
        return listing;
    }
    listing.started = true;
    do {
        if (pStop && pStop->load(std::memory_order_relaxed)) {
            listing.error = ERROR_OPERATION_ABORTED;
            return listing;
        }
        if (detail == ListingDetail::Directories && !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        std::wstring shortName = detail == ListingDetail::ShortNames ? data.cAlternateFileName : L"";
        listing.entries.push_back(ListingEntry{std::move(name), std::move(shortName), data.dwFileAttributes});
    } while (FindNextFileW(search.Get(), &data));
    // Only "no more files" is the end; any other answer broke the listing off.
    DWORD dwError = GetLastError();
    if (dwError != ERROR_NO_MORE_FILES) listing.error = dwError == ERROR_SUCCESS ? ERROR_READ_FAULT : dwError;
    return listing;
}
