#pragma once
// A rename run as the user starts it from the main dialog: the chosen directory is entered,
// the renaming engine (ChangeCaseOnDisk) changes the case of every file directly in it on a thread of its own
// (a long run shows a progress window with Abbrechen), and a message box tells how it ended.
// Sub-directories are neither renamed nor entered.
#include "renaming/CaseDirection.h"

#include <string>

class CWnd;

// chosenPath: the exact path the directory dialog hands over: "X:" (the drive's root), "X:\"
// or "X:\dir\...", at any depth. Leaves the program's current directory at the chosen
// directory (see AfxSetCurrentDirectory). pOwner: the window that takes no input while the run
// lasts and over which a long run shows its progress window; none given, the application's main
// window.
void RenameFilesToCase(CaseDirection direction, const std::wstring& chosenPath, CWnd* pOwner = nullptr);
