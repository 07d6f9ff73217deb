#include "renaming/FilePlan.h"

#include "renaming/AddressableName.h"
#include "renaming/CaseConversion.h"

#include <optional>

FilePlan PlanFile(const CaseChange& change, const CNameCensus& census, const ListingEntry& entry) {
    return PlanTarget(ConvertedName(change, entry.name), census, entry);
}

FilePlan PlanTarget(std::optional<std::wstring> target, const CNameCensus& census, const ListingEntry& entry) {
    if (target && *target == entry.name) return {FileFate::InCase, {}};
    if (!Addressable(entry.name)) return {FileFate::Unaddressable, {}};
    if (!target) return {FileFate::NoCaseForm, {}};
    if (census.TakenByOther(entry, *target)) return {FileFate::Twin, std::move(*target)};
    return {FileFate::Renamed, std::move(*target)};
}

std::vector<std::wstring> ReturnNames(const std::optional<std::wstring>& target, const std::wstring& own,
                                      const CNameCensus& census) {
    std::vector<std::wstring> names;
    for (const std::wstring& name : {target.value_or(own), own})
        if (!census.IsTaken(name) && (names.empty() || names.back() != name)) names.push_back(name);
    return names;
}
