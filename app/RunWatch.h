#pragma once
// How the user watches a run on its worker thread: half a second in silence, then a progress
// window with Abbrechen over the window that started it; and the list of files named in the box
// at its end. A rename run and an undo are watched alike.
#include "platform/CString.h"

#include <string>
#include <vector>

class CCaseRun;
class CRunFolders;
class CWnd;

// Windows: the progress window of a long run and the end box. Quiet: no progress window; the
// boxes go wherever the program's message boxes go (CQuietReport sends them to the standard
// streams).
enum class RunDisplay { Windows, Quiet };

// pOwner: the window that takes no input while the run lasts and over which the progress
// window opens; none, and the progress window stands alone in the middle of the screen.
// pFolders: a run over several folders, which the window then names one by one.
void WatchRun(CCaseRun& run, const CString& action, const std::wstring& directory, CWnd* pOwner,
              RunDisplay display = RunDisplay::Windows, const CRunFolders* pFolders = nullptr);

// "Ordner 2 von 3: ", before a folder's path where a run has several.
std::wstring FolderHeading(size_t nFolder, size_t nFolders);

// The heading, then the names as the disk spells them, in any script, sorted: in a box at most
// 20 of them and how many more; for a quiet run, which a script reads, every one of them.
std::wstring KeptFilesList(std::vector<std::wstring> kept,
                           const char* pszHeading = "Diese Dateien behalten ihren Namen:",
                           RunDisplay display = RunDisplay::Windows);
