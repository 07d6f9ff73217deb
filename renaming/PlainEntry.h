#pragma once
// Entries opened as themselves. A link, junction or other reparse point in a folder that
// others can write to would lead a path elsewhere: into another user's folder, onto another
// volume. What the program moves or removes there it opens by a handle that must name exactly
// that entry of that folder on that folder's volume, and removes through that handle, so that
// no path is resolved again in between.
#include "filesystem/CUniqueHandle.h"

#include <string>

// A folder or file held open; empty when it could not be opened or is not a plain entry.
struct PlainEntry {
    CFileHandle handle;
    DWORD dwError = ERROR_SUCCESS;  // why it is empty

    explicit operator bool() const { return static_cast<bool>(handle); }
};

// The chosen directory itself, which may well be reached through a link: the reference that the
// entries below it are checked against.
PlainEntry OpenDirectory(const std::wstring& path);

// The entry of that name directly in the folder, only when it is neither a link nor any other
// reparse point and lies on the folder's volume. share: who else may use it meanwhile; without
// FILE_SHARE_DELETE nobody renames, replaces or removes it while it is held.
PlainEntry OpenPlainEntry(const PlainEntry& folder, const std::wstring& folderPath, const std::wstring& name,
                          DWORD dwAccess, DWORD dwShare);

// Removes what the handle names (opened with DELETE access): a file, or a folder that is empty.
bool RemoveHeldEntry(PlainEntry& entry);
