#pragma once
// The drive list of the directory selection dialog: one entry per logical drive, "X: " and
// the volume label, with the drive of the current directory selected.
#include "platform/AfxWin.h"

class CDriveCombo : public CComboBox {
public:
    // Fills the empty list once. False after an error box (no drive mask, no current
    // directory). Leaves the process error mode at SEM_FAILCRITICALERRORS for good, so that
    // later searches on drives without media fail quietly instead of prompting.
    BOOL FillDrives();
    // True when the root of the entry's drive yields an entry; otherwise shows the
    // "not ready" box and returns false.
    BOOL IsDriveReady(int nIndex);
    // Selects the entry of the drive (any case); leaves the selection alone when there is none.
    void SelectDrive(char chDrive);

private:
    void AddDrive(char chDrive);
};
