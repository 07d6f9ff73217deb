#include "filesystem/SystemErrorText.h"

#include <cwctype>
#include <memory>

namespace {

// FormatMessage's own buffer, given back with LocalFree.
struct LocalFreeDeleter {
    void operator()(wchar_t* buffer) const { LocalFree(buffer); }
};

}  // namespace

std::wstring AfxFormatSystemMessage(DWORD dwError) {
    wchar_t* buffer = nullptr;
    DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, dwError,
                                  MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPWSTR>(&buffer), 0,
                                  nullptr);
    std::unique_ptr<wchar_t, LocalFreeDeleter> owned(buffer);
    return std::wstring(buffer ? buffer : L"", buffer ? length : 0);
}

std::wstring AfxSystemReason(DWORD dwError) {
    std::wstring reason = AfxFormatSystemMessage(dwError);
    while (!reason.empty() && (std::iswspace(reason.back()) || reason.back() == L'.')) reason.pop_back();
    return reason.empty() ? L"Fehler " + std::to_wstring(dwError) : reason;
}
