#pragma once
// A rename run as the user starts it from the main dialog or the command line: the directory is entered,
// the renaming engine (ChangeCaseOnDisk) changes the case of every file directly in it on a thread of its own
// (a long run shows a progress window with Abbrechen), and a message box tells how it ended.
// Sub-directories are neither renamed nor entered.
#include "app/RunWatch.h"
#include "renaming/CaseChange.h"

#include <string>

class CWnd;

// How a run ended, numbered as the exit codes of a run started from the command line.
enum class RunEnd {
    AllInCase = 0,    // every file has the case asked for (none at all included)
    SomeKept = 1,     // some files kept their names
    NothingDone = 2,  // the directory could not be entered or read
    Stopped = 3,      // stopped by the user, or by the program's end
};

// change: the case, and the part of each name (a direction alone: whole names).
// chosenPath: the exact path the directory dialog hands over: "X:" (the drive's root), "X:\"
// or "X:\dir\...", at any depth; from the command line also "\\server\share\...". Leaves the
// program's current directory at the chosen directory (see AfxSetCurrentDirectory). pOwner:
// the window that takes no input while the run lasts and over which a long run shows its
// progress window; none given, the application's main window; none at all, the progress
// window stands alone, in the middle of the screen.
RunEnd RenameFilesToCase(const CaseChange& change, const std::wstring& chosenPath, CWnd* pOwner = nullptr,
                         RunDisplay display = RunDisplay::Windows);
