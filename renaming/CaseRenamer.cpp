#include "renaming/CaseRenamer.h"

#include "renaming/DirectoryListing.h"

#include <utility>

namespace {

// The name the file system now holds for a file looked up by name.
CString NameOnDisk(const CString& name) {
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(name, &data);
    if (search == INVALID_HANDLE_VALUE) return CString();
    FindClose(search);
    return CString(data.cFileName);
}

}  // namespace

bool MoveWithoutReplacing(const CString& from, const CString& to) {
    // No MOVEFILE_REPLACE_EXISTING: an existing file under the new name must survive.
    // No MOVEFILE_COPY_ALLOWED: a rename never turns into copy and delete.
    return MoveFileExA(from, to, 0) != FALSE;
}

CCaseRenamer::CCaseRenamer(std::function<bool(const std::wstring&)> isTaken) : m_isTaken(std::move(isTaken)) {}

CCaseRenamer::~CCaseRenamer() {
    // Fails, and so keeps the folder, only if a file could not be moved back out of it.
    if (!m_strStaging.IsEmpty()) RemoveDirectoryA(m_strStaging);
}

bool CCaseRenamer::Rename(const CString& from, const CString& to) {
    switch (m_mode) {
    case Mode::OneStep:
        return MoveWithoutReplacing(from, to);
    case Mode::Staged:
        return RenameStaged(from, to);
    case Mode::Unknown:
        break;
    }
    return Probe(from, to);
}

// The first case change of a run: try the plain rename and look whether the name changed.
bool CCaseRenamer::Probe(const CString& from, const CString& to) {
    if (!MoveWithoutReplacing(from, to)) return false;
    if (NameOnDisk(to) == to) {
        m_mode = Mode::OneStep;
        return true;
    }
    m_mode = Mode::Staged;
    return RenameStaged(from, to);
}

bool CCaseRenamer::RenameStaged(const CString& from, const CString& to) {
    if (!EnsureStagingFolder()) return false;
    // Inside the staging folder the file keeps its own name, so that it stays recognisable
    // should the program be stopped between the two steps.
    CString staged = m_strStaging + "\\" + from;
    if (!MoveWithoutReplacing(from, staged)) return false;
    if (MoveWithoutReplacing(staged, to)) return true;
    MoveWithoutReplacing(staged, from);
    return false;
}

bool CCaseRenamer::EnsureStagingFolder() {
    if (!m_strStaging.IsEmpty()) return true;
    if (m_bStagingFailed) return false;
    CString name = UnusedName(".umbrix-staging");
    if (!CreateDirectoryA(name, nullptr)) {
        m_bStagingFailed = true;
        return false;
    }
    SetFileAttributesA(name, FILE_ATTRIBUTE_HIDDEN);
    m_strStaging = name;
    return true;
}

CString CCaseRenamer::UnusedName(const char* pszBase) const {
    CString name(pszBase);
    for (int n = 2; m_isTaken(CaseFoldKey(AfxToWide(name))); ++n) name.Format("%s-%d", pszBase, n);
    return name;
}
