#include "renaming/NameCensus.h"

#include "renaming/CaseConversion.h"

CNameCensus::CNameCensus(const std::vector<ListingEntry>& entries, const std::atomic<bool>* pStop) {
    m_holders.reserve(entries.size() * 2);
    for (const ListingEntry& entry : entries) {
        if (pStop && pStop->load(std::memory_order_relaxed)) break;
        Add(entry.name);
        if (!entry.shortName.empty()) Add(entry.shortName);
    }
}

bool CNameCensus::TakenByOther(const ListingEntry& entry, const std::wstring& name) const {
    std::wstring key = CaseFoldKey(name);
    int own = CaseFoldKey(entry.name) == key ? 1 : 0;
    if (!entry.shortName.empty() && CaseFoldKey(entry.shortName) == key) ++own;
    return Holders(key) > own;
}

bool CNameCensus::IsTaken(const std::wstring& name) const { return Holders(CaseFoldKey(name)) > 0; }

void CNameCensus::Add(const std::wstring& name) { ++m_holders[CaseFoldKey(name)]; }

int CNameCensus::Holders(const std::wstring& key) const {
    auto found = m_holders.find(key);
    return found == m_holders.end() ? 0 : found->second;
}
