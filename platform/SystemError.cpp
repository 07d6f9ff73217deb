#include "platform/SystemError.h"

#include "platform/AfxMessageBox.h"

#include <memory>

namespace {

// FormatMessage's own buffer, given back with LocalFree.
struct LocalFreeDeleter {
    void operator()(char* buffer) const { LocalFree(buffer); }
};

}  // namespace

CString AfxFormatSystemMessage(DWORD dwError) {
    char* buffer = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, dwError,
                                  MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&buffer), 0,
                                  nullptr);
    std::unique_ptr<char, LocalFreeDeleter> owned(buffer);
    return CString(buffer, static_cast<int>(length));
}

int AfxShowSystemError(HWND hOwner, const char* pszCaption, DWORD dwError) {
    return AfxShowMessageBox(hOwner, AfxFormatSystemMessage(dwError), pszCaption, MB_OK | MB_ICONHAND);
}

int AfxShowLastError(HWND hOwner, const char* pszCaption) {
    return AfxShowSystemError(hOwner, pszCaption, GetLastError());
}
