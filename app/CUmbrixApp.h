#pragma once
// The application object: its start-up hook is the whole run of the program.
#include "platform/AfxWin.h"

class CUmbrixApp : public CWinApp {
public:
    CUmbrixApp() = default;  // no name of its own: message boxes use the framework's default

    // A run the command line asks for (its end is the exit code), or else the splash decided
    // and the main dialog run modally; then the program ends: no message loop of its own follows.
    BOOL InitInstance() override;
};
