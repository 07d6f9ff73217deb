#pragma once
// "Rückgängig": the last run taken back from its journal, as a run like any other.
#include <cstddef>

class CWnd;

// How many files the last run renamed that have not been given back their names yet, as its
// journal tells (for a run that was ended: at most so many); 0 when there is none, or it is
// not to be trusted.
size_t FilesToGiveBack();

// Asks, then gives the files of the last run their earlier names back, as a run like any other
// (worker, progress window, "Abbrechen") with a box at its end. The journal then keeps what a
// stop left untried, and drops what was given back or never can be; a directory that cannot be
// reached keeps it whole. Nothing happens without a trusted journal.
void UndoLastRun(CWnd* pOwner = nullptr);
