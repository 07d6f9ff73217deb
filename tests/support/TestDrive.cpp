#include "tests/support/TestDrive.h"

#include "tests/support/TempDirectory.h"
#include "tests/support/UnixShell.h"

#include "filesystem/CUniqueHandle.h"

#include <windows.h>
#include <winioctl.h>

#include <cstring>
#include <stdexcept>
#include <vector>

namespace {

// Wine's own mount manager extension (see Wine's ddk/mountmgr.h).
const DWORD kDefineUnixDrive = CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

struct UnixDriveRequest {
    ULONG size;
    ULONG type;
    ULONG fsType;
    DWORD serial;
    ULONGLONG unixDevice;
    WCHAR letter;
    USHORT mountPointOffset;
    USHORT deviceOffset;
    USHORT labelOffset;
};

bool DefineDrive(char letter, const std::string& unixPath, UINT type) {
    std::vector<char> buffer(sizeof(UnixDriveRequest));
    UnixDriveRequest request{};
    request.type = type;
    request.letter = static_cast<WCHAR>(letter);
    if (!unixPath.empty()) {
        request.mountPointOffset = static_cast<USHORT>(buffer.size());
        buffer.insert(buffer.end(), unixPath.c_str(), unixPath.c_str() + unixPath.size() + 1);
    }
    request.size = static_cast<ULONG>(buffer.size());
    std::memcpy(buffer.data(), &request, sizeof request);
    CFileHandle manager(CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!manager) return false;
    DWORD returned = 0;
    return DeviceIoControl(manager.Get(), kDefineUnixDrive, buffer.data(), static_cast<DWORD>(buffer.size()), nullptr,
                           0, &returned, nullptr) != FALSE;
}

char FreeLetter() {
    DWORD used = GetLogicalDrives();
    for (char letter = 'M'; letter <= 'Y'; ++letter)
        if (!(used & (1u << (letter - 'A')))) return letter;
    throw std::runtime_error("no free drive letter");
}

// The temporary folder, however long the platform says it is.
std::wstring TempFolder() {
    std::wstring base(GetTempPathW(0, nullptr), L'\0');
    base.resize(GetTempPathW(static_cast<DWORD>(base.size()), base.data()));
    if (base.empty()) throw std::runtime_error("no temporary folder");
    return base;
}

void WriteLabel(const std::wstring& root, const std::wstring& label) {
    std::wstring path = root + L"\\.windows-label";
    CFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file) throw std::runtime_error("cannot create the label file " + Utf8(path));
    std::string text = Utf8(label);
    DWORD written = 0;
    if (!WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written != text.size() || !file.Close())
        throw std::runtime_error("cannot write the label file " + Utf8(path));
}

}  // namespace

TestDrive::TestDrive(const std::wstring& label, State state) {
    std::wstring base = TempFolder();
    m_letter = FreeLetter();
    m_backing = base + L"umbrix-drive-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                static_cast<wchar_t>(m_letter);
    RemoveTree(m_backing);
    try {
        std::string target;
        if (state == State::Ready) {
            if (!CreateDirectoryW(m_backing.c_str(), nullptr))
                throw std::runtime_error("cannot create the drive's folder " + Utf8(m_backing));
            target = UnixPath(m_backing);
        } else {
            target = UnixPath(base) + "/umbrix-missing-drive-target";
        }
        // Wine reads the label from a file in the root: a drive that is not ready has none.
        if (!label.empty()) WriteLabel(m_backing, label);
        if (!DefineDrive(m_letter, target, DRIVE_FIXED)) throw std::runtime_error("cannot define a test drive");
    } catch (...) {
        RemoveTree(m_backing);
        throw;
    }
}

TestDrive::~TestDrive() {
    SetCurrentDirectoryW(L"C:\\");
    DefineDrive(m_letter, std::string(), DRIVE_NO_ROOT_DIR);
    RemoveTree(m_backing);
}

std::wstring TestDrive::Root() const { return std::wstring(1, static_cast<wchar_t>(m_letter)) + L":\\"; }

std::string TestDrive::AnsiRoot() const { return std::string(1, m_letter) + ":\\"; }
