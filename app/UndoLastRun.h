#pragma once
// "Rückgängig": the last run taken back from its journal, as a run like any other.
#include <cstddef>

class CWnd;

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
// journal renames nothing and says so.
void UndoLastRun(CWnd* pOwner = nullptr);
