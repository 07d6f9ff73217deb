#pragma once
// The name a file gets in the requested case, and the key under which the platform compares
// names ignoring case.
#include "renaming/CaseDirection.h"

#include <optional>
#include <string>

// Letters of the ANSI code page follow its case pairs (so "ß" and "µ" stay as they are), any
// other letter the platform's Unicode case mapping of that one character. Nothing when the
// result would be more than a change of case of the same name.
std::optional<std::wstring> ConvertedName(CaseDirection direction, const std::wstring& name);

std::wstring CaseFoldKey(const std::wstring& name);
