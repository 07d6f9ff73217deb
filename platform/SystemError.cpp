#include "platform/SystemError.h"

#include "platform/AfxMessageBox.h"

CString AfxFormatSystemMessage(DWORD dwError) {
    char* buffer = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, dwError,
                                  MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&buffer), 0,
                                  nullptr);
    CString text(buffer, static_cast<int>(length));
    if (buffer) LocalFree(buffer);
    return text;
}

int AfxShowSystemError(HWND hOwner, const char* pszCaption, DWORD dwError) {
    return AfxShowMessageBox(hOwner, AfxFormatSystemMessage(dwError), pszCaption, MB_OK | MB_ICONHAND);
}

int AfxShowLastError(HWND hOwner, const char* pszCaption) {
    return AfxShowSystemError(hOwner, pszCaption, GetLastError());
}
