#include "renaming/RunJournal.h"

#include "filesystem/SystemErrorText.h"
#include "renaming/CaseConversion.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>
#include <unordered_set>
#include <utility>

namespace {

// "UMBRIXJN", then the version; a reader refuses a version it does not know.
const BYTE kMagic[8] = {'U', 'M', 'B', 'R', 'I', 'X', 'J', 'N'};
const uint32_t kVersion = 3;
const size_t kStart = sizeof kMagic + sizeof(uint32_t);
// A journal of a million files stays far below this; anything longer is not ours.
const uint64_t kMaxJournalBytes = 1ull << 30;
// A record: kind, length and their checksum, then the payload and the checksum of all before it.
const size_t kFrame = 3 * sizeof(uint32_t);
const size_t kTrailer = sizeof(uint32_t);

// The run record comes first and once; a folder's batches and parts follow its folder record;
// the end mark comes last.
enum RecordKind : uint32_t { kRunRecord = 1, kFolderRecord = 2, kBatchRecord = 3, kPartsRecord = 4, kEndRecord = 5 };

// The run record's payload is the run's number alone: the start of every journal has one size.
const size_t kRunRecordBytes = kFrame + sizeof(uint64_t) + kTrailer;

uint32_t Crc32(const BYTE* pData, size_t nSize) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < nSize; ++i) crc = table[(crc ^ pData[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

// Little-endian fields, as every Windows machine stores them.
class CBytesOut {
public:
    void U32(uint32_t value) { Raw(&value, sizeof value); }
    void U64(uint64_t value) { Raw(&value, sizeof value); }
    void Text(const std::wstring& text) {
        U32(static_cast<uint32_t>(text.size()));
        Raw(text.data(), text.size() * sizeof(wchar_t));
    }
    void Raw(const void* pData, size_t nSize) {
        auto* pBytes = static_cast<const BYTE*>(pData);
        m_bytes.insert(m_bytes.end(), pBytes, pBytes + nSize);
    }
    void Reserve(size_t nSize) { m_bytes.reserve(nSize); }
    std::vector<BYTE>& Bytes() { return m_bytes; }

private:
    std::vector<BYTE> m_bytes;
};

// Reads what CBytesOut wrote; any read past the end makes it fail for good.
class CBytesIn {
public:
    CBytesIn(const BYTE* pData, size_t nSize) : m_pData(pData), m_nLeft(nSize) {}
    bool U32(uint32_t& value) { return Raw(&value, sizeof value); }
    bool U64(uint64_t& value) { return Raw(&value, sizeof value); }
    bool Text(std::wstring& text) {
        uint32_t length = 0;
        if (!U32(length) || length > m_nLeft / sizeof(wchar_t)) return m_bOk = false;
        text.resize(length);
        return Raw(text.data(), length * sizeof(wchar_t));
    }
    bool Raw(void* pData, size_t nSize) {
        if (!m_bOk || nSize > m_nLeft) return m_bOk = false;
        std::memcpy(pData, m_pData, nSize);
        m_pData += nSize;
        m_nLeft -= nSize;
        return true;
    }
    bool AtEnd() const { return m_bOk && m_nLeft == 0; }

private:
    const BYTE* m_pData;
    size_t m_nLeft;
    bool m_bOk = true;
};

uint32_t ReadU32(const BYTE* pData) {
    uint32_t value;
    std::memcpy(&value, pData, sizeof value);
    return value;
}

// Written straight into bytes, its room taken once: a batch can name most of a big directory.
void AddRecord(std::vector<BYTE>& bytes, RecordKind kind, const std::vector<BYTE>& payload) {
    CBytesOut head;
    head.U32(kind);
    head.U32(static_cast<uint32_t>(payload.size()));
    head.U32(Crc32(head.Bytes().data(), head.Bytes().size()));
    size_t start = bytes.size();
    bytes.reserve(start + head.Bytes().size() + payload.size() + sizeof(uint32_t));
    bytes.insert(bytes.end(), head.Bytes().begin(), head.Bytes().end());
    bytes.insert(bytes.end(), payload.begin(), payload.end());
    uint32_t crc = Crc32(bytes.data() + start, bytes.size() - start);
    auto* pCrc = reinterpret_cast<const BYTE*>(&crc);
    bytes.insert(bytes.end(), pCrc, pCrc + sizeof crc);
}

std::vector<BYTE> StartBytes(uint64_t runId) {
    CBytesOut start;
    start.Raw(kMagic, sizeof kMagic);
    start.U32(kVersion);
    CBytesOut run;
    run.U64(runId);
    AddRecord(start.Bytes(), kRunRecord, run.Bytes());
    return std::move(start.Bytes());
}

void AddFolderRecord(std::vector<BYTE>& bytes, const JournalFolder& folder) {
    CBytesOut out;
    out.U32(folder.direction == CaseDirection::Lower ? 0 : 1);
    out.U32(static_cast<uint32_t>(folder.part));
    out.U64(folder.timeTicks);
    out.Text(folder.shownDirectory);
    out.Text(folder.directory);
    AddRecord(bytes, kFolderRecord, out.Bytes());
}

void AddBatchRecord(std::vector<BYTE>& bytes, const std::vector<JournalEntry>& batch) {
    const size_t kFixed = 2 * sizeof(uint32_t) + sizeof(uint64_t) + sizeof(uint32_t) + 2 * sizeof(uint64_t);
    size_t nSize = sizeof(uint32_t);
    for (const JournalEntry& entry : batch)
        nSize += kFixed + (entry.earlierName.size() + entry.newName.size()) * sizeof(wchar_t);
    CBytesOut out;
    out.Reserve(nSize);  // only the room: the record states the size the payload came to
    out.U32(static_cast<uint32_t>(batch.size()));
    for (const JournalEntry& entry : batch) {
        out.Text(entry.earlierName);
        out.Text(entry.newName);
        out.U64(entry.identity.fileId);
        out.U32(entry.identity.volumeSerial);
        out.U64(entry.identity.size);
        out.U64(entry.identity.lastWrite);
    }
    AddRecord(bytes, kBatchRecord, out.Bytes());
}

void AddPartsRecord(std::vector<BYTE>& bytes, uint32_t parts) {
    CBytesOut out;
    out.U32(parts);
    AddRecord(bytes, kPartsRecord, out.Bytes());
}

void AddEndRecord(std::vector<BYTE>& bytes) { AddRecord(bytes, kEndRecord, {}); }

// A name of one entry directly in the directory, and nothing that leads elsewhere.
bool PlainName(const std::wstring& name) {
    return !name.empty() && name != L"." && name != L".." &&
           name.find_first_of(std::wstring(L"\\/\0", 3)) == std::wstring::npos;
}

// What a run of this program can have written: two names of one file that differ in case only.
bool ValidEntry(const JournalEntry& entry) {
    return PlainName(entry.earlierName) && PlainName(entry.newName) && entry.earlierName != entry.newName &&
           CaseFoldKey(entry.earlierName) == CaseFoldKey(entry.newName);
}

bool ReadRun(CBytesIn& in, RunJournal& journal) { return in.U64(journal.runId) && in.AtEnd(); }

bool ReadFolder(CBytesIn& in, RunJournal& journal) {
    JournalFolder folder;
    uint32_t direction = 0;
    uint32_t part = 0;
    if (!in.U32(direction) || direction > 1 || !in.U32(part) || part > static_cast<uint32_t>(NamePart::Stem) ||
        !in.U64(folder.timeTicks) || folder.timeTicks == 0 || !in.Text(folder.shownDirectory) ||
        !in.Text(folder.directory) || !in.AtEnd() || folder.directory.empty())
        return false;
    folder.direction = direction == 0 ? CaseDirection::Lower : CaseDirection::Upper;
    folder.part = static_cast<NamePart>(part);
    // Until a parts record tells otherwise, every part is compared: a file is rather left as it is.
    folder.survivingParts = kIdentityAll;
    journal.folders.push_back(std::move(folder));
    return true;
}

bool ReadBatch(CBytesIn& in, JournalFolder& folder) {
    uint32_t count = 0;
    if (!in.U32(count)) return false;
    for (uint32_t i = 0; i < count; ++i) {
        JournalEntry entry;
        FileIdentity& id = entry.identity;
        if (!in.Text(entry.earlierName) || !in.Text(entry.newName) || !in.U64(id.fileId) || !in.U32(id.volumeSerial) ||
            !in.U64(id.size) || !in.U64(id.lastWrite) || !ValidEntry(entry))
            return false;
        folder.entries.push_back(std::move(entry));
    }
    return in.AtEnd();
}

bool ReadParts(CBytesIn& in, JournalFolder& folder) {
    uint32_t parts = 0;
    if (!in.U32(parts) || (parts & ~static_cast<uint32_t>(kIdentityAll))) return false;
    folder.survivingParts = parts;
    return in.AtEnd();
}

// One record's payload, by its kind and where it stands.
bool ReadPayload(uint32_t kind, CBytesIn& in, RunJournal& journal, bool bFirst) {
    if (bFirst != (kind == kRunRecord)) return false;
    bool bInFolder = !journal.folders.empty();
    switch (kind) {
    case kRunRecord:
        return ReadRun(in, journal);
    case kFolderRecord:
        return ReadFolder(in, journal);
    case kBatchRecord:
        return bInFolder && ReadBatch(in, journal.folders.back());
    case kPartsRecord:
        return bInFolder && ReadParts(in, journal.folders.back());
    case kEndRecord:
        journal.bEnded = true;
        return in.AtEnd();
    default:
        return false;
    }
}

// A tail that the file system has made room for but not written yet reads as zeros.
bool AllZero(const std::vector<BYTE>& bytes, size_t at) {
    return std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.end(), [](BYTE b) { return b == 0; });
}

JournalState ReadJournalBytes(const std::vector<BYTE>& bytes, RunJournal& journal) {
    if (bytes.size() < kStart || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0 ||
        ReadU32(bytes.data() + sizeof kMagic) != kVersion)
        return JournalState::Damaged;
    size_t at = kStart;
    bool bFirst = true;
    while (at < bytes.size()) {
        size_t left = bytes.size() - at;
        // Ended inside its last record while writing it: a torn run, its last record dropped.
        // Nothing comes after an end mark, torn or not, and no journal is placed before its run
        // record is whole.
        bool bTear = left < kFrame || AllZero(bytes, at);
        if (!bTear && Crc32(&bytes[at], 8) != ReadU32(&bytes[at + 8])) return JournalState::Damaged;
        uint32_t kind = bTear ? 0 : ReadU32(&bytes[at]);
        uint32_t length = bTear ? 0 : ReadU32(&bytes[at + 4]);
        bTear = bTear || length > left - kFrame || left - kFrame - length < kTrailer;
        if (bTear) return journal.bEnded || bFirst ? JournalState::Damaged : JournalState::Trusted;
        if (journal.bEnded || Crc32(&bytes[at], kFrame + length) != ReadU32(&bytes[at + kFrame + length]))
            return JournalState::Damaged;
        CBytesIn in(&bytes[at + kFrame], length);
        if (!ReadPayload(kind, in, journal, bFirst)) return JournalState::Damaged;
        bFirst = false;
        at += kFrame + length + kTrailer;
    }
    return bFirst ? JournalState::Damaged : JournalState::Trusted;
}

// Reads at most nMost bytes from the start (all when nMost is 0).
DWORD ReadFileBytes(const std::wstring& path, std::vector<BYTE>& bytes, uint64_t& nSize, size_t nMost = 0) {
    CFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size;
    if (!file || !GetFileSizeEx(file.Get(), &size)) return GetLastError();
    nSize = static_cast<uint64_t>(size.QuadPart);
    if (nSize > kMaxJournalBytes) return ERROR_FILE_TOO_LARGE;
    bytes.resize(nMost ? std::min<size_t>(nMost, nSize) : static_cast<size_t>(nSize));
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD dwRead = 0;
        DWORD dwWant = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24));
        if (!ReadFile(file.Get(), bytes.data() + done, dwWant, &dwRead, nullptr)) return GetLastError();
        if (dwRead == 0) return ERROR_HANDLE_EOF;
        done += dwRead;
    }
    return ERROR_SUCCESS;
}

