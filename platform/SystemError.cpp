#include "platform/SystemError.h"

#include "platform/AfxMessageBox.h"

int AfxShowSystemError(HWND hOwner, const char* pszCaption, DWORD dwError) {
    return AfxShowMessageBox(hOwner, AfxFormatSystemMessage(dwError), AfxToWide(pszCaption), MB_OK | MB_ICONHAND);
}

int AfxShowLastError(HWND hOwner, const char* pszCaption) {
    return AfxShowSystemError(hOwner, pszCaption, GetLastError());
}
