#pragma once
// A rename run as the user starts it from the main dialog: the chosen directory is entered,
// the renaming engine changes the case of every file directly in it, and a message box tells
// how it ended. Sub-directories are neither renamed nor entered.
#include "renaming/CaseDirection.h"

#include <string>

// chosenPath: the exact path the directory dialog hands over: "X:" (the drive's root), "X:\"
// or "X:\dir\...", at any depth. Leaves the program's current directory at the chosen
// directory (see AfxSetCurrentDirectory).
void RenameFilesToCase(CaseDirection direction, const std::wstring& chosenPath);
