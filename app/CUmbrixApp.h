#pragma once
// The application object: its start-up hook is the whole run of the program.
#include "platform/AfxWin.h"

class CUmbrixApp : public CWinApp {
public:
    // Every box of the program is captioned with its name, as its main window is (the file's name,
    // "umbrix", would be the framework's default).
    CUmbrixApp() : CWinApp("Umbrix") {}

    // A run the command line asks for (its end is the exit code), or else the splash decided
    // and the main dialog run modally; then the program ends: no message loop of its own follows.
    BOOL InitInstance() override;
};
