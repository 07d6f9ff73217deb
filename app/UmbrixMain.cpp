// The program's entry and its one application object. Kept apart from the application class,
// so that tests can link the class without a second application object. Built twice: umbrix.exe
// for the window system, and umbrix.com for the console (UMBRIX_CONSOLE), the same program,
// which a command prompt, a batch file and PowerShell wait for and take the exit code of.
#include "app/CUmbrixApp.h"
#include "platform/DllSearch.h"

#include <cstdlib>

// The run-time library's own entry, which runs the static initialisation and then main or WinMain.
#ifdef UMBRIX_CONSOLE
extern "C" int mainCRTStartup();
#define UMBRIX_RUNTIME_STARTUP mainCRTStartup
#else
extern "C" int WinMainCRTStartup();
#define UMBRIX_RUNTIME_STARTUP WinMainCRTStartup
#endif

namespace {

int StartupShowCommand() {
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    GetStartupInfoA(&si);
    return (si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : SW_SHOWDEFAULT;
}

}  // namespace

// Built during static initialisation, after the code page is set (platform/AfxModuleState.cpp
// runs first by its init priority); destroyed through the run-time library's exit list.
CUmbrixApp theApp;

// The process's entry point (linked with -e): the DLL search is restricted before the run-time
// library starts, and so before anything loads a DLL by name. The imports that are not among
// Windows' known DLLs are delay-loaded, so they load only after this, from the system folder.
extern "C" int UmbrixStartup() {
    AfxRestrictDllSearch();
    return UMBRIX_RUNTIME_STARTUP();
}

// lpCmdLine is already the command line without the program's own name.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR lpCmdLine, int) {
    std::exit(AfxWinMain(GetModuleHandleA(nullptr), nullptr, lpCmdLine, StartupShowCommand()));
}

#ifdef UMBRIX_CONSOLE
// The console's entry goes the same way; the program reads its command line itself.
int main() {
    char empty[] = "";
    return WinMain(GetModuleHandleA(nullptr), nullptr, empty, SW_SHOWDEFAULT);
}
#endif
