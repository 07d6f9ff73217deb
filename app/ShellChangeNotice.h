#pragma once
// Tells the shell that a run or an undo changed names in a directory, so that an open Explorer
// window shows the new names at once instead of after F5.
#include <string>

// directory: as the user chose it (a drive's root, a network path, any depth). One notice for
// the directory, whatever the number of files: the shell reads it again as a whole. Nothing is
// said when nothing was renamed, and a path the shell cannot name is passed over in silence:
// the notice only spares the user a refresh.
void TellShellNamesChanged(const std::wstring& directory, size_t nRenamed);
