#include "renaming/CaseRenamer.h"

#include "filesystem/CUniqueHandle.h"
#include "filesystem/ExtendedPath.h"

#include <utility>

bool MoveWithoutReplacing(const std::wstring& from, const std::wstring& to) {
    // No MOVEFILE_REPLACE_EXISTING: an existing file under the new name must survive.
    // No MOVEFILE_COPY_ALLOWED: a rename never turns into copy and delete.
    return MoveFileExW(from.c_str(), to.c_str(), 0) != FALSE;
}

CCaseRenamer::CCaseRenamer(std::wstring directory, const CNameCensus& census)
    : m_strDirectory(std::move(directory)), m_census(census) {}

CCaseRenamer::~CCaseRenamer() {
    if (m_staging && !m_bStrandedBeside) m_staging->RemoveIfEmpty();
}

CCaseRenamer::Result CCaseRenamer::Rename(const std::wstring& from, const std::wstring& to) {
    switch (m_mode) {
    case Mode::OneStep:
        if (MoveWithoutReplacing(PathOf(from), PathOf(to))) return Result::Renamed;
        return ReportedTaken(GetLastError()) ? SwitchToStaged(from, to) : Result::Kept;
    case Mode::Staged:
        return RenameStaged(from, to);
    case Mode::Unknown:
        break;
    }
    return Probe(from, to);
}

std::wstring CCaseRenamer::StrandedPathOf(const std::wstring& name) const {
    if (!m_staging) return name;
    std::wstring beside = WaitingBesideAs(name);
    return beside.empty() ? m_staging->RelativePathOf(name) : beside;
}

// The first case change of a run: try the plain rename and look whether the name changed.
// A file that cannot be renamed for another reason (held open, access denied) tells nothing
// about the volume, so the next file probes again.
CCaseRenamer::Result CCaseRenamer::Probe(const std::wstring& from, const std::wstring& to) {
    if (!MoveWithoutReplacing(PathOf(from), PathOf(to)))
        return ReportedTaken(GetLastError()) ? SwitchToStaged(from, to) : Result::Kept;
    if (HoldsExactly(to)) {
        m_mode = Mode::OneStep;
        return Result::Renamed;
    }
    return SwitchToStaged(from, to);
}

// No other entry answers to "to" (the caller's census says so), so a volume that reports the
// name as taken has found the file itself under it: it refuses a change of case in one step
// (FAT32 mounted under Wine, some shares). The staged route works there, for this file and
// every later one.
bool CCaseRenamer::ReportedTaken(DWORD dwError) {
    return dwError == ERROR_ALREADY_EXISTS || dwError == ERROR_FILE_EXISTS;
}

CCaseRenamer::Result CCaseRenamer::SwitchToStaged(const std::wstring& from, const std::wstring& to) {
    m_mode = Mode::Staged;
    return RenameStaged(from, to);
}

CCaseRenamer::Result CCaseRenamer::RenameStaged(const std::wstring& from, const std::wstring& to) {
    if (!EnsureStagingFolder()) return Result::Kept;
    std::wstring beside = WaitingBesideAs(from);
    std::wstring staged = beside.empty() ? m_staging->PathOf(from) : PathOf(beside);
    if (!MoveWithoutReplacing(PathOf(from), staged)) return Result::Kept;
    if (MoveWithoutReplacing(staged, PathOf(to))) return Result::Renamed;
    if (MoveWithoutReplacing(staged, PathOf(from))) return Result::Kept;
    m_bStrandedBeside = m_bStrandedBeside || !beside.empty();
    return Result::Stranded;
}

// A file waits beside the others where its name leaves room for the suffix and no entry
// answers to the longer name: a rename within one directory costs far less than one into
// another folder on some volumes (FAT32 through FUSE: a third of the time).
std::wstring CCaseRenamer::WaitingBesideAs(const std::wstring& name) const {
    std::wstring waiting = m_staging->WaitingNameOf(name);
    return waiting.empty() || m_census.IsTaken(waiting) ? std::wstring() : waiting;
}

bool CCaseRenamer::EnsureStagingFolder() {
    if (m_staging) return true;
    if (m_bStagingFailed) return false;
    m_staging = CStagingFolder::Create(m_strDirectory, m_census);
    m_bStagingFailed = !m_staging;
    return !m_bStagingFailed;
}

// Whether the directory holds an entry of exactly this name (not one that matches it ignoring
// case). A name with wildcards cannot be looked up directly, so the listing is searched.
bool CCaseRenamer::HoldsExactly(const std::wstring& name) const {
    if (name.find_first_of(L"*?<>\"") != std::wstring::npos) {
        for (const ListingEntry& entry : ReadDirectoryListing(m_strDirectory).entries)
            if (entry.name == name) return true;
        return false;
    }
    WIN32_FIND_DATAW data;
    CFindHandle search(
        FindFirstFileExW(PathOf(name).c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0));
    return search && name == data.cFileName;
}

std::wstring CCaseRenamer::PathOf(const std::wstring& name) const { return AfxJoinPath(m_strDirectory, name); }
