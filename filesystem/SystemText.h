#pragma once
// Texts that Win32 hands out through a caller's buffer (the current directory, the Windows and
// temporary folders): as long as they are, never cut to a fixed size.
#include <windows.h>

#include <string>

// read(buffer, size) follows those functions' rule: the length written when the text fits in
// size characters with its terminator, the size needed (terminator included) when it does not,
// 0 on failure. Empty on failure; a text that grows between two calls is read again.
template <class Read>
std::wstring AfxReadSystemText(Read read) {
    for (DWORD size = MAX_PATH;;) {
        std::wstring text(size, L'\0');
        DWORD length = read(text.data(), size);
        if (length == 0) return std::wstring();
        if (length < size) {
            text.resize(length);
            return text;
        }
        size = length;
    }
}
