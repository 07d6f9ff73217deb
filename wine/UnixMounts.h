#pragma once
// Which Linux file system holds a path, under Wine: the mount table (/proc/self/mounts) read
// through Wine's Unix namespace. Wine itself reports a drive's own idea of its volume (the test
// drives and some cards look like NTFS), so what a volume keeps of a file's identity is told by
// the file system that Linux mounted there. On Windows there is no such table.
#include <string>

namespace wine {

// The type of the Linux mount that holds the file or directory at path (any path Wine opens:
// "\\?\unix\...", "X:\..."), as the mount table names it ("ext4", "vfat", "fuseblk",
// "fuse.fusefat"); empty on Windows or when it cannot be told.
std::string UnixFileSystemType(const std::wstring& path);

}  // namespace wine
