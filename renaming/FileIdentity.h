#pragma once
// What tells a file from another one that has taken its name: more than the name. A volume
// that keeps file IDs (a serial number other than 0) names the file by its ID; Linux disks
// under Wine report the inode as the ID and reuse it after a delete, and FAT volumes keep no
// lasting IDs at all, so the size and the last-write time are compared as well where they
// survive a rename on that volume (some FUSE volumes set the last-write time on each rename).
#include "filesystem/DirectoryListing.h"

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

struct FileIdentity {
    uint64_t fileId = 0;
    uint32_t volumeSerial = 0;  // 0: the volume keeps no file IDs
    uint64_t size = 0;
    uint64_t lastWrite = 0;  // FILETIME, 100 ns since 1601

    bool operator==(const FileIdentity&) const = default;
};

// The parts of an identity besides the size, which is always compared.
enum IdentityPart : uint32_t {
    kIdentityFileId = 1,     // file ID and volume serial
    kIdentityLastWrite = 2,  // last-write time
    kIdentityAll = kIdentityFileId | kIdentityLastWrite,
};

// Whether now is the file that was recorded, judged by the parts given. A file ID counts only
// where the volume has a serial number.
bool SameFile(const FileIdentity& recorded, const FileIdentity& now, uint32_t parts);

// The parts that a rename left as they were: measured on the first rename of a run.
uint32_t PartsThatSurvived(const FileIdentity& before, const FileIdentity& after);

// The identities of the entries directly in a directory (an exact path), by exact name, read
// in one pass; empty when it cannot be read.
std::unordered_map<std::wstring, FileIdentity> ReadIdentities(const std::wstring& directory);

// The listing of a directory and the identities of its entries, in the one pass that
// ReadIdentities makes: a run that records itself reads its directory once, not twice.
DirectoryListing ReadListingWithIdentities(const std::wstring& directory,
                                           std::unordered_map<std::wstring, FileIdentity>& identities);

// The identity of one file, opened as itself (not through a link).
std::optional<FileIdentity> IdentityOf(const std::wstring& path);
