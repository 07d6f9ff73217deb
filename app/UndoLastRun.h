#pragma once
// "Rückgängig": the last run taken back from its journal, as a run like any other.
#include "app/RenameFilesToCase.h"
#include "app/RunWatch.h"

#include <cstddef>

class CWnd;

// Who asks for the undo: the main dialog's button (it asks first, with windows), or the command
// line's /rückgängig (asks unless quiet, and says so when there is nothing to take back, where
// the button would have been grey).
struct UndoRequest {
    bool bAsk = true;
    RunDisplay display = RunDisplay::Windows;
    bool bSayWhenNothing = false;
};

// How many files the last run renamed that have not been given back their names yet, as its
// journal tells (for a run that was ended: at most so many); 0 when there is none, or it is
// not to be trusted. Reads the whole journal.
size_t FilesToGiveBack();

// Whether "Rückgängig" has something to do, from the start of the journal alone: a journal of
// ours that names files, or one that cannot be trusted (the undo then says so).
bool UndoOffered();

// Asks, then gives the files of the last run their earlier names back, as a run like any other
// (worker, progress window, "Abbrechen") with a box at its end. The journal then keeps what a
// stop left untried and the files that could not be renamed yet (in use), and drops what was
// given back or never can be; a directory that cannot be read keeps its part whole. A damaged
// journal renames nothing and says so. Returns how it ended, as a run does: NothingDone also
// when there was nothing to take back or the journal cannot be trusted, Stopped when the user
// said no.
RunEnd UndoLastRun(CWnd* pOwner = nullptr, const UndoRequest& request = {});
