// A DLL that the DLL-search tests plant beside a program under a system DLL's name: whenever a
// process loads it, it leaves the file "<its own path>.loaded" beside itself.
#include <windows.h>

#include <string>

extern "C" BOOL WINAPI DllMain(HINSTANCE hModule, DWORD nReason, LPVOID) {
    if (nReason != DLL_PROCESS_ATTACH) return TRUE;
    std::wstring path(32768, L'\0');
    DWORD nLength = GetModuleFileNameW(hModule, path.data(), static_cast<DWORD>(path.size()));
    if (nLength == 0 || nLength >= path.size()) return FALSE;
    path.resize(nLength);
    HANDLE hMarker = CreateFileW((path + L".loaded").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (hMarker != INVALID_HANDLE_VALUE) CloseHandle(hMarker);
    return TRUE;
}
