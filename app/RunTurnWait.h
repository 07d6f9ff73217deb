#pragma once
// Waiting for the turn (RunTurn) before a run or an undo: at once when no other copy has it;
// otherwise the wait is shown in the run's progress window with "Abbrechen" (CTurnWaitDlg), or,
// for a quiet run, made without a window. The windows of this copy go on answering meanwhile.
#include "app/RunTurn.h"
#include "app/RunWatch.h"

#include <optional>

class CWnd;

// Handles the thread's messages for that long; false when the program was told to end (the
// quit is posted again, for the loop outside).
bool PumpMessagesFor(DWORD dwMilliseconds);

// None when the user stopped waiting, or the program was told to end meanwhile.
std::optional<CRunTurn> WaitForRunTurn(CWnd* pOwner, RunDisplay display,
                                       const std::wstring& folder = CRunTurn::DefaultFolder());

// A run from the command line with windows, whose folder may be handed over: the wait ends
// also (without the turn, and bHandOver set) when the run that has the turn takes folders of
// that kind.
struct TurnOrHandover {
    std::optional<CRunTurn> turn;
    bool bHandOver = false;
};
TurnOrHandover WaitForTurnOrHandover(const std::wstring& folder, const std::wstring& kind);
