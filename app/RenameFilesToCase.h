#pragma once
// A rename run as the user starts it from the main dialog or the command line: the directory is entered,
// the renaming engine (ChangeCaseOnDisk) changes the case of every file directly in it on a thread of its own
// (a long run shows a progress window with Abbrechen), and a message box tells how it ended.
// Sub-directories are neither renamed nor entered. One run or undo at a time for each user
// (RunTurn): a run that another copy's run keeps waiting says so and waits for it.
#include "app/RunWatch.h"
#include "renaming/CaseChange.h"

#include <string>

class CWnd;
class CRunFolders;
class CRunTurn;
class CHandoverDesk;

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
// window stands alone, in the middle of the screen. Stopped as well when the user stops
// waiting for another copy's run.
RunEnd RenameFilesToCase(const CaseChange& change, const std::wstring& chosenPath, CWnd* pOwner = nullptr,
                         RunDisplay display = RunDisplay::Windows);

// One run over several folders, one after the other, in this copy's turn: one progress window
// ("Ordner 2 von 3"), one journal, one end box that says per folder ("Ordner N von M: <path>")
// what was done. The turn is let go once the files are done, before the box. pDesk: takes the
// folders other copies hand over while the run lasts. The end is the worst of the folders'.
RunEnd RenameFoldersToCase(const CaseChange& change, CRunFolders& folders, CRunTurn turn, CWnd* pOwner,
                           RunDisplay display, CHandoverDesk* pDesk = nullptr);
