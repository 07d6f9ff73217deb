#pragma once
// The name a file gets in the requested case, and the key under which the platform compares
// names ignoring case.
#include "renaming/CaseChange.h"

#include <optional>
#include <string>

// The name with the part asked for in the requested case and the rest as it is. Letters of the
// ANSI code page follow its case pairs (so "ß" and "µ" stay as they are), any other letter the
// platform's Unicode case mapping of that one character. Nothing when the result would be more
// than a change of case of the same name.
std::optional<std::wstring> ConvertedName(const CaseChange& change, const std::wstring& name);

// Whether the name already has the requested case in the part asked for.
bool HasRequestedCase(const CaseChange& change, const std::wstring& name);

// Where a name's extension begins: its last dot, when at least one character stands before it
// and one after it ("IMG_1234.JPG" -> 8, "Archiv.TAR.GZ" -> 10). A name without one (".Profil",
// "LIESMICH", "NAME.") gives std::wstring::npos.
size_t ExtensionStart(const std::wstring& name);

std::wstring CaseFoldKey(const std::wstring& name);
