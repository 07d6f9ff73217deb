#pragma once
// The whole listing of the current directory, read before anything in it is changed, so that
// renames made afterwards can neither hide an entry nor show one twice.
#include "platform/CString.h"

#include <string>
#include <vector>

struct ListingEntry {
    std::wstring wideName;  // the name as the file system holds it
    CString name;           // the same name in the ANSI code page
    DWORD attributes;
    // The ANSI name denotes this entry and no other: it converts back to the same wide name,
    // and the platform's path rules (trailing dots or blanks, device names) leave it alone.
    bool addressable;

    bool IsDirectory() const { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
};

struct DirectoryListing {
    bool started = false;  // false when the search could not be started
    std::vector<ListingEntry> entries;
};

// Lists the current directory with the pattern "*.*".
DirectoryListing ReadCurrentDirectoryListing();

// The key under which the platform compares names ignoring case.
std::wstring CaseFoldKey(const std::wstring& name);
