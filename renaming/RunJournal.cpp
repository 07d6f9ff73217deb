#include "renaming/RunJournal.h"

#include "filesystem/DirectoryListing.h"
#include "renaming/CaseConversion.h"

#include <array>
#include <cstring>
#include <functional>
#include <unordered_set>
#include <utility>

namespace {

// "UMBRIXJN", then the version; a reader refuses a version it does not know.
const BYTE kMagic[8] = {'U', 'M', 'B', 'R', 'I', 'X', 'J', 'N'};
const uint32_t kVersion = 1;
// A journal of a million files stays far below this; anything longer is not ours.
const uint64_t kMaxJournalBytes = 1ull << 30;

enum RecordKind : uint32_t { kHeaderRecord = 1, kBatchRecord = 2, kPartsRecord = 3, kEndRecord = 4 };

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

// kind, length, payload, checksum of all three before it.
// A record is built in place, its room taken once (a batch can name most of a big directory);
// nSizeHint only sizes that room: the record states the size its payload came to.
std::vector<BYTE> Record(RecordKind kind, size_t nSizeHint, const std::function<void(CBytesOut&)>& writePayload) {
    const size_t kHead = 2 * sizeof(uint32_t);
    CBytesOut out;
    out.Reserve(kHead + nSizeHint + sizeof(uint32_t));
    out.U32(kind);
    out.U32(0);
    writePayload(out);
    auto nPayload = static_cast<uint32_t>(out.Bytes().size() - kHead);
    std::memcpy(out.Bytes().data() + sizeof(uint32_t), &nPayload, sizeof nPayload);
    out.U32(Crc32(out.Bytes().data(), out.Bytes().size()));
    return std::move(out.Bytes());
}

std::vector<BYTE> Record(RecordKind kind, const std::vector<BYTE>& payload) {
    return Record(kind, payload.size(), [&payload](CBytesOut& out) { out.Raw(payload.data(), payload.size()); });
}

std::vector<BYTE> HeaderBytes(const RunJournal& journal) {
    CBytesOut start;
    start.Raw(kMagic, sizeof kMagic);
    start.U32(kVersion);
    CBytesOut header;
    header.U32(journal.direction == CaseDirection::Lower ? 0 : 1);
    header.Text(journal.shownDirectory);
    header.Text(journal.directory);
    std::vector<BYTE> record = Record(kHeaderRecord, header.Bytes());
    start.Raw(record.data(), record.size());
    return std::move(start.Bytes());
}

std::vector<BYTE> BatchRecord(const std::vector<JournalEntry>& batch) {
    const size_t kFixed = 2 * sizeof(uint32_t) + sizeof(uint64_t) + sizeof(uint32_t) + 2 * sizeof(uint64_t);
    size_t nPayload = sizeof(uint32_t);
    for (const JournalEntry& entry : batch)
        nPayload += kFixed + (entry.earlierName.size() + entry.newName.size()) * sizeof(wchar_t);
    return Record(kBatchRecord, nPayload, [&batch](CBytesOut& out) {
        out.U32(static_cast<uint32_t>(batch.size()));
        for (const JournalEntry& entry : batch) {
            out.Text(entry.earlierName);
            out.Text(entry.newName);
            out.U64(entry.identity.fileId);
            out.U32(entry.identity.volumeSerial);
            out.U64(entry.identity.size);
            out.U64(entry.identity.lastWrite);
        }
    });
}

std::vector<BYTE> EndRecord() { return Record(kEndRecord, {}); }

std::vector<BYTE> PartsRecord(uint32_t parts) {
    CBytesOut out;
    out.U32(parts);
    return Record(kPartsRecord, out.Bytes());
}

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

bool ReadHeader(CBytesIn& in, RunJournal& journal) {
    uint32_t direction = 0;
    if (!in.U32(direction) || direction > 1 || !in.Text(journal.shownDirectory) || !in.Text(journal.directory))
        return false;
    journal.direction = direction == 0 ? CaseDirection::Lower : CaseDirection::Upper;
    return in.AtEnd() && !journal.directory.empty();
}

bool ReadBatch(CBytesIn& in, RunJournal& journal) {
    uint32_t count = 0;
    if (!in.U32(count)) return false;
    for (uint32_t i = 0; i < count; ++i) {
        JournalEntry entry;
        FileIdentity& id = entry.identity;
        if (!in.Text(entry.earlierName) || !in.Text(entry.newName) || !in.U64(id.fileId) || !in.U32(id.volumeSerial) ||
            !in.U64(id.size) || !in.U64(id.lastWrite) || !ValidEntry(entry))
            return false;
        journal.entries.push_back(std::move(entry));
    }
    return in.AtEnd();
}

bool ReadParts(CBytesIn& in, RunJournal& journal) {
    uint32_t parts = 0;
    if (!in.U32(parts) || (parts & ~static_cast<uint32_t>(kIdentityAll))) return false;
    journal.survivingParts = parts;
    return in.AtEnd();
}

// One record's payload, by its kind; the header comes first and once.
bool ReadPayload(uint32_t kind, CBytesIn& in, RunJournal& journal, bool bFirst) {
    if (bFirst != (kind == kHeaderRecord)) return false;
    switch (kind) {
    case kHeaderRecord:
        return ReadHeader(in, journal);
    case kBatchRecord:
        return ReadBatch(in, journal);
    case kPartsRecord:
        return ReadParts(in, journal);
    case kEndRecord:
        journal.bEnded = true;
        return in.AtEnd();
    default:
        return false;
    }
}

JournalState ReadJournalBytes(const std::vector<BYTE>& bytes, RunJournal& journal) {
    const size_t kStart = sizeof kMagic + sizeof(uint32_t);
    uint32_t version = 0;
    if (bytes.size() < kStart || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) return JournalState::Untrusted;
    std::memcpy(&version, bytes.data() + sizeof kMagic, sizeof version);
    if (version != kVersion) return JournalState::Untrusted;
    size_t at = kStart;
    bool bFirst = true;
    const size_t kFrame = 3 * sizeof(uint32_t);
    while (at < bytes.size()) {
        uint32_t kind = 0, length = 0, crc = 0;
        // Cut short: the program was ended while writing this, its last record.
        if (bytes.size() - at < kFrame) break;
        std::memcpy(&kind, &bytes[at], 4);
        std::memcpy(&length, &bytes[at + 4], 4);
        if (length > bytes.size() - at - kFrame) break;
        std::memcpy(&crc, &bytes[at + 8 + length], 4);
        if (Crc32(&bytes[at], 8 + length) != crc) return JournalState::Untrusted;
        CBytesIn in(&bytes[at + 8], length);
        if (!ReadPayload(kind, in, journal, bFirst)) return JournalState::Untrusted;
        bFirst = false;
        at += kFrame + length;
    }
    return bFirst ? JournalState::Untrusted : JournalState::Trusted;
}

bool ReadWholeFile(const std::wstring& path, std::vector<BYTE>& bytes, bool& bMissing) {
    CFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        DWORD dwError = GetLastError();
        bMissing = dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_PATH_NOT_FOUND;
        return false;
    }
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size) || static_cast<uint64_t>(size.QuadPart) > kMaxJournalBytes) return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD dwRead = 0;
        DWORD dwWant = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24));
        if (!ReadFile(file.Get(), bytes.data() + done, dwWant, &dwRead, nullptr) || dwRead == 0) return false;
        done += dwRead;
    }
    return true;
}

