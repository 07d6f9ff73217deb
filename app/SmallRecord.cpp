#include "app/SmallRecord.h"

#include <cstring>

namespace {

// Paths reach 32,767 characters; no record of ours holds more than a few of them.
const DWORD kLargestRecord = 1 << 20;
const size_t kTagSize = 8;

// FNV-1a: enough to tell a torn or mixed record from a whole one; nothing here is secret.
uint32_t Checksum(const BYTE* pBytes, size_t nBytes) {
    uint32_t nHash = 2166136261u;
    for (size_t i = 0; i < nBytes; ++i) nHash = (nHash ^ pBytes[i]) * 16777619u;
    return nHash;
}

}  // namespace

CRecordWriter::CRecordWriter(const char (&tag)[9]) : m_bytes(tag, tag + kTagSize) {}

void CRecordWriter::Number(uint64_t nValue) {
    for (int i = 0; i < 8; ++i) m_bytes.push_back(static_cast<BYTE>(nValue >> (8 * i)));
}

void CRecordWriter::Text(const std::wstring& text) {
    Number(text.size());
    for (wchar_t ch : text) {
        m_bytes.push_back(static_cast<BYTE>(ch & 0xFF));
        m_bytes.push_back(static_cast<BYTE>(ch >> 8));
    }
}

std::vector<BYTE> CRecordWriter::Sealed() const {
    std::vector<BYTE> sealed = m_bytes;
    uint32_t nSum = Checksum(m_bytes.data(), m_bytes.size());
    for (int i = 0; i < 4; ++i) sealed.push_back(static_cast<BYTE>(nSum >> (8 * i)));
    return sealed;
}

CRecordReader::CRecordReader(const std::vector<BYTE>& bytes, const char (&tag)[9], size_t nStart) {
    if (bytes.size() < nStart + kTagSize + 4) return;
    std::vector<BYTE> record(bytes.begin() + static_cast<ptrdiff_t>(nStart), bytes.end() - 4);
    uint32_t nSum = 0;
    for (int i = 0; i < 4; ++i) nSum |= static_cast<uint32_t>(bytes[bytes.size() - 4 + i]) << (8 * i);
    if (std::memcmp(record.data(), tag, kTagSize) != 0 || Checksum(record.data(), record.size()) != nSum) return;
    m_bytes = std::move(record);
    m_nAt = kTagSize;
    m_bWhole = true;
}

bool CRecordReader::Take(void* pTarget, size_t nBytes) {
    if (!m_bWhole || m_bytes.size() - m_nAt < nBytes) return m_bWhole = false;
    std::memcpy(pTarget, m_bytes.data() + m_nAt, nBytes);
    m_nAt += nBytes;
    return true;
}

bool CRecordReader::Number(uint64_t& nValue) {
    BYTE raw[8];
    if (!Take(raw, sizeof(raw))) return false;
    nValue = 0;
    for (int i = 0; i < 8; ++i) nValue |= static_cast<uint64_t>(raw[i]) << (8 * i);
    return true;
}

bool CRecordReader::Text(std::wstring& text) {
    uint64_t nLength = 0;
    if (!Number(nLength) || nLength > (m_bytes.size() - m_nAt) / 2) return m_bWhole = false;
    text.assign(static_cast<size_t>(nLength), L'\0');
    for (wchar_t& ch : text) {
        BYTE pair[2];
        Take(pair, 2);
        ch = static_cast<wchar_t>(pair[0] | (pair[1] << 8));
    }
    return true;
}

bool ReadSmallFile(HANDLE hFile, std::vector<BYTE>& bytes) {
    LARGE_INTEGER size{}, zero{};
    if (!GetFileSizeEx(hFile, &size) || size.QuadPart > kLargestRecord) return false;
    if (!SetFilePointerEx(hFile, zero, nullptr, FILE_BEGIN)) return false;
    bytes.assign(static_cast<size_t>(size.QuadPart), 0);
    DWORD dwRead = 0;
    if (bytes.empty()) return true;
    return ReadFile(hFile, bytes.data(), static_cast<DWORD>(bytes.size()), &dwRead, nullptr) && dwRead == bytes.size();
}

bool WriteSmallFile(HANDLE hFile, const std::vector<BYTE>& bytes) {
    LARGE_INTEGER zero{};
    DWORD dwWritten = 0;
    if (!SetFilePointerEx(hFile, zero, nullptr, FILE_BEGIN)) return false;
    if (!bytes.empty() && (!WriteFile(hFile, bytes.data(), static_cast<DWORD>(bytes.size()), &dwWritten, nullptr) ||
                           dwWritten != bytes.size()))
        return false;
    return SetEndOfFile(hFile) != FALSE;
}
