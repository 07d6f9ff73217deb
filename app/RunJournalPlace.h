#pragma once
// Where the journal of the last run lives: one per Windows user, in the local application-data
// folder (%LOCALAPPDATA%\Umbrix\), which is the user's own and stays on this machine.
#include <string>

// The journal's path, its folder made where missing; empty when the folder cannot be had.
std::wstring RunJournalPath();
