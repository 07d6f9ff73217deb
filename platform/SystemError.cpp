#include "platform/SystemError.h"

#include "platform/AfxMessageBox.h"

std::wstring AfxFormatSystemMessage(DWORD dwError) {
    wchar_t* buffer = nullptr;
    DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, dwError,
                                  MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPWSTR>(&buffer), 0,
                                  nullptr);
    std::wstring text(buffer ? buffer : L"", buffer ? length : 0);
    if (buffer) LocalFree(buffer);
    return text;
}

int AfxShowSystemError(HWND hOwner, const char* pszCaption, DWORD dwError) {
    return AfxShowMessageBox(hOwner, AfxFormatSystemMessage(dwError), AfxToWide(pszCaption), MB_OK | MB_ICONHAND);
}

int AfxShowLastError(HWND hOwner, const char* pszCaption) {
    return AfxShowSystemError(hOwner, pszCaption, GetLastError());
}
