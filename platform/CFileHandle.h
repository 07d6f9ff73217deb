#pragma once
// Owns a handle from CreateFile and closes it when it goes, on every way out.
#include <windows.h>

#include <utility>

class CFileHandle {
public:
    // Takes what CreateFile returned, INVALID_HANDLE_VALUE included.
    explicit CFileHandle(HANDLE hFile) : m_hFile(hFile) {}
    ~CFileHandle() { Close(); }
    CFileHandle(const CFileHandle&) = delete;
    CFileHandle& operator=(const CFileHandle&) = delete;

    explicit operator bool() const { return m_hFile != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_hFile; }
    // Closes now; false when closing failed, so what was written may not be on the disk.
    bool Close() {
        if (m_hFile == INVALID_HANDLE_VALUE) return true;
        return CloseHandle(std::exchange(m_hFile, INVALID_HANDLE_VALUE)) != FALSE;
    }

private:
    HANDLE m_hFile;
};
