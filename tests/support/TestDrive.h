#pragma once
// A drive letter of the Wine prefix that exists only for one test, made through Wine's mount
// manager, so that the drive list, volume labels and readiness checks all see it. Its root is
// a fresh directory on the Linux disk; a drive that is not ready points at a missing one.
#include <string>

class TestDrive {
public:
    enum class State { Ready, NotReady };

    // label: written where Wine reads a directory drive's volume label; empty for none. A drive
    // that is not ready has nowhere to keep one. Throws when the drive cannot be made as asked.
    explicit TestDrive(const std::wstring& label = std::wstring(), State state = State::Ready);
    ~TestDrive();
    TestDrive(const TestDrive&) = delete;
    TestDrive& operator=(const TestDrive&) = delete;

    char Letter() const { return m_letter; }  // upper case
    std::wstring Root() const;                // L"X:\\"
    std::string AnsiRoot() const;             // "X:\\"

private:
    char m_letter = 0;
    std::wstring m_backing;  // Windows path of the directory behind the drive
};
