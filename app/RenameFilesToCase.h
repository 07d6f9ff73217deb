#pragma once
// A rename run as the user starts it from the main dialog or the command line: the directory is entered,
// the renaming engine (ChangeCaseOnDisk) changes the case of every file directly in it on a thread of its own
// (a long run shows a progress window with Abbrechen), and a message box tells how it ended.
// Sub-directories are neither renamed nor entered.
#include "renaming/CaseDirection.h"

#include <cstddef>
#include <string>

class CWnd;

// How a run ended, numbered as the exit codes of a run started from the command line.
enum class RunEnd {
    AllInCase = 0,    // every file has the case asked for (none at all included)
    SomeKept = 1,     // some files kept their names
    NothingDone = 2,  // the directory could not be entered or read
    Stopped = 3,      // stopped by the user, or by the program's end
};

// Windows: the progress window of a long run and the end box. Quiet: no progress window; the
// boxes go wherever the program's message boxes go (CQuietReport sends them to the standard
// streams).
enum class RunDisplay { Windows, Quiet };

// chosenPath: the exact path the directory dialog hands over: "X:" (the drive's root), "X:\"
// or "X:\dir\...", at any depth; from the command line also "\\server\share\...". Leaves the
// program's current directory at the chosen directory (see AfxSetCurrentDirectory). pOwner:
// the window that takes no input while the run lasts and over which a long run shows its
// progress window; none given, the application's main window; none at all, the progress
// window stands alone, in the middle of the screen.
RunEnd RenameFilesToCase(CaseDirection direction, const std::wstring& chosenPath, CWnd* pOwner = nullptr,
                         RunDisplay display = RunDisplay::Windows);

// How many files the last run renamed that have not been given back their names yet, as its
// journal tells (for a run that was ended: at most so many); 0 when there is none, or it is
// not to be trusted.
size_t FilesToGiveBack();

// Asks, then gives the files of the last run their earlier names back, as a run like any other
// (worker, progress window, "Abbrechen") with a box at its end. The journal then keeps what a
// stop left untried, and drops what was given back or never can be; a directory that cannot be
// reached keeps it whole. Nothing happens without a trusted journal.
void UndoLastRun(CWnd* pOwner = nullptr);
