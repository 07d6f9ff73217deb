#include "tests/support/COwnerWindow.h"

COwnerWindow::COwnerWindow(RECT at, DWORD dwVisible) {
    CreateEx(0, AfxRegisterWndClass(0), "owner", WS_OVERLAPPEDWINDOW | dwVisible, at.left, at.top, at.right - at.left,
             at.bottom - at.top, nullptr, nullptr);
}
