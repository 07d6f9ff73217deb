#include "tests/support/NetworkShare.h"

#include "tests/support/UnixShell.h"

#include <windows.h>

NetworkShare::NetworkShare(const std::wstring& folder) {
    std::string name = "umbrix" + std::to_string(GetCurrentProcessId());
    // The drive's link lives in dosdevices, beside the folder of network paths.
    m_server = "$(dirname " + ShellQuote(UnixPath(L"C:\\")) + ")/unc/" + name;
    RunUnixShell("mkdir -p " + m_server + " && ln -sfn " + ShellQuote(UnixPath(folder)) + " " + m_server + "/share");
    m_path = L"\\\\" + std::wstring(name.begin(), name.end()) + L"\\share";
}

NetworkShare::~NetworkShare() {
    try {
        RunUnixShell("rm -r " + m_server);
    } catch (...) {
        // Left behind in the test prefix; it names nothing a later test uses.
    }
}
