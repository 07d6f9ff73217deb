#include "renaming/CaseRenamer.h"

#include "filesystem/CUniqueHandle.h"
#include "filesystem/ExtendedPath.h"
#include "filesystem/MoveWithoutReplacing.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

// Pauses before each try of the deferred files, the first right after the rest of the
// directory: about 3 s in all, longer than the second or so that the volumes we know keep
// answering to a name they have given up.
const DWORD kRetryPausesMs[] = {0, 100, 200, 400, 800, 1500};
const ULONGLONG kRetryLimitMs = 3000;

}  // namespace

CCaseRenamer::CCaseRenamer(CaseRunContext& run) : m_run(run) {}

CCaseRenamer::~CCaseRenamer() {
    // No file is ever left under a waiting name because the run forgot it.
    RetryDeferred();
    // With none of this run's files left in it, a file the folder still shows is one the volume
    // has not yet let go of.
    const DWORD kLaggingVolumeMs = 1000;
    if (m_staging && !m_bStrandedBeside) m_staging->RemoveIfEmpty(m_bStrandedInFolder ? 0 : kLaggingVolumeMs);
}

CCaseRenamer::Result CCaseRenamer::Rename(const ListingEntry& entry, const std::wstring& to) {
    Result result = RenameByMode(entry, to);
    if (result == Result::Renamed) m_run.Renamed(entry.name, to);
    return result;
}

CCaseRenamer::Result CCaseRenamer::RenameByMode(const ListingEntry& entry, const std::wstring& to) {
    switch (m_mode) {
    case Mode::OneStep: {
        DWORD dwError = MoveWithoutReplacing(m_run.PathOf(entry.name), m_run.PathOf(to));
        if (dwError == ERROR_SUCCESS) return Result::Renamed;
        return ReportedTaken(dwError) ? RefusedInOneStep(entry, to) : Result::Kept;
    }
    case Mode::Staged:
        return RenameStaged(entry, to);
    case Mode::Unknown:
        break;
    }
    return Probe(entry, to);
}

// The first case change of a run: try the plain rename and look whether the name changed.
// A file that cannot be renamed for another reason (held open, access denied) tells nothing
// about the volume, so the next file probes again.
CCaseRenamer::Result CCaseRenamer::Probe(const ListingEntry& entry, const std::wstring& to) {
    DWORD dwError = MoveWithoutReplacing(m_run.PathOf(entry.name), m_run.PathOf(to));
    if (dwError != ERROR_SUCCESS) return ReportedTaken(dwError) ? RefusedInOneStep(entry, to) : Result::Kept;
    if (HoldsExactly(to)) {
        m_mode = Mode::OneStep;
        return Result::Renamed;
    }
    m_mode = Mode::Staged;
    return RenameStaged(entry, to);
}

// The name was free as last seen. Either the volume has found the file itself under the new
// name, because it refuses a change of case in one step (FAT32 and exFAT under Wine, some
// shares), or another entry came in under that name meanwhile. The staged route tells: its
// second step succeeds only where the name is free, and then the refusal was the volume's, and
// the staged route serves every later file. Where that step is refused too, a fresh look at the
// directory decides: another entry there keeps this file and leaves the route as it was.
CCaseRenamer::Result CCaseRenamer::RefusedInOneStep(const ListingEntry& entry, const std::wstring& to) {
    Mode before = std::exchange(m_mode, Mode::Staged);
    Result result = RenameStaged(entry, to);
    if (result != Result::Deferred) {
        if (result != Result::Renamed) m_mode = before;
        return result;
    }
    m_run.LookAgain();
    if (!m_run.census.IsTaken(to)) return result;
    m_mode = before;
    Waiting waiting = std::move(m_deferred.back());
    m_deferred.pop_back();
    if (TryOwnName(waiting) == Attempt::Done) return Result::Kept;
    Strand(waiting);
    return Result::Stranded;
}

CCaseRenamer::Result CCaseRenamer::RenameStaged(const ListingEntry& entry, const std::wstring& to) {
    if (!EnsureStagingFolder()) return Result::Kept;
    std::wstring beside = WaitingBesideAs(entry.name);
    Waiting waiting{entry.name, to, beside.empty() ? m_staging->PathOf(entry.name) : m_run.PathOf(beside),
                    !beside.empty()};
    if (MoveWithoutReplacing(m_run.PathOf(entry.name), waiting.strPath) != ERROR_SUCCESS) return Result::Kept;
    DWORD dwError = MoveWithoutReplacing(waiting.strPath, m_run.PathOf(to));
    if (dwError == ERROR_SUCCESS) return Result::Renamed;
    // Decided after the rest of the directory, with one fresh look for all such files.
    if (ReportedTaken(dwError)) {
        m_deferred.push_back(std::move(waiting));
        return Result::Deferred;
    }
    if (TryOwnName(waiting) == Attempt::Done) return Result::Kept;
    Strand(waiting);
    return Result::Stranded;
}

