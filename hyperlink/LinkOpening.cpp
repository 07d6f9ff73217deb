#include "hyperlink/LinkOpening.h"

#include "filesystem/CUniqueHandle.h"
#include "platform/AfxMessageBox.h"
#include "platform/CString.h"

#include <shellapi.h>

#include <mbstring.h>
#include <cstring>

namespace {

constexpr int kValueBufferSize = MAX_PATH;                // one default value with its zero
constexpr int kCommandBufferSize = 2 * kValueBufferSize;  // room for 519 characters
const char kOpenCommandKey[] = "\\shell\\open\\command";

// A file type name read from the registry (at most kValueBufferSize characters, see
// ReadDefaultValue) always leaves room for the open-command suffix.
static_assert(kValueBufferSize + (sizeof kOpenCommandKey - 1) < kCommandBufferSize);

// Ends the registered command just before its argument marker: the quoted one if there is
// one, else a bare %1; a command without a marker stays whole.
void CutAtArgumentMarker(char* pszCommand) {
    auto* pszQuoted = _mbsstr(reinterpret_cast<unsigned char*>(pszCommand),
                              reinterpret_cast<const unsigned char*>("\"%1\""));
    char* pszMarker = pszQuoted ? reinterpret_cast<char*>(pszQuoted) : strstr(pszCommand, "%1");
    if (pszMarker) *pszMarker = '\0';
}

// Reads the command registered for opening ".htm" files into szCommand; false when either
// registry read fails.
bool ReadHtmOpenCommand(char (&szCommand)[kCommandBufferSize]) {
    if (ReadDefaultValue(HKEY_CLASSES_ROOT, ".htm", szCommand) != ERROR_SUCCESS) return false;
    lstrcatA(szCommand, kOpenCommandKey);
    return ReadDefaultValue(HKEY_CLASSES_ROOT, szCommand, szCommand) == ERROR_SUCCESS;
}

// Web and mail addresses only: a file path or another scheme could start any program.
bool IsOpenableAddress(const char* pszAddress) {
    for (const char* pszScheme : {"http:", "https:", "mailto:"})
        if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, pszAddress, lstrlenA(pszScheme), pszScheme, -1) ==
            CSTR_EQUAL)
            return true;
    return false;
}

// Whether the address stays one argument between double quotes: no quote of its own, no
// control character, and no backslash at the end, which would escape the closing quote.
bool CanBeQuoted(const char* pszAddress) {
    int nLength = lstrlenA(pszAddress);
    for (int i = 0; i < nLength; ++i)
        if (pszAddress[i] == '"' || static_cast<unsigned char>(pszAddress[i]) < 0x20) return false;
    return nLength == 0 || pszAddress[nLength - 1] != '\\';
}

// An unquoted program path with a blank in it ("C:\Program Files\b.exe -url") would start
// "C:\Program.exe" where one exists: the path up to its ".exe" is put in quotes. Returns false
// when the result would not fit the buffer.
bool QuoteProgramPath(char (&szCommand)[kCommandBufferSize]) {
    if (szCommand[0] == '"') return true;
    char szLower[kCommandBufferSize];
    lstrcpyA(szLower, szCommand);
    CharLowerA(szLower);
    for (char* pszExe = strstr(szLower, ".exe"); pszExe; pszExe = strstr(pszExe + 1, ".exe")) {
        size_t nEnd = static_cast<size_t>(pszExe - szLower) + 4;
        if (szCommand[nEnd] != '\0' && szCommand[nEnd] != ' ') continue;
        if (!memchr(szCommand, ' ', nEnd)) return true;
        if (strlen(szCommand) + 2 >= kCommandBufferSize) return false;
        memmove(szCommand + nEnd + 2, szCommand + nEnd, strlen(szCommand + nEnd) + 1);
        memmove(szCommand + 1, szCommand, nEnd);
        szCommand[0] = '"';
        szCommand[nEnd + 1] = '"';
        return true;
    }
    return true;
}

