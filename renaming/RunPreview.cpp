#include "renaming/RunPreview.h"

#include "filesystem/DirectoryListing.h"
#include "renaming/CaseConversion.h"
#include "renaming/NameCensus.h"
#include "renaming/StagingFolder.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace {

// The preview's own record of what it plans, in the order the run meets the files.
class CPlanner {
public:
    CPlanner(const CaseChange& change, const std::wstring& directory, bool bRows, const std::atomic<bool>& bStop)
        : m_change(change),
          m_strDirectory(directory),
          m_bRows(bRows),
          m_bStop(bStop),
          m_listing(ReadDirectoryListing(directory, ListingDetail::ShortNames, &bStop)),
          m_census(m_listing.entries, &bStop) {}

    RunPlan Plan();

private:
    bool Stopped() const { return m_bStop.load(std::memory_order_relaxed); }
    void BringBackWaitingFiles();
    void BringBack(const std::wstring& waitingAs, const std::wstring& own, bool bPlain);
    void PlanFilesToTry();
    void Add(PlannedFile file);
    void NameTwins(std::vector<PlannedFile>& files) const;

    CaseChange m_change;
    std::wstring m_strDirectory;
    bool m_bRows;
    const std::atomic<bool>& m_bStop;
    DirectoryListing m_listing;
    CNameCensus m_census;
    std::unordered_set<std::wstring> m_waitingNames;  // entries that are files waiting beside the others
    std::vector<std::wstring> m_returnedNames;        // names that files waiting elsewhere come back under
    RunPlan m_plan;
};

RunPlan CPlanner::Plan() {
    // A listing that broke off is no count of the directory.
    m_plan.counts.bListed = m_listing.started && !m_listing.Failed();
    if (m_listing.Failed() && !Stopped()) m_plan.counts.listingError = m_listing.error;
    m_plan.counts.bStopped = Stopped();
    if (!m_plan.counts.bListed) return std::move(m_plan);
    BringBackWaitingFiles();
    PlanFilesToTry();
    m_plan.counts.bStopped = Stopped();
    if (m_plan.counts.bStopped || !m_bRows) return std::move(m_plan);
    auto byName = [](const PlannedFile& a, const PlannedFile& b) { return a.name < b.name; };
    std::sort(m_plan.renamed.begin(), m_plan.renamed.end(), byName);
    std::sort(m_plan.kept.begin(), m_plan.kept.end(), byName);
    NameTwins(m_plan.kept);
    return std::move(m_plan);
}

// As the run does before anything else: the files of every staging folder, in the folder and
// beside the others, come back into the directory, each under the first name free for it.
void CPlanner::BringBackWaitingFiles() {
    for (const ListingEntry& folder : m_listing.entries) {
        if (Stopped()) return;
        std::optional<CStagingFolder> staging = CStagingFolder::Peek(m_strDirectory, folder);
        if (!staging) continue;
        for (const ListingEntry& waiting : staging->WaitingFiles()) {
            bool bPlain = !waiting.IsDirectory() && !(waiting.attributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
                          staging->IsPlainInFolder(waiting.name);
            BringBack(staging->RelativePathOf(waiting.name), waiting.name, bPlain);
        }
        for (const ListingEntry& entry : m_listing.entries) {
            std::wstring own = entry.IsDirectory() ? std::wstring() : staging->OwnNameOf(entry.name);
            if (own.empty()) continue;
            m_waitingNames.insert(entry.name);
            BringBack(entry.name, own, staging->IsPlainBeside(entry.name));
        }
    }
}

void CPlanner::BringBack(const std::wstring& waitingAs, const std::wstring& own, bool bPlain) {
    std::vector<std::wstring> names;
    if (bPlain) names = ReturnNames(ConvertedName(m_change, own), own, m_census);
    if (names.empty()) {  // it waits on, and the run names it where it waits
        Add(PlannedFile{waitingAs, FilePlan{FileFate::Waiting, {}}, {}, true});
        return;
    }
    m_census.Add(names.front());
    m_returnedNames.push_back(names.front());
    Add(PlannedFile{waitingAs, FilePlan{FileFate::Renamed, names.front()}, {}, true});
    // Back under its own name, it lacks the requested case like any file that keeps its name.
    ListingEntry returned{names.front(), {}, FILE_ATTRIBUTE_NORMAL};
    FilePlan plan = PlanFile(m_change, m_census, returned);
    if (plan.fate != FileFate::InCase) Add(PlannedFile{names.front(), std::move(plan), {}, false});
}

// The files the run goes through, in the listing's order, each by the run's own plan.
void CPlanner::PlanFilesToTry() {
    RunPreview& counts = m_plan.counts;
    for (const ListingEntry& entry : m_listing.entries) {
        if (Stopped()) return;
        if (entry.IsDirectory() || m_waitingNames.count(entry.name)) continue;
        ++counts.nFiles;
        FilePlan plan = PlanFile(m_change, m_census, entry);
        if (plan.fate == FileFate::InCase) continue;
        ++(plan.fate == FileFate::Renamed ? counts.nToRename : counts.nKeepingName);
        Add(PlannedFile{entry.name, std::move(plan), {}, false});
    }
}

void CPlanner::Add(PlannedFile file) {
    if (!m_bRows) return;
    bool bRenamed = file.plan.fate == FileFate::Renamed;
    (bRenamed ? m_plan.renamed : m_plan.kept).push_back(std::move(file));
}

// Each twin is named after an entry, other than itself, that answers to the name it would take:
// by its long name, or by its short name. Looked up only where there are twins.
void CPlanner::NameTwins(std::vector<PlannedFile>& files) const {
    auto isTwin = [](const PlannedFile& file) { return file.plan.fate == FileFate::Twin; };
    if (std::none_of(files.begin(), files.end(), isTwin)) return;
    std::unordered_map<std::wstring, std::vector<std::wstring>> holders;
    for (const ListingEntry& entry : m_listing.entries) {
        holders[CaseFoldKey(entry.name)].push_back(entry.name);
        if (!entry.shortName.empty()) holders[CaseFoldKey(entry.shortName)].push_back(entry.name);
    }
    for (const std::wstring& name : m_returnedNames) holders[CaseFoldKey(name)].push_back(name);
    for (PlannedFile& file : files) {
        if (!isTwin(file)) continue;
        auto found = holders.find(CaseFoldKey(file.plan.target));
        if (found == holders.end()) continue;
        for (const std::wstring& holder : found->second)
            if (holder != file.name) {
                file.twin = holder;
                break;
            }
    }
}

}  // namespace

RunPreview PreviewRun(const CaseChange& change, const std::wstring& directory, const std::atomic<bool>& bStop) {
    return CPlanner(change, directory, false, bStop).Plan().counts;
}

RunPlan PlanRun(const CaseChange& change, const std::wstring& directory, const std::atomic<bool>& bStop) {
    return CPlanner(change, directory, true, bStop).Plan();
}
