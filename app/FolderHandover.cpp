#include "app/FolderHandover.h"

#include "app/SmallRecord.h"
#include "app/StartingCopies.h"
#include "filesystem/ExtendedPath.h"
#include "app/RunTurnWait.h"

#include <atomic>

namespace {

const wchar_t kRequests[] = L"\u00DCbergaben";
const wchar_t kRequestEnd[] = L".umbrix-folder";
const char kRequestTag[9] = "UMBRIXH1";
// Before the request: its state, one byte the run writes, then room kept free.
const size_t kStateBytes = 8;
const DWORD kLookInterval = 100;
// Copies still starting are waited for at most this long: one hung in its start holds no run.
const DWORD kLongestStartWait = 30000;

enum RequestState : BYTE { kWaiting = 0, kTaken = 1, kBegun = 2, kDone = 3, kNotRun = 4 };

std::wstring RequestFolder(const std::wstring& folder) { return AfxJoinPath(folder, kRequests); }

std::wstring NewRequestName(const std::wstring& runId) {
    static std::atomic<unsigned> s_nRequests{0};
    return runId + L"~" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++s_nRequests) + kRequestEnd;
}

bool WriteState(HANDLE hRequest, BYTE state) {
    LARGE_INTEGER zero{};
    DWORD dwWritten = 0;
    return SetFilePointerEx(hRequest, zero, nullptr, FILE_BEGIN) &&
           WriteFile(hRequest, &state, 1, &dwWritten, nullptr) && dwWritten == 1;
}

std::optional<BYTE> ReadState(HANDLE hRequest) {
    LARGE_INTEGER zero{};
    BYTE state = 0;
    DWORD dwRead = 0;
    if (!SetFilePointerEx(hRequest, zero, nullptr, FILE_BEGIN) || !ReadFile(hRequest, &state, 1, &dwRead, nullptr) ||
        dwRead != 1)
        return std::nullopt;
    return state;
}

BYTE StateOf(FolderState state) {
    switch (state) {
    case FolderState::Running:
        return kBegun;
    case FolderState::Done:
        return kDone;
    case FolderState::NotRun:
        return kNotRun;
    case FolderState::Waiting:
        break;
    }
    return kTaken;
}

// A fixed-size number as text, so that kinds compare as strings.
std::wstring Hex(uint64_t nValue) {
    wchar_t text[17];
    wsprintfW(text, L"%08X%08X", static_cast<unsigned>(nValue >> 32), static_cast<unsigned>(nValue));
    return text;
}

// The logon this copy runs in: drive letters (mapped, SUBST) belong to it, and an elevated
// copy has a logon of its own.
uint64_t LogonId() {
    HANDLE hToken = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &hToken)) return 0;
    CKernelHandle token(hToken);
    TOKEN_STATISTICS statistics{};
    DWORD dwLength = 0;
    if (!GetTokenInformation(token.Get(), TokenStatistics, &statistics, sizeof(statistics), &dwLength)) return 0;
    return (static_cast<uint64_t>(static_cast<uint32_t>(statistics.AuthenticationId.HighPart)) << 32) |
           statistics.AuthenticationId.LowPart;
}

}  // namespace

std::wstring HandoverKind(const CaseCommand& command) {
    if (command.bQuiet) return std::wstring();
    DWORD dwSession = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &dwSession);
    std::wstring kind = command.direction == CaseDirection::Lower ? L"klein" : L"gross";
    if (command.part == NamePart::Extension) kind += L";endung";
    if (command.part == NamePart::Stem) kind += L";name";
    return kind + L";Sitzung " + std::to_wstring(dwSession) + L";Anmeldung " + Hex(LogonId());
}

