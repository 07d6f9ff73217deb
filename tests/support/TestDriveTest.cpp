// A test drive that cannot be made as asked must stop the test, not hand it a drive that only
// looks right.
#include "tests/support/TestDrive.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>

TEST(TestDrive, ALabelThatCannotBeWrittenRefusesTheDriveAndLeavesNoLetterBehind) {
    // A drive that is not ready has no root to hold the file its label is read from.
    DWORD before = GetLogicalDrives();
    EXPECT_THROW(TestDrive(L"Nirgends", TestDrive::State::NotReady), std::runtime_error);
    EXPECT_EQ(GetLogicalDrives(), before);
}
