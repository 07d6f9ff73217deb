#pragma once
// What tells a file from another one that has taken its name: more than the name. A volume
// that keeps file IDs (NTFS, ReFS) names the file by its ID; Linux disks under Wine report the
// inode as the ID and reuse it after a delete, and FAT and exFAT volumes hand IDs out while a
// file is in the driver's cache (another one after the cache is dropped or the card mounted
// again), so the size and the last-write time are compared as well where they survive a rename
// on that volume (some FUSE volumes set the last-write time on each rename), the time at the
// precision the volume stores.
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

// What a volume keeps of an identity whatever its driver caches: the parts that may be
// required at all, and the tick of its clock for last-write times (in FILETIME's 100 ns).
struct VolumeKeeps {
    uint32_t parts = kIdentityLastWrite;
    uint64_t timeTicks = 20000000;  // 2 s: FAT's clock, taken for any volume not known better

    bool operator==(const VolumeKeeps&) const = default;
};

// What the volume of a directory (an exact path) keeps, by its file system's name; the least
// (no file ID, times to 2 s) where it gives none or is not known.
VolumeKeeps WhatTheVolumeKeeps(const std::wstring& directory);

// Whether now is the file that was recorded, judged by the parts given, times to that tick. A
// file ID counts only where the volume has a serial number.
bool SameFile(const FileIdentity& recorded, const FileIdentity& now, uint32_t parts, uint64_t timeTicks = 1);

// The parts that a rename left as they were: measured on the first rename of a run.
uint32_t PartsThatSurvived(const FileIdentity& before, const FileIdentity& after);

// The listing of a directory and the identities of its entries (by exact name), in one pass: a
// run that records itself reads its directory once, not twice. Where the volume cannot tell
// identities in a listing, the plain listing and no identities.
DirectoryListing ReadListingWithIdentities(const std::wstring& directory,
                                           std::unordered_map<std::wstring, FileIdentity>& identities);

// The identity of one file, opened as itself (not through a link).
std::optional<FileIdentity> IdentityOf(const std::wstring& path);
