#pragma once
// The whole listing of a directory, read before anything in it is changed, so that renames
// made afterwards can neither hide an entry nor show one twice. The one place that lists a
// directory: "." and ".." never appear in a listing, whatever the platform yields. A listing
// that the platform breaks off (a card pulled, a share gone) says so: it is never taken for the
// directory's end.
#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

struct ListingEntry {
    std::wstring name;       // exactly as the file system holds it
    std::wstring shortName;  // the 8.3 alias the platform also answers to; empty when none
    DWORD attributes = 0;

    bool IsDirectory() const { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
};

struct DirectoryListing {
    bool started = false;               // false when the search could not be started
    std::vector<ListingEntry> entries;  // without "." and ".."
    // Why the search could not be started, or why it ended before the directory's end
    // (ERROR_OPERATION_ABORTED: it was asked to stop); ERROR_SUCCESS when it read to the end.
    DWORD error = ERROR_SUCCESS;

    // Whether the listing misses entries the directory may hold: it broke off, or could not be
    // started for another reason than a directory without entries (an empty drive root, which
    // the platform reports as "file not found").
    bool Failed() const {
        return started ? error != ERROR_SUCCESS : error != ERROR_FILE_NOT_FOUND && error != ERROR_NO_MORE_FILES;
    }
};

enum class ListingDetail {
    Names,        // names and attributes
    ShortNames,   // also the 8.3 aliases, which cost the platform a little more
    Directories,  // names and attributes of the sub-directories only: no memory for the files
};

// directory: an exact path (extended or Unix namespace) of the directory to list.
// pStop: when it turns true, the listing ends after the entry in hand and holds only part of
// the directory (error ERROR_OPERATION_ABORTED).
DirectoryListing ReadDirectoryListing(const std::wstring& directory, ListingDetail detail = ListingDetail::ShortNames,
                                      const std::atomic<bool>* pStop = nullptr);