void CCaseRenamer::RetryDeferred() {
    ULONGLONG start = GetTickCount64();
    for (size_t round = 0; round < std::size(kRetryPausesMs) && !m_deferred.empty(); ++round) {
        ULONGLONG elapsed = GetTickCount64() - start;
        // After a stop, one try at once and no waiting: the user is waiting instead.
        if (elapsed >= kRetryLimitMs || (round > 0 && m_run.StopRequested())) break;
        Sleep(static_cast<DWORD>(std::min<ULONGLONG>(kRetryPausesMs[round], kRetryLimitMs - elapsed)));
        m_run.LookAgain();
        std::vector<Waiting> still;
        for (Waiting& waiting : m_deferred) {
            // A name that another entry really holds is not waited for.
            Attempt attempt = m_run.census.IsTaken(waiting.strTarget) ? Attempt::Failed : TryAgain(waiting);
            if (attempt == Attempt::Failed) attempt = TryOwnName(waiting);
            if (attempt == Attempt::Refused)
                still.push_back(std::move(waiting));
            else if (attempt == Attempt::Failed)
                Strand(waiting);
        }
        m_deferred.swap(still);
    }
    // Time is up: whatever still waits goes back to its own name.
    for (const Waiting& waiting : m_deferred)
        if (TryOwnName(waiting) != Attempt::Done) Strand(waiting);
    m_deferred.clear();
}

CCaseRenamer::Attempt CCaseRenamer::TryAgain(const Waiting& waiting) {
    DWORD dwError = MoveWithoutReplacing(waiting.strPath, m_run.PathOf(waiting.strTarget));
    if (dwError == ERROR_SUCCESS) {
        m_run.Renamed(waiting.strOwnName, waiting.strTarget);
        return Attempt::Done;
    }
    return ReportedTaken(dwError) ? Attempt::Refused : Attempt::Failed;
}

CCaseRenamer::Attempt CCaseRenamer::TryOwnName(const Waiting& waiting) {
    if (m_run.census.IsTaken(waiting.strOwnName)) return Attempt::Failed;
    DWORD dwError = MoveWithoutReplacing(waiting.strPath, m_run.PathOf(waiting.strOwnName));
    if (dwError == ERROR_SUCCESS) return Attempt::Done;
    return ReportedTaken(dwError) ? Attempt::Refused : Attempt::Failed;
}

void CCaseRenamer::Strand(const Waiting& waiting) {
    if (waiting.bBeside) {
        m_bStrandedBeside = true;
        m_run.stranded.push_back(m_staging->WaitingNameOf(waiting.strOwnName));
    } else {
        m_bStrandedInFolder = true;
        m_run.stranded.push_back(m_staging->RelativePathOf(waiting.strOwnName));
    }
}

// A file waits beside the others where its name leaves room for the suffix and no entry
// answers to the longer name: a rename within one directory costs far less than one into
// another folder on some volumes (FAT32 through FUSE: a third of the time).
std::wstring CCaseRenamer::WaitingBesideAs(const std::wstring& name) const {
    std::wstring waiting = m_staging->WaitingNameOf(name);
    return waiting.empty() || m_run.census.IsTaken(waiting) ? std::wstring() : waiting;
}

bool CCaseRenamer::EnsureStagingFolder() {
    if (m_staging) return true;
    if (m_bStagingFailed) return false;
    m_staging = CStagingFolder::Create(m_run.directory, m_run.census);
    m_bStagingFailed = !m_staging;
    return !m_bStagingFailed;
}

// Whether the directory holds an entry of exactly this name (not one that matches it ignoring
// case). A name with wildcards cannot be looked up directly, so the listing is searched.
bool CCaseRenamer::HoldsExactly(const std::wstring& name) const {
    if (name.find_first_of(L"*?<>\"") != std::wstring::npos) {
        for (const ListingEntry& entry : ReadDirectoryListing(m_run.directory).entries)
            if (entry.name == name) return true;
        return false;
    }
    WIN32_FIND_DATAW data;
    CFindHandle search(
        FindFirstFileExW(m_run.PathOf(name).c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0));
    return search && name == data.cFileName;
}
