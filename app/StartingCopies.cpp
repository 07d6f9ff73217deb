#include "app/StartingCopies.h"

#include "filesystem/CUniqueHandle.h"

#include <tlhelp32.h>

#include <string>
#include <vector>

namespace {

const DWORD kLookInterval = 20;
const DWORD kUnknownSession = 0xFFFFFFFF;

std::wstring DecidedName(DWORD dwProcessId) { return L"Local\\Umbrix.Entschieden." + std::to_wstring(dwProcessId); }

// A number for the kind: event names have a length limit that a kind could pass.
std::wstring WaitingName(DWORD dwProcessId, const std::wstring& kind) {
    uint32_t nHash = 2166136261u;
    for (wchar_t ch : kind) nHash = (nHash ^ static_cast<uint32_t>(ch)) * 16777619u;
    return L"Local\\Umbrix.Wartet." + std::to_wstring(dwProcessId) + L"." + std::to_wstring(nHash);
}

bool Exists(const std::wstring& eventName) {
    CKernelHandle event(OpenEventW(SYNCHRONIZE, FALSE, eventName.c_str()));
    return static_cast<bool>(event);
}

CKernelHandle& WaitingEvent() {
    static CKernelHandle s_waiting;
    return s_waiting;
}

std::wstring OwnFileName() {
    wchar_t path[MAX_PATH] = {};
    DWORD nLength = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name(path, nLength);
    return name.substr(name.find_last_of(L"\\/") + 1);
}

// The session of a process; unknown where the platform does not tell it for another process
// (Wine answers yes and leaves the number as it was): then it counts as ours.
DWORD SessionOf(DWORD dwProcessId) {
    DWORD dwSession = kUnknownSession;
    return ProcessIdToSessionId(dwProcessId, &dwSession) ? dwSession : kUnknownSession;
}

// The other copies of this program in this session, as handles to wait on.
std::vector<std::pair<DWORD, CKernelHandle>> OtherCopies() {
    std::vector<std::pair<DWORD, CKernelHandle>> copies;
    CFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return copies;
    std::wstring own = OwnFileName();
    DWORD dwOwnSession = SessionOf(GetCurrentProcessId());
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL bMore = Process32FirstW(snapshot.Get(), &entry); bMore; bMore = Process32NextW(snapshot.Get(), &entry)) {
        if (entry.th32ProcessID == GetCurrentProcessId() || lstrcmpiW(entry.szExeFile, own.c_str()) != 0) continue;
        DWORD dwSession = SessionOf(entry.th32ProcessID);
        if (dwSession != kUnknownSession && dwOwnSession != kUnknownSession && dwSession != dwOwnSession) continue;
        CKernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, entry.th32ProcessID));
        if (process) copies.emplace_back(entry.th32ProcessID, std::move(process));
    }
    return copies;
}

bool HasDecided(DWORD dwProcessId, HANDLE hProcess, const std::wstring& kind) {
    if (WaitForSingleObject(hProcess, 0) != WAIT_TIMEOUT) return true;
    return !Exists(WaitingName(dwProcessId, kind)) && Exists(DecidedName(dwProcessId));
}

}  // namespace

void AnnounceDecided() {
    // Kept open to the process's end, which closes it.
    static CKernelHandle s_decided(CreateEventW(nullptr, TRUE, TRUE, DecidedName(GetCurrentProcessId()).c_str()));
}

void AnnounceWaiting(const std::wstring& kind) {
    AnnounceDecided();
    if (!WaitingEvent())
        WaitingEvent() = CKernelHandle(
            CreateEventW(nullptr, TRUE, TRUE, WaitingName(GetCurrentProcessId(), kind).c_str()));
}

void NoLongerWaiting() { WaitingEvent().Close(); }

void WaitForStartingCopies(const std::wstring& kind, const std::atomic<bool>& bStop, DWORD dwLongest) {
    ULONGLONG nDeadline = GetTickCount64() + dwLongest;
    std::vector<std::pair<DWORD, CKernelHandle>> copies = OtherCopies();
    for (auto& [dwProcessId, process] : copies) {
        while (!HasDecided(dwProcessId, process.Get(), kind)) {
            if (bStop || GetTickCount64() >= nDeadline) return;
            Sleep(kLookInterval);
        }
    }
}
