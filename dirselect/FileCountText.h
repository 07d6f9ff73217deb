#pragma once
// The directory dialog's status line: what a run in one direction would do in the directory.
#include "platform/CString.h"
#include "renaming/CaseChange.h"
#include "renaming/RunPreview.h"

// "1.234 Dateien, davon 1.200 umzubenennen", "1 Datei, bereits in Kleinbuchstaben",
// "Keine Dateien", "12 Dateien, alle bereits in Großbuchstaben", with ", 2 davon behalten ihren
// Namen" where files lacking the case cannot take it; "Verzeichnis nicht lesbar", with the
// platform's reason where the listing failed. For a part, "alle Endungen bereits in ..." and
// "alle Namen ohne Endung bereits in ...".
CString FileCountText(const CaseChange& change, const RunPreview& preview);

// "Kleinbuchstaben" or "Großbuchstaben".
CString CaseLettersText(CaseDirection direction);

// Shown while the count is being made.
CString CountingText();
