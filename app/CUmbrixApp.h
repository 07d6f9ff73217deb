#pragma once
// The application object: its start-up hook is the whole run of the program.
#include "platform/AfxWin.h"

class CUmbrixApp : public CWinApp {
public:
    CUmbrixApp() = default;  // no name of its own: message boxes use the framework's default

    // Decides on the splash, runs the main dialog modally and ends the program: no message
    // loop of the application's own follows.
    BOOL InitInstance() override;
};
