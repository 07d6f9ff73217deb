#include "dirselect/CDriveCombo.h"

BOOL CDriveCombo::FillDrives() {
    DWORD dwDrives = GetLogicalDrives();
    if (dwDrives == 0) {
        AfxShowLastError(m_hWnd, "GetLastError - GetLogicalDrives failed");
        return FALSE;
    }
    for (int nBit = 0; nBit < 26 && (dwDrives >> nBit) != 0; ++nBit)
        if (dwDrives & (1u << nBit)) AddDrive(static_cast<char>('A' + nBit));

    char buffer[1024] = {};
    if (GetCurrentDirectoryA(sizeof buffer, buffer) == 0) {
        AfxShowLastError(m_hWnd, "GetLastError - GetCurrentDirectory failed");
        return FALSE;
    }
    CString prefix;
    prefix.Format("%c", buffer[0]);
    SetCurSel(FindString(-1, prefix));  // no match clears the selection
    return TRUE;
}

void CDriveCombo::AddDrive(char chDrive) {
    CString text;
    text.Format("%c: ", chDrive);
    // Set again before every drive: a drive without media then fails quietly, not with a prompt.
    SetErrorMode(SEM_FAILCRITICALERRORS);
    CString root;
    root.Format("%c:\\", chDrive);
    char label[1024];
    if (GetVolumeInformationA(root, label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0)) text += label;
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
    MessageBoxA(message, "Error", MB_ICONEXCLAMATION);
    return FALSE;
}

void CDriveCombo::SelectDrive(char chDrive) {
    CString prefix;
    prefix.Format("%c:", chDrive);
    int nIndex = FindString(-1, prefix);
    if (nIndex != CB_ERR) SetCurSel(nIndex);
}