bool WriteAll(HANDLE hFile, const std::vector<BYTE>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD dwWritten = 0;
        DWORD dwWant = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24));
        if (!WriteFile(hFile, bytes.data() + done, dwWant, &dwWritten, nullptr) || dwWritten == 0) return false;
        done += dwWritten;
    }
    return true;
}

// A new file beside the journal, unique to this program and moment.
std::wstring TempPathBeside(const std::wstring& path) {
    static LONG s_nCount = 0;
    return path + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(InterlockedIncrement(&s_nCount)) + L".new";
}

// The new file, written and on the disk; it shares deletion so that it can take the journal's
// place while held.
CFileHandle WriteNewFile(const std::wstring& path, const std::vector<BYTE>& bytes) {
    CFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE | GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                 nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return file;
    if (!WriteAll(file.Get(), bytes) || !FlushFileBuffers(file.Get())) {
        file.Close();
        DeleteFileW(path.c_str());
    }
    return file;
}

bool TakeJournalsPlace(const std::wstring& tempPath, const std::wstring& path) {
    if (MoveFileExW(tempPath.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    DeleteFileW(tempPath.c_str());
    return false;
}

std::vector<BYTE> WholeJournal(const RunJournal& journal) {
    std::vector<BYTE> bytes = HeaderBytes(journal);
    std::vector<BYTE> parts = PartsRecord(journal.survivingParts);
    std::vector<BYTE> batch = BatchRecord(journal.entries);
    std::vector<BYTE> end = EndRecord();
    bytes.insert(bytes.end(), parts.begin(), parts.end());
    bytes.insert(bytes.end(), batch.begin(), batch.end());
    bytes.insert(bytes.end(), end.begin(), end.end());
    return bytes;
}

}  // namespace

JournalReading ReadRunJournal(const std::wstring& path) {
    JournalReading reading;
    std::vector<BYTE> bytes;
    bool bMissing = false;
    if (!ReadWholeFile(path, bytes, bMissing)) {
        reading.state = bMissing ? JournalState::Missing : JournalState::Untrusted;
        return reading;
    }
    reading.state = ReadJournalBytes(bytes, reading.journal);
    if (reading.state != JournalState::Trusted) reading.journal = RunJournal();
    return reading;
}

size_t FilesStillRenamed(const RunJournal& journal) {
    if (journal.bEnded) return journal.entries.size();
    DirectoryListing listing = ReadDirectoryListing(journal.directory, ListingDetail::Names);
    if (!listing.started) return journal.entries.size();
    std::unordered_set<std::wstring> names;
    for (const ListingEntry& entry : listing.entries) names.insert(entry.name);
    size_t count = 0;
    for (const JournalEntry& entry : journal.entries) count += names.count(entry.newName);
    return count;
}

bool ReplaceRunJournal(const std::wstring& path, const RunJournal& journal) {
    if (journal.entries.empty()) return RemoveRunJournal(path);
    std::wstring tempPath = TempPathBeside(path);
    CFileHandle file = WriteNewFile(tempPath, WholeJournal(journal));
    if (!file) return false;
    file.Close();
    return TakeJournalsPlace(tempPath, path);
}

bool RemoveRunJournal(const std::wstring& path) {
    return DeleteFileW(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
}

CRunJournalWriter::CRunJournalWriter(std::wstring path, std::wstring shownDirectory)
    : m_strPath(std::move(path)) {
    m_journal.shownDirectory = std::move(shownDirectory);
}

CRunJournalWriter::~CRunJournalWriter() {
    if (m_file || m_strTempPath.empty()) return;
    DeleteFileW(m_strTempPath.c_str());
}

void CRunJournalWriter::Begin(const std::wstring& directory, CaseDirection direction) {
    m_journal.directory = directory;
    m_journal.direction = direction;
}

bool CRunJournalWriter::WriteBatch(const std::vector<JournalEntry>& batch) {
    if (m_bFailed) return false;
    std::vector<BYTE> record = BatchRecord(batch);
    if (m_file) return Append(record, Flush::Yes);
    std::vector<BYTE> first = HeaderBytes(m_journal);
    first.insert(first.end(), record.begin(), record.end());
    return Place(first);
}

bool CRunJournalWriter::WriteSurvivingParts(uint32_t parts) {
    m_journal.survivingParts = parts;
    if (m_bFailed || !m_file) return false;
    // Lost with the system, it leaves every part compared: a file is rather left as it is.
    return Append(PartsRecord(parts), Flush::No);
}

bool CRunJournalWriter::Place(const std::vector<BYTE>& first) {
    m_strTempPath = TempPathBeside(m_strPath);
    m_file = WriteNewFile(m_strTempPath, first);
    if (m_file && TakeJournalsPlace(m_strTempPath, m_strPath)) return true;
    // The journal there stays: another copy of the program may be writing it right now (the
    // platform refuses to replace a file held open), and what it names is checked file by file.
    m_file.Close();
    m_bFailed = true;
    return false;
}

bool CRunJournalWriter::Append(const std::vector<BYTE>& record, Flush flush) {
    LARGE_INTEGER zero{};
    if (SetFilePointerEx(m_file.Get(), zero, nullptr, FILE_END) && WriteAll(m_file.Get(), record) &&
        (flush == Flush::No || FlushFileBuffers(m_file.Get())))
        return true;
    m_bFailed = true;
    return false;
}

// Whether the journal's path still names the file this run wrote. Both lie in one folder, so
// the file ID alone tells (Wine gives no volume serial for a handle opened to write).
bool CRunJournalWriter::StillOurs() const {
    BY_HANDLE_FILE_INFORMATION info;
    std::optional<FileIdentity> atPath = IdentityOf(m_strPath);
    if (!atPath || !GetFileInformationByHandle(m_file.Get(), &info)) return false;
    return atPath->fileId == ((static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow);
}

void CRunJournalWriter::Finish(std::vector<JournalEntry> renamed, size_t nWritten) {
    if (!m_file) return;
    bool bOurs = StillOurs();
    // Every file the batches named was renamed: the journal already says exactly that.
    // Lost with the system, the end mark leaves the disk to be counted: no flush needed.
    if (bOurs && renamed.size() == nWritten && !m_bFailed && Append(EndRecord(), Flush::No)) {
        m_file.Close();
        return;
    }
    m_file.Close();
    if (!bOurs) return;
    m_journal.entries = std::move(renamed);
    ReplaceRunJournal(m_strPath, m_journal);
}
