#pragma once
// The small files through which copies of the program speak to each other (the notice of the
// copy whose turn it is, a folder handed over): a tag, fields, then a checksum of all before
// it. A record read while it is being written, cut short or left by another version is never
// taken for a whole one.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class CRecordWriter {
public:
    explicit CRecordWriter(const char (&tag)[9]);
    void Number(uint64_t nValue);
    void Text(const std::wstring& text);
    // The record with its checksum.
    std::vector<BYTE> Sealed() const;

private:
    std::vector<BYTE> m_bytes;
};

class CRecordReader {
public:
    // bytes[nStart...]: a record of the tag, whole and checked; otherwise every read fails.
    CRecordReader(const std::vector<BYTE>& bytes, const char (&tag)[9], size_t nStart = 0);
    bool Number(uint64_t& nValue);
    bool Text(std::wstring& text);
    bool Whole() const { return m_bWhole; }

private:
    bool Take(void* pTarget, size_t nBytes);

    std::vector<BYTE> m_bytes;
    size_t m_nAt = 0;
    bool m_bWhole = false;
};

// The whole of a small file of ours, read from its start through the handle; false when it
// cannot be read or is larger than any record of ours.
bool ReadSmallFile(HANDLE hFile, std::vector<BYTE>& bytes);
// The file holds these bytes and nothing after them.
bool WriteSmallFile(HANDLE hFile, const std::vector<BYTE>& bytes);
