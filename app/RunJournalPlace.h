#pragma once
// Where the journal of the last run lives: one per Windows user, in the local application-data
// folder (%LOCALAPPDATA%\Umbrix\), which is the user's own and stays on this machine.
#include <string>

// The journal's path, its folder made where missing (a folder that cannot be made shows when
// the journal is written); empty when the user's folder itself is not known.
std::wstring RunJournalPath();

// Tests put the journal in a folder of their own (an exact path; empty: the user's folder again).
void SetRunJournalFolder(std::wstring folder);
