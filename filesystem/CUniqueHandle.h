#pragma once
// One owner for every kind of handle that is given back with one call: the last owner closes
// it, on every way out, exactly once. A kind is a small traits type naming the handle type,
// the value that means "none" and the call that gives it back; the owners the program uses
// are named below (CFindHandle, CFileHandle, ...).
#include <windows.h>

#include <utility>

template <class Traits>
class CUniqueHandle {
public:
    using Handle = typename Traits::Handle;

    CUniqueHandle() = default;
    // Takes what the opening call returned, its "none" value included.
    explicit CUniqueHandle(Handle handle) : m_handle(handle) {}
    ~CUniqueHandle() { Close(); }
    CUniqueHandle(CUniqueHandle&& other) noexcept : m_handle(other.Release()) {}
    CUniqueHandle& operator=(CUniqueHandle&& other) noexcept {
        if (this != &other) {
            Close();
            m_handle = other.Release();
        }
        return *this;
    }
    CUniqueHandle(const CUniqueHandle&) = delete;
    CUniqueHandle& operator=(const CUniqueHandle&) = delete;

    // False when the opening call failed (its error is in GetLastError).
    explicit operator bool() const { return m_handle != Traits::None(); }
    // For the calls that use the handle; it stays ours.
    Handle Get() const { return m_handle; }
    // For an opening call that reports its handle through a pointer (RegOpenKeyEx...); what
    // was held before is closed first.
    Handle* Receive() {
        Close();
        return &m_handle;
    }
    // Hands the handle over to the caller, who then gives it back; the owner is empty.
    Handle Release() { return std::exchange(m_handle, Traits::None()); }
    // Gives it back now; false when that failed (for a written file: the data may not be on
    // the disk). An empty owner closes nothing and answers true.
    bool Close() { return !*this || Traits::Close(Release()); }

private:
    Handle m_handle = Traits::None();
};

// The kernel's kinds of handle that the program owns; the window system's are in
// platform/CWindowHandles.h.
namespace afx_handle {

// A search from FindFirstFile..., given back with FindClose.
struct Search {
    using Handle = HANDLE;
    static Handle None() { return INVALID_HANDLE_VALUE; }
    static bool Close(Handle handle) { return FindClose(handle) != FALSE; }
};

// A file or device from CreateFile..., which reports failure as INVALID_HANDLE_VALUE.
struct File {
    using Handle = HANDLE;
    static Handle None() { return INVALID_HANDLE_VALUE; }
    static bool Close(Handle handle) { return CloseHandle(handle) != FALSE; }
};

// A kernel object whose opening call reports failure as NULL: processes, threads, events.
struct KernelObject {
    using Handle = HANDLE;
    static Handle None() { return nullptr; }
    static bool Close(Handle handle) { return CloseHandle(handle) != FALSE; }
};

struct RegistryKey {
    using Handle = HKEY;
    static Handle None() { return nullptr; }
    static bool Close(Handle handle) { return RegCloseKey(handle) == ERROR_SUCCESS; }
};

// A module from LoadLibrary...
struct Library {
    using Handle = HMODULE;
    static Handle None() { return nullptr; }
    static bool Close(Handle handle) { return FreeLibrary(handle) != FALSE; }
};

}  // namespace afx_handle

using CFindHandle = CUniqueHandle<afx_handle::Search>;
using CFileHandle = CUniqueHandle<afx_handle::File>;
using CKernelHandle = CUniqueHandle<afx_handle::KernelObject>;
using CRegistryKey = CUniqueHandle<afx_handle::RegistryKey>;
using CLibraryHandle = CUniqueHandle<afx_handle::Library>;