// Starts the registered command with the address in quotes; returns WinExec's result, or
// nShellResult when there is no usable command, the address cannot be quoted, or the command
// line would not fit the buffer.
int StartRegisteredCommand(const char* pszAddress, int nShowCmd, int nShellResult) {
    char szCommand[kCommandBufferSize] = {};
    if (!CanBeQuoted(pszAddress) || !ReadHtmOpenCommand(szCommand)) return nShellResult;
    CutAtArgumentMarker(szCommand);
    if (!QuoteProgramPath(szCommand)) return nShellResult;
    int nLength = lstrlenA(szCommand) + 3 + lstrlenA(pszAddress);
    if (nLength >= kCommandBufferSize) return nShellResult;
    lstrcatA(szCommand, " \"");
    lstrcatA(szCommand, pszAddress);
    lstrcatA(szCommand, "\"");
    return static_cast<int>(WinExec(szCommand, static_cast<UINT>(nShowCmd)));
}

struct OpenErrorText {
    int nCode;
    const char* pszText;
};

const OpenErrorText s_openErrorTexts[] = {
    {0, "The operating system is out\nof memory or resources."},
    {ERROR_FILE_NOT_FOUND, "The specified file was not found."},
    {ERROR_PATH_NOT_FOUND, "The specified path was not found."},
    {SE_ERR_ACCESSDENIED, "The operating system denied\naccess to the specified file."},
    {SE_ERR_OOM, "There was not enough memory to complete the operation."},
    {ERROR_BAD_FORMAT, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
    {SE_ERR_SHARE, "A sharing violation occurred. "},
    {SE_ERR_ASSOCINCOMPLETE, "The filename association is\nincomplete or invalid."},
    {SE_ERR_DDETIMEOUT, "The DDE transaction could not\nbe completed because the request timed out."},
    {SE_ERR_DDEFAIL, "The DDE transaction failed."},
    {SE_ERR_DDEBUSY,
     "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed."},
    {SE_ERR_NOASSOC, "There is no application associated\nwith the given filename extension."},
    {SE_ERR_DLLNOTFOUND, "The specified dynamic-link library was not found."},
};

CString OpenErrorDescription(int nError) {
    for (const OpenErrorText& entry : s_openErrorTexts)
        if (entry.nCode == nError) return entry.pszText;
    CString strText;
    strText.Format("Unknown Error (%d) occurred.", nError);
    return strText;
}

}  // namespace

int OpenLink(const char* pszAddress, int nShowCmd) {
    if (!IsOpenableAddress(pszAddress)) return SE_ERR_ACCESSDENIED;
    auto hResult = ShellExecuteA(nullptr, "open", pszAddress, nullptr, nullptr, nShowCmd);
    int nResult = static_cast<int>(reinterpret_cast<INT_PTR>(hResult));
    if (static_cast<UINT>(nResult) > 32) return nResult;
    return StartRegisteredCommand(pszAddress, nShowCmd, nResult);
}

LONG ReadDefaultValue(HKEY hKeyRoot, const char* pszSubKey, char* pszDest) {
    CRegistryKey key;
    LONG lResult = RegOpenKeyExA(hKeyRoot, pszSubKey, 0, KEY_QUERY_VALUE, key.Receive());
    if (lResult != ERROR_SUCCESS) return lResult;
    // One byte more than the size passed in, so a value stored without its zero still ends.
    char szValue[kValueBufferSize + 1] = {};
    LONG cbValue = kValueBufferSize;
    lResult = RegQueryValueA(key.Get(), nullptr, szValue, &cbValue);
    if (lResult != ERROR_SUCCESS) return lResult;
    lstrcpyA(pszDest, szValue);
    return ERROR_SUCCESS;
}

void ShowOpenError(int nError) {
    CString strMessage = "Unable to open hyperlink:\n\n";
    strMessage += OpenErrorDescription(nError);
    AfxMessageBox(strMessage, MB_OK | MB_ICONEXCLAMATION, 0);
}
