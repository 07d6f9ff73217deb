#pragma once
// Tells the shell what a run or an undo changed in a directory, so that an open Explorer window
// shows the new names at once instead of after F5.
#include "renaming/ChangeCaseOnDisk.h"

#include <string>

// directory: as the user chose it (a drive's root, a network path, any depth). Each rename is
// told as the rename of that item where the run named its renames and the shell can name every
// path; otherwise one notice for the directory, which the shell then reads again as a whole.
// Nothing is said when nothing changed: the notice only spares the user a refresh.
void TellShellNamesChanged(const std::wstring& directory, const CaseRunOutcome& outcome);
