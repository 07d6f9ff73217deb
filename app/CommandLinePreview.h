#pragma once
// The dry run of the command line ("umbrix.exe /vorschau /klein DIR"): renames nothing, writes
// no journal and shows no window. On standard output, one line per file the run would rename,
// "ALTER NAME -> neuer name", then one per file that would keep its name although it lacks the
// case asked for, "ALTER NAME: behält seinen Namen (<why>)", then the counts as the directory
// dialog's status line gives them. Planned by the run's own rules (PlanRun), so its lines are
// what the run then does.
#include "renaming/CaseChange.h"

#include <string>

// directory: absolute, as a run from the command line gets it ("X:\..." or "\\server\...").
// Returns the exit code a run would end with: 0 when every file would have the case asked for,
// 1 when some would keep their names, 2 when the directory cannot be read.
int PreviewFromCommandLine(const CaseChange& change, const std::wstring& directory);