bool IsMissing(DWORD dwError) { return dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_PATH_NOT_FOUND; }

// The run's number read from the start of a journal; false when the start does not check out.
bool ReadRunId(const std::vector<BYTE>& bytes, uint64_t& runId) {
    if (bytes.size() < kStart + kRunRecordBytes) return false;
    RunJournal journal;
    std::vector<BYTE> start(bytes.begin(), bytes.begin() + kStart + kRunRecordBytes);
    if (ReadJournalBytes(start, journal) != JournalState::Trusted || journal.runId == 0) return false;
    runId = journal.runId;
    return true;
}

DWORD WriteAll(HANDLE hFile, const std::vector<BYTE>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD dwWritten = 0;
        DWORD dwWant = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24));
        if (!WriteFile(hFile, bytes.data() + done, dwWant, &dwWritten, nullptr)) return GetLastError();
        if (dwWritten == 0) return ERROR_WRITE_FAULT;
        done += dwWritten;
    }
    return ERROR_SUCCESS;
}

// A number that no other run has: the moment, the process and a count, spread over all bits.
uint64_t NewRunId() {
    static LONG s_nCount = 0;
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    uint64_t value = static_cast<uint64_t>(counter.QuadPart) ^ (uint64_t{GetCurrentProcessId()} << 32) ^
                     ((static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime) ^
                     (static_cast<uint64_t>(InterlockedIncrement(&s_nCount)) << 48);
    value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ull;
    value = (value ^ (value >> 27)) * 0x94D049BB133111EBull;
    value ^= value >> 31;
    return value ? value : 1;
}

// New files beside the journal: its name, a dot, a number no other run takes, ".new".
const wchar_t kTempEnd[] = L".new";

std::wstring TempPathBeside(const std::wstring& path) {
    wchar_t digits[17];
    swprintf(digits, 17, L"%016llx", static_cast<unsigned long long>(NewRunId()));
    return path + L"." + digits + kTempEnd;
}

// A new file, made under a name no other file has; it shares deletion so that it can take the
// journal's place while held.
CFileHandle CreateNewFile(std::wstring& tempPath, const std::wstring& path, DWORD& dwError) {
    for (int nTry = 0; nTry < 8; ++nTry) {
        tempPath = TempPathBeside(path);
        CFileHandle file(CreateFileW(tempPath.c_str(), GENERIC_WRITE | GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                     nullptr));
        dwError = file ? ERROR_SUCCESS : GetLastError();
        if (dwError != ERROR_FILE_EXISTS && dwError != ERROR_ALREADY_EXISTS) return file;
    }
    return CFileHandle();
}

// Files of killed runs beside the journal: each goes where no one holds it open (a running copy
// holds its own, and then the open fails with a sharing violation).
void RemoveLeftovers(const std::wstring& path) {
    size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos) return;
    std::wstring folder = path.substr(0, slash);
    std::wstring prefix = path.substr(slash + 1) + L".";
    DirectoryListing listing = ReadDirectoryListing(folder, ListingDetail::Names);
    for (const ListingEntry& entry : listing.entries) {
        const std::wstring& name = entry.name;
        bool bOurs = name.size() == prefix.size() + 16 + 4 && name.compare(0, prefix.size(), prefix) == 0 &&
                     name.compare(name.size() - 4, 4, kTempEnd) == 0;
        if (!bOurs || entry.IsDirectory()) continue;
        CFileHandle file(CreateFileW((folder + L"\\" + name).c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        FILE_DISPOSITION_INFO dispose{TRUE};
        if (file) SetFileInformationByHandle(file.Get(), FileDispositionInfo, &dispose, sizeof dispose);
    }
}

std::vector<BYTE> WholeJournal(const RunJournal& journal) {
    std::vector<BYTE> bytes = StartBytes(journal.runId ? journal.runId : NewRunId());
    for (const JournalFolder& folder : journal.folders) {
        if (folder.entries.empty()) continue;
        AddFolderRecord(bytes, folder);
        AddPartsRecord(bytes, folder.survivingParts);
        AddBatchRecord(bytes, folder.entries);
    }
    if (journal.bEnded) AddEndRecord(bytes);
    return bytes;
}

std::wstring WithoutExtendedPrefix(const std::wstring& path) {
    if (path.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\\\" + path.substr(8);
    if (path.rfind(L"\\\\?\\", 0) == 0) return path.substr(4);
    return path;
}

}  // namespace

size_t RunJournal::EntryCount() const {
    size_t count = 0;
    for (const JournalFolder& folder : folders) count += folder.entries.size();
    return count;
}

JournalReading ReadRunJournal(const std::wstring& path) {
    JournalReading reading;
    std::vector<BYTE> bytes;
    uint64_t nSize = 0;
    DWORD dwError = ReadFileBytes(path, bytes, nSize);
    if (dwError != ERROR_SUCCESS) {
        reading.state = IsMissing(dwError) ? JournalState::Missing : JournalState::Unreadable;
        reading.error = dwError;
        if (dwError == ERROR_FILE_TOO_LARGE) reading.state = JournalState::Damaged;
        return reading;
    }
    reading.state = ReadJournalBytes(bytes, reading.journal);
    if (reading.state != JournalState::Trusted) reading.journal = RunJournal();
    return reading;
}

JournalPeek PeekRunJournal(const std::wstring& path) {
    std::vector<BYTE> bytes;
    uint64_t nSize = 0;
    DWORD dwError = ReadFileBytes(path, bytes, nSize, kStart + kRunRecordBytes);
    if (dwError != ERROR_SUCCESS) {
        if (IsMissing(dwError)) return JournalPeek::Missing;
        return dwError == ERROR_FILE_TOO_LARGE ? JournalPeek::Damaged : JournalPeek::Unreadable;
    }
    uint64_t runId = 0;
    if (!ReadRunId(bytes, runId)) return JournalPeek::Damaged;
    return nSize > kStart + kRunRecordBytes ? JournalPeek::Offered : JournalPeek::Empty;
}

bool JournalOfRun(const std::wstring& path, uint64_t runId) {
    std::vector<BYTE> bytes;
    uint64_t nSize = 0, atPath = 0;
    return ReadFileBytes(path, bytes, nSize, kStart + kRunRecordBytes) == ERROR_SUCCESS && ReadRunId(bytes, atPath) &&
           atPath == runId;
}

// Filtered in place: a run's entries are the most it holds, and a copy would be held beside them.
std::vector<JournalEntry> EntriesWithNewNames(std::vector<JournalEntry> entries, const DirectoryListing& listing) {
    if (listing.Failed()) return entries;
    std::unordered_set<std::wstring_view> names;
    names.reserve(listing.entries.size());
    for (const ListingEntry& entry : listing.entries) names.insert(entry.name);
    std::erase_if(entries, [&names](const JournalEntry& entry) { return !names.count(entry.newName); });
    return entries;
}

size_t FilesStillRenamed(const RunJournal& journal) {
    if (journal.bEnded) return journal.EntryCount();
    size_t count = 0;
    for (const JournalFolder& folder : journal.folders)
        count +=
            EntriesWithNewNames(folder.entries, ReadDirectoryListing(folder.directory, ListingDetail::Names)).size();
    return count;
}

std::wstring JournalFault::Reason() const { return AfxSystemReason(error) + L": " + WithoutExtendedPrefix(path); }

bool ReplaceRunJournal(const std::wstring& path, const RunJournal& journal) {
    if (journal.EntryCount() == 0) return !WithdrawRunJournal(path);
    std::wstring tempPath;
    DWORD dwError = ERROR_SUCCESS;
    CFileHandle file = CreateNewFile(tempPath, path, dwError);
    if (!file) return false;
    bool bWritten = WriteAll(file.Get(), WholeJournal(journal)) == ERROR_SUCCESS && FlushFileBuffers(file.Get());
    file.Close();
    if (bWritten && MoveFileExW(tempPath.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(tempPath.c_str());
    return false;
}

namespace {

// Wine removes a file when its last handle closes and says nothing when that fails (a
// read-only mount): only a look afterwards tells.
bool Gone(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES && IsMissing(GetLastError());
}

}  // namespace

JournalFault WithdrawRunJournal(const std::wstring& path) {
    if (DeleteFileW(path.c_str())) return Gone(path) ? JournalFault{} : JournalFault{ERROR_ACCESS_DENIED, path};
    DWORD dwError = GetLastError();
    if (IsMissing(dwError)) return {};
    // A journal someone marked read-only is still ours to take back.
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
        SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY)) {
        if (DeleteFileW(path.c_str()) && Gone(path)) return {};
        dwError = GetLastError();
        SetFileAttributesW(path.c_str(), attributes);
    }
    return JournalFault{dwError, path};
}

CRunJournalWriter::CRunJournalWriter(std::wstring path) : m_strPath(std::move(path)) {}

CRunJournalWriter::~CRunJournalWriter() {
    if (m_bPlaced || m_strTempPath.empty()) return;
    m_file.Close();
    DeleteFileW(m_strTempPath.c_str());
}

JournalFault CRunJournalWriter::Start() {
    RemoveLeftovers(m_strPath);
    m_journal.runId = NewRunId();
    DWORD dwError = ERROR_SUCCESS;
    m_file = CreateNewFile(m_strTempPath, m_strPath, dwError);
    std::vector<BYTE> start = StartBytes(m_journal.runId);
    if (m_file && (dwError = WriteAll(m_file.Get(), start)) == ERROR_SUCCESS && !FlushFileBuffers(m_file.Get()))
        dwError = GetLastError();
    if (dwError == ERROR_SUCCESS) {
        m_nGood = start.size();
        return {};
    }
    m_file.Close();
    if (!m_strTempPath.empty()) DeleteFileW(m_strTempPath.c_str());
    m_strTempPath.clear();
    m_fault = JournalFault{dwError, m_strPath};
    return m_fault;
}

void CRunJournalWriter::BeginFolder(const std::wstring& shownDirectory, const std::wstring& directory,
                                    const CaseChange& change, const VolumeKeeps& keeps) {
    JournalFolder folder;
    folder.shownDirectory = shownDirectory.empty() ? directory : shownDirectory;
    folder.directory = directory;
    folder.direction = change.direction;
    folder.part = change.part;
    folder.survivingParts = keeps.parts;
    folder.timeTicks = keeps.timeTicks;
    m_journal.folders.push_back(std::move(folder));
    m_written.push_back(0);
    m_bFolderPending = true;
}

bool CRunJournalWriter::WriteBatch(const std::vector<JournalEntry>& batch) {
    if (Failed() || !m_file || m_journal.folders.empty()) return false;
    std::vector<BYTE> bytes;
    if (m_bFolderPending) {
        AddFolderRecord(bytes, m_journal.folders.back());
        // What the volume keeps at all, until the first rename there tells more.
        AddPartsRecord(bytes, m_journal.folders.back().survivingParts);
    }
    AddBatchRecord(bytes, batch);
    if (!Append(bytes, true) || (!m_bPlaced && !Place())) return false;
    m_bFolderPending = false;
    m_written.back() += batch.size();
    return true;
}

void CRunJournalWriter::WriteSurvivingParts(uint32_t parts) {
    if (m_journal.folders.empty()) return;
    JournalFolder& folder = m_journal.folders.back();
    folder.survivingParts &= parts;
    std::vector<BYTE> bytes;
    AddPartsRecord(bytes, folder.survivingParts);
    // Lost with the system, it leaves every part compared: a file is rather left as it is.
    if (!Failed() && m_bPlaced && !m_bFolderPending) Append(bytes, false);
}

// The new file takes the last journal's place: from here on, the last journal is no longer offered.
bool CRunJournalWriter::Place() {
    if (MoveFileExW(m_strTempPath.c_str(), m_strPath.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        m_bPlaced = true;
        return true;
    }
    Fail(GetLastError());
    return false;
}

// A record is written whole or not at all: one that did not fit is cut off again, so that the
// journal ends at the last whole record.
bool CRunJournalWriter::Append(const std::vector<BYTE>& bytes, bool bFlush) {
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(m_nGood);
    DWORD dwError = SetFilePointerEx(m_file.Get(), end, nullptr, FILE_BEGIN) ? WriteAll(m_file.Get(), bytes)
                                                                             : GetLastError();
    if (dwError == ERROR_SUCCESS && bFlush && !FlushFileBuffers(m_file.Get())) dwError = GetLastError();
    if (dwError == ERROR_SUCCESS) {
        m_nGood += bytes.size();
        return true;
    }
    if (SetFilePointerEx(m_file.Get(), end, nullptr, FILE_BEGIN)) SetEndOfFile(m_file.Get());
    Fail(dwError);
    return false;
}

void CRunJournalWriter::Fail(DWORD dwError) {
    if (!m_fault) m_fault = JournalFault{dwError == ERROR_SUCCESS ? ERROR_WRITE_FAULT : dwError, m_strPath};
}

void CRunJournalWriter::EndFolder(std::vector<JournalEntry> stillRenamed, size_t nWritten) {
    if (m_journal.folders.empty()) return;
    m_journal.folders.back().entries = std::move(stillRenamed);
    m_written.back() = nWritten;
}

void CRunJournalWriter::Finish() {
    if (!m_bPlaced || Failed()) return;
    bool bAsWritten = true;
    for (size_t i = 0; i < m_journal.folders.size(); ++i)
        bAsWritten = bAsWritten && m_journal.folders[i].entries.size() == m_written[i];
    // Every file the batches named was renamed: the journal already says exactly that. Lost
    // with the system, the end mark leaves the disk to be counted: no flush needed.
    std::vector<BYTE> end;
    AddEndRecord(end);
    if (bAsWritten && Append(end, false)) {
        m_file.Close();
        return;
    }
    m_file.Close();
    m_journal.bEnded = true;
    if (JournalOfRun(m_strPath, m_journal.runId)) ReplaceRunJournal(m_strPath, m_journal);
}