CFolderGiver::CFolderGiver(const std::wstring& folder, const RunTurnNotice& run, const std::wstring& kind,
                           const std::wstring& directory)
    : m_strFolder(folder), m_strRunId(run.runId) {
    std::wstring requests = RequestFolder(folder);
    if (!CreateDirectoryW(requests.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return;
    m_request = CFileHandle(CreateFileW(AfxJoinPath(requests, NewRequestName(run.runId)).c_str(),
                                        GENERIC_READ | GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    CRecordWriter record(kRequestTag);
    record.Text(kind);
    record.Text(directory);
    std::vector<BYTE> bytes(kStateBytes, 0);
    std::vector<BYTE> sealed = record.Sealed();
    bytes.insert(bytes.end(), sealed.begin(), sealed.end());
    static_assert(kWaiting == 0, "a request begins as waiting");
    if (m_request && !WriteSmallFile(m_request.Get(), bytes)) m_request.Close();
}

std::optional<HandoverEnd> CFolderGiver::FinalState() {
    std::optional<BYTE> state = ReadState(m_request.Get());
    if (state == kDone) return HandoverEnd::Done;
    if (state == kNotRun) return HandoverEnd::NotRun;
    if (state == kBegun) return HandoverEnd::EndedMidway;
    m_request.Close();  // taken or not, nobody runs it now
    return std::nullopt;
}

HandoverEnd CFolderGiver::Await(std::optional<CRunTurn>& turn) {
    for (;;) {
        std::optional<BYTE> state = ReadState(m_request.Get());
        if (state == kDone) return HandoverEnd::Done;
        if (state == kNotRun) return HandoverEnd::NotRun;
        // The run let go of the turn: what it last wrote is final.
        if (std::optional<CRunTurn> taken = CRunTurn::TryTake(m_strFolder)) {
            if (std::optional<HandoverEnd> end = FinalState()) return *end;
            turn = std::move(taken);
            return HandoverEnd::Yours;
        }
        std::optional<RunTurnNotice> now = ReadRunTurnNotice(m_strFolder);
        if (now && now->runId != m_strRunId) {
            if (std::optional<HandoverEnd> end = FinalState()) return *end;
            return HandoverEnd::Yours;
        }
        // Told to end: the request goes with this copy unless the run has taken it.
        if (!PumpMessagesFor(kLookInterval)) return HandoverEnd::NotRun;
    }
}

CHandoverDesk::CHandoverDesk(std::wstring folder, std::wstring runId, std::wstring kind, CRunFolders& folders)
    : m_strFolder(std::move(folder)),
      m_strRunId(std::move(runId)),
      m_strKind(std::move(kind)),
      m_folders(folders),
      m_stop(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    if (m_strFolder.empty() || m_strKind.empty() || !m_stop) {
        m_bOpen = false;
        return;
    }
    m_thread = CKernelHandle(CreateThread(nullptr, 0, &ThreadMain, this, 0, nullptr));
}

CHandoverDesk::~CHandoverDesk() { Stop(); }

DWORD WINAPI CHandoverDesk::ThreadMain(LPVOID pParam) {
    auto* pDesk = static_cast<CHandoverDesk*>(pParam);
    while (WaitForSingleObject(pDesk->m_stop.Get(), kLookInterval) == WAIT_TIMEOUT) pDesk->TakeRequests();
    return 0;
}

void CHandoverDesk::Stop() {
    if (m_stop) SetEvent(m_stop.Get());
    if (m_thread) WaitForSingleObject(m_thread.Get(), INFINITE);
    m_thread.Close();
}

void CHandoverDesk::Close(CRunTurn& turn, const std::wstring& directory, const std::atomic<bool>& bStop) {
    if (!m_bOpen) return;
    // Still taking meanwhile: a copy that decides to hand over finds the run open.
    WaitForStartingCopies(m_strKind, bStop, kLongestStartWait);
    m_bOpen = false;
    turn.Publish(directory, Offered());
    Stop();
    TakeRequests();
}

void CHandoverDesk::TakeRequests() {
    WIN32_FIND_DATAW found{};
    std::wstring pattern = AfxJoinPath(RequestFolder(m_strFolder), m_strRunId + L"~*" + kRequestEnd);
    CFindHandle search(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0));
    if (!search) return;
    do {
        TakeRequest(AfxJoinPath(RequestFolder(m_strFolder), found.cFileName));
    } while (FindNextFileW(search.Get(), &found));
}

// A request whose copy has ended is gone, or cannot be opened any more: only live ones count.
void CHandoverDesk::TakeRequest(const std::wstring& path) {
    auto request = std::make_shared<CFileHandle>(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                             nullptr, OPEN_EXISTING, 0, nullptr));
    std::vector<BYTE> bytes;
    if (!*request || !ReadSmallFile(request->Get(), bytes) || bytes.empty() || bytes[0] != kWaiting) return;
    CRecordReader record(bytes, kRequestTag, kStateBytes);
    std::wstring kind, directory;
    if (!record.Text(kind) || !record.Text(directory) || kind != m_strKind || directory.empty()) return;
    if (!WriteState(request->Get(), kTaken)) return;
    m_folders.Add(directory, [request](FolderState state) { WriteState(request->Get(), StateOf(state)); });
}
