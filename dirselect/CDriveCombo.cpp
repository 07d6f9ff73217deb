#include "dirselect/CDriveCombo.h"

#include "filesystem/CurrentDirectory.h"

#include <string>

BOOL CDriveCombo::FillDrives() {
    DWORD dwDrives = GetLogicalDrives();
    if (dwDrives == 0) {
        AfxShowLastError(m_hWnd, "GetLastError - GetLogicalDrives failed");
        return FALSE;
    }
    for (int nBit = 0; nBit < 26 && (dwDrives >> nBit) != 0; ++nBit)
        if (dwDrives & (1u << nBit)) AddDrive(static_cast<char>('A' + nBit));

    std::wstring current = AfxGetCurrentDirectory();
    if (current.empty()) {
        AfxShowLastError(m_hWnd, "GetLastError - GetCurrentDirectory failed");
        return FALSE;
    }
    SetCurSel(FindString(-1, current.substr(0, 1)));  // no match clears the selection
    return TRUE;
}

void CDriveCombo::AddDrive(char chDrive) {
    const wchar_t letter[] = {static_cast<wchar_t>(chDrive), L'\0'};
    std::wstring text = letter + std::wstring(L": ");
    // Set again before every drive: a drive without media then fails quietly, not with a prompt.
    SetErrorMode(SEM_FAILCRITICALERRORS);
    std::wstring root = letter + std::wstring(L":\\");
    // The label as the volume spells it, in any script; the platform's longest is 32 characters.
    wchar_t label[MAX_PATH + 1] = {};
    if (GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0)) text += label;
    AddString(text);
}

BOOL CDriveCombo::IsDriveReady(int nIndex) {
    CString text;
    GetLBText(nIndex, text);
    CString letter = text.Left(1);
    // One entry in the root is enough; the search ends at once.
    WIN32_FIND_DATAA data;
    if (CFindHandle(FindFirstFileA(letter + ":\\*.*", &data))) return TRUE;
    CString message;
    message.Format("Drive %s: is not ready.", static_cast<const char*>(letter));
    MessageBoxA(message, nullptr, MB_ICONEXCLAMATION);  // captioned with the program's name
    return FALSE;
}

void CDriveCombo::SelectDrive(char chDrive) {
    CString prefix;
    prefix.Format("%c:", chDrive);
    int nIndex = FindString(-1, prefix);
    if (nIndex != CB_ERR) SetCurSel(nIndex);
}
