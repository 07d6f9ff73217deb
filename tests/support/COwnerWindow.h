#pragma once
// A plain top-level window for a test's dialogs and boxes to belong to: whether it is disabled
// while they run, gets the activation back and is named as their owner.
#include "platform/AfxWin.h"

class COwnerWindow : public CWnd {
public:
    explicit COwnerWindow(RECT at = {0, 0, 200, 200}, DWORD dwVisible = WS_VISIBLE);
};
