#include "app/RunTurn.h"

#include "app/RunJournalPlace.h"
#include "app/SmallRecord.h"
#include "filesystem/ExtendedPath.h"

#include <atomic>

namespace {

const wchar_t kTurnFile[] = L"Umbenennung l\u00E4uft.umbrix-turn";
const char kNoticeTag[9] = "UMBRIXT1";

uint64_t StartTimeOf(HANDLE hProcess) {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(hProcess, &created, &exited, &kernel, &user)) return 0;
    return (static_cast<uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

// Whether the process that wrote a notice is still the one of that number.
bool StillRunning(DWORD dwProcessId, uint64_t nProcessStart) {
    CKernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, dwProcessId));
    return process && WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT &&
           StartTimeOf(process.Get()) == nProcessStart;
}

// A number no other run of this machine has had: process, its start, and a count within it.
std::wstring NewRunId() {
    static std::atomic<unsigned> s_nRuns{0};
    return std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(StartTimeOf(GetCurrentProcess())) + L"-" +
           std::to_wstring(++s_nRuns);
}

std::vector<BYTE> NoticeBytes(const RunTurnNotice& notice) {
    CRecordWriter record(kNoticeTag);
    record.Number(notice.dwProcessId);
    record.Number(notice.nProcessStart);
    record.Text(notice.runId);
    record.Text(notice.handoverKind);
    record.Text(notice.directory);
    return record.Sealed();
}

std::optional<RunTurnNotice> NoticeFrom(const std::vector<BYTE>& bytes) {
    CRecordReader record(bytes, kNoticeTag);
    RunTurnNotice notice;
    uint64_t nProcessId = 0;
    if (!record.Number(nProcessId) || !record.Number(notice.nProcessStart) || !record.Text(notice.runId) ||
        !record.Text(notice.handoverKind) || !record.Text(notice.directory))
        return std::nullopt;
    notice.dwProcessId = static_cast<DWORD>(nProcessId);
    return notice;
}

}  // namespace

std::wstring CRunTurn::DefaultFolder() {
    std::wstring journal = RunJournalPath();
    return journal.empty() ? journal : journal.substr(0, journal.rfind(L'\\'));
}

std::optional<CRunTurn> CRunTurn::TryTake(const std::wstring& folder) {
    if (folder.empty()) return CRunTurn(CFileHandle(), NewRunId());
    CFileHandle file(CreateFileW(AfxJoinPath(folder, kTurnFile).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                 nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file && GetLastError() == ERROR_SHARING_VIOLATION) return std::nullopt;
    CRunTurn turn(std::move(file), NewRunId());
    // A copy ended by force leaves its notice behind: until the first real one, nobody's.
    if (turn.Holds()) WriteSmallFile(turn.m_file.Get(), {});
    return turn;
}

CRunTurn& CRunTurn::operator=(CRunTurn&& other) noexcept {
    if (this == &other) return *this;
    Release();
    m_file = std::move(other.m_file);
    m_runId = std::move(other.m_runId);
    return *this;
}

void CRunTurn::Publish(const std::wstring& directory, const std::wstring& handoverKind) {
    if (!Holds()) return;
    RunTurnNotice notice{GetCurrentProcessId(), StartTimeOf(GetCurrentProcess()), m_runId, handoverKind, directory};
    WriteSmallFile(m_file.Get(), NoticeBytes(notice));
}

void CRunTurn::Release() {
    if (!Holds()) return;
    WriteSmallFile(m_file.Get(), {});
    m_file.Close();
}

std::optional<RunTurnNotice> ReadRunTurnNotice(const std::wstring& folder) {
    if (folder.empty()) return std::nullopt;
    CFileHandle file(CreateFileW(AfxJoinPath(folder, kTurnFile).c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    std::vector<BYTE> bytes;
    if (!file || !ReadSmallFile(file.Get(), bytes)) return std::nullopt;
    std::optional<RunTurnNotice> notice = NoticeFrom(bytes);
    if (!notice || !StillRunning(notice->dwProcessId, notice->nProcessStart)) return std::nullopt;
    return notice;
}

bool AnotherCopyHasTheTurn(const std::wstring& folder) {
    std::optional<RunTurnNotice> notice = ReadRunTurnNotice(folder);
    return notice && notice->dwProcessId != GetCurrentProcessId();
}
