#pragma once
// Which names the entries of a directory hold, as the platform matches them: exactly, ignoring
// case, and by their 8.3 short names. A file may only take a name that no other entry answers
// to, or the platform could find that other entry under it.
#include "filesystem/DirectoryListing.h"

#include <atomic>
#include <string>
#include <unordered_map>
#include <vector>

class CNameCensus {
public:
    // pStop: when it turns true, the census ends after the entry in hand, incomplete (whoever
    // set it does not use it).
    explicit CNameCensus(const std::vector<ListingEntry>& entries, const std::atomic<bool>* pStop = nullptr);

    // Whether an entry other than this one answers to the name.
    bool TakenByOther(const ListingEntry& entry, const std::wstring& name) const;
    // Whether any entry answers to the name.
    bool IsTaken(const std::wstring& name) const;
    // A name that has just come into the directory.
    void Add(const std::wstring& name);

private:
    int Holders(const std::wstring& key) const;

    std::unordered_map<std::wstring, int> m_holders;  // case-folded long and short names
};
