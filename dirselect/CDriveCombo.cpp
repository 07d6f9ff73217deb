#include "dirselect/CDriveCombo.h"

BEGIN_MESSAGE_MAP(CDriveCombo, CComboBox)
END_MESSAGE_MAP()

BOOL CDriveCombo::FillDrives() {
    DWORD dwDrives = GetLogicalDrives();
    if (dwDrives == 0) {
        ReportLastError("GetLastError - GetLogicalDrives failed");
        return FALSE;
    }
    for (int nBit = 0; nBit < 26 && (dwDrives >> nBit) != 0; ++nBit)
        if (dwDrives & (1u << nBit)) AddDrive(static_cast<char>('A' + nBit));

    char buffer[1024] = {};
    if (GetCurrentDirectoryA(sizeof buffer, buffer) == 0) {
        ReportLastError("GetLastError - GetCurrentDirectory failed");
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
    WIN32_FIND_DATAA data;
    HANDLE hSearch = FindFirstFileA(letter + ":\\*.*", &data);
    if (hSearch != INVALID_HANDLE_VALUE) {
        FindClose(hSearch);
        return TRUE;
    }
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

void CDriveCombo::ReportLastError(const char* pszCaption) {
    MessageBoxA(AfxFormatSystemMessage(GetLastError()), pszCaption, MB_ICONHAND);
}
