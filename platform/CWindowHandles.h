#pragma once
// The window system's kinds of handle that the program owns, for the same owner as the
// kernel's (filesystem/CUniqueHandle.h).
#include "filesystem/CUniqueHandle.h"

namespace afx_handle {

struct WindowsHook {
    using Handle = HHOOK;
    static Handle None() { return nullptr; }
    static bool Close(Handle handle) { return UnhookWindowsHookEx(handle) != FALSE; }
};

// A cursor the program made itself (CopyIcon, CreateCursor); shared system cursors are never
// owned.
struct Cursor {
    using Handle = HCURSOR;
    static Handle None() { return nullptr; }
    static bool Close(Handle handle) { return DestroyCursor(handle) != FALSE; }
};

// An icon the program loaded for itself at a size of its choosing (LoadImage without
// LR_SHARED, CopyIcon); shared icons from LoadIcon are never owned.
struct Icon {
    using Handle = HICON;
    static Handle None() { return nullptr; }
    static bool Close(Handle handle) { return DestroyIcon(handle) != FALSE; }
};

}  // namespace afx_handle

using CHookHandle = CUniqueHandle<afx_handle::WindowsHook>;
using CCursorHandle = CUniqueHandle<afx_handle::Cursor>;
using CIconHandle = CUniqueHandle<afx_handle::Icon>;
