#include "platform/SystemError.h"

#include "platform/AfxMessageBox.h"
#include "platform/AfxModuleState.h"

int AfxShowSystemError(HWND hOwner, const char* pszCall, DWORD dwError) {
    std::wstring text = AfxFormatSystemMessage(dwError) + L"\n\n(" + AfxToWide(pszCall) + L")";
    return AfxShowMessageBox(hOwner, text, AfxToWide(AfxGetAppName()), MB_OK | MB_ICONHAND);
}

int AfxShowLastError(HWND hOwner, const char* pszCall) { return AfxShowSystemError(hOwner, pszCall, GetLastError()); }
