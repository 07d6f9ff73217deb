#pragma once
// Owns the search handle of a directory listing (FindFirstFile..., FindFirstFileEx...) and
// closes it with FindClose when it goes, on every way out of the listing loop.
#include <windows.h>

class CFindHandle {
public:
    CFindHandle() = default;
    // Takes what FindFirstFile... returned, INVALID_HANDLE_VALUE included.
    explicit CFindHandle(HANDLE hSearch) : m_hSearch(hSearch) {}
    ~CFindHandle();
    CFindHandle(CFindHandle&& other) noexcept;
    CFindHandle& operator=(CFindHandle&& other) noexcept;
    CFindHandle(const CFindHandle&) = delete;
    CFindHandle& operator=(const CFindHandle&) = delete;

    // False when the search did not start (nothing to list, or an error in GetLastError).
    explicit operator bool() const { return m_hSearch != INVALID_HANDLE_VALUE; }
    // For FindNextFile...; stays ours.
    HANDLE Get() const { return m_hSearch; }
    // Ends the search early; the owner is then empty.
    void Close();

private:
    HANDLE m_hSearch = INVALID_HANDLE_VALUE;
};
