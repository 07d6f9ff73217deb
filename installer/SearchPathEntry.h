#pragma once
// The machine's search path (PATH) as the installer changes it: the installation folder added
// as one entry at its end, and taken away again by the uninstaller, with every other entry, the
// separators around them and the value's type (REG_EXPAND_SZ keeps its %SystemRoot%) exactly
// as they were. No length limit: a PATH of thousands of characters is common.
#include <windows.h>

#include <optional>
#include <string>

// The text with folder added as the last entry, after a ';' of its own (also where the text
// ends with one, so that taking it away gives that text back); none when an entry already
// names the folder (in any case, with or without a final backslash).
std::optional<std::wstring> WithSearchPathEntry(const std::wstring& path, const std::wstring& folder);
// The text without the last entry that is folder (in any case), and the ';' before it, or after
// it when it is the first; none when no entry is.
std::optional<std::wstring> WithoutSearchPathEntry(const std::wstring& path, const std::wstring& folder);

enum class SearchPathChange { Changed, NothingToDo, Failed };

// The key that holds the machine's PATH.
inline constexpr wchar_t kMachineEnvironmentKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";

// The value "Path" of the key (under hRoot, 64-bit view) read, changed as above and written
// back with its own name and type; a missing value is made as REG_EXPAND_SZ.
SearchPathChange AddSearchPathEntry(HKEY hRoot, const wchar_t* pszKey, const std::wstring& folder);
SearchPathChange RemoveSearchPathEntry(HKEY hRoot, const wchar_t* pszKey, const std::wstring& folder);
