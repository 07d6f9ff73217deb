// umbrix-path.exe add|remove FOLDER: the setup's and the uninstaller's change of the machine's
// search path (the components page's "Suchpfad", or /PATH), run by them elevated from their
// own temporary folder. The folder is the rest of the command line, quotes around it dropped,
// so that any folder arrives exactly. Exit code 0: changed, and every program is told
// (WM_SETTINGCHANGE); 1: nothing to do (the folder is on the path already, or not on it);
// 2: the path could not be read or written, or the command line is wrong. A program of the
// window system, with no window: no console flashes up during the installation.
#include "installer/SearchPathEntry.h"
#include "platform/DllSearch.h"

#include <string>

// The run-time library's own entry; it calls main.
extern "C" int WinMainCRTStartup();

namespace {

bool IsBlank(wchar_t ch) { return ch == L' ' || ch == L'\t'; }

// Past the blanks at pos, then past what follows up to the next blank outside quotes.
size_t SkipWord(const std::wstring& text, size_t pos) {
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    bool bQuoted = false;
    for (; pos < text.size(); ++pos) {
        if (text[pos] == L'"')
            bQuoted = !bQuoted;
        else if (!bQuoted && IsBlank(text[pos]))
            break;
    }
    return pos;
}

std::wstring Trimmed(std::wstring text) {
    while (!text.empty() && IsBlank(text.front())) text.erase(0, 1);
    while (!text.empty() && IsBlank(text.back())) text.pop_back();
    if (text.size() >= 2 && text.front() == L'"' && text.back() == L'"') text = text.substr(1, text.size() - 2);
    return text;
}

}  // namespace

// Linked with -e: the DLL search is restricted before anything else, as in the program.
extern "C" int UmbrixPathStartup() {
    AfxRestrictDllSearch();
    return WinMainCRTStartup();
}

int main() {
    std::wstring commandLine = GetCommandLineW();
    size_t verbStart = SkipWord(commandLine, 0);
    size_t verbEnd = SkipWord(commandLine, verbStart);
    std::wstring verb = Trimmed(commandLine.substr(verbStart, verbEnd - verbStart));
    std::wstring folder = Trimmed(commandLine.substr(verbEnd));
    if (folder.empty() || (verb != L"add" && verb != L"remove")) return 2;
    SearchPathChange change = verb == L"add"
                                  ? AddSearchPathEntry(HKEY_LOCAL_MACHINE, kMachineEnvironmentKey, folder)
                                  : RemoveSearchPathEntry(HKEY_LOCAL_MACHINE, kMachineEnvironmentKey, folder);
    if (change == SearchPathChange::Changed)
        SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"Environment"),
                            SMTO_ABORTIFHUNG, 5000, nullptr);
    return change == SearchPathChange::Changed ? 0 : change == SearchPathChange::NothingToDo ? 1 : 2;
}
