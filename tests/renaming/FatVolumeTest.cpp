// Runs on a real FAT32 volume (an image mounted through FUSE, with a drive letter of its own).
// Such a volume ignores case as every Windows volume does, and under Wine it refuses a change
// of case in one step: the renaming goes through its staging folder there. Every check looks
// at the disk from the Linux side.
#include "app/RenameFilesToCase.h"

#include "platform/ExtendedPath.h"
#include "renaming/RenameEntriesToCase.h"
#include "renaming/StagingFolder.h"
#include "tests/renaming/RunMessages.h"
#include "tests/support/FatDrive.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/UnixShell.h"
#include "wine/WineHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>
#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace {

using Names = std::vector<std::string>;
using Texts = std::vector<std::wstring>;

std::wstring WorkerPath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring result(path);
    return result.substr(0, result.find_last_of(L"\\/") + 1) + L"staged_rename_worker.exe";
}

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

std::string Lower(std::string name) {
    for (char& ch : name) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return name;
}

std::string Upper(std::string name) {
    for (char& ch : name) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return name;
}

// A waiting file's own name: without "~" and eight hex digits at its end.
std::string WithoutWaitingSuffix(const std::string& name) {
    static const std::regex suffix("~[0-9a-f]{8}$");
    return std::regex_replace(name, suffix, "");
}

Names Sorted(Names names) {
    std::sort(names.begin(), names.end());  // byte order, as `LC_ALL=C ls` lists
    return names;
}

Names Converted(const Names& names, std::string (*convert)(std::string)) {
    Names result;
    for (const std::string& name : names) result.push_back(convert(name));
    return Sorted(result);
}

class FatVolumeTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string why = FatDrive::Unavailable();
        if (!why.empty()) GTEST_SKIP() << "skipped: " << why;
        fat.emplace();
    }

    // Each file holds its own name. fusefat is slow to create files, so the names go in
    // batches that each finish well within the shell helper's wait.
    void AddFiles(const Names& names, const std::string& folder = ".") {
        for (size_t start = 0; start < names.size(); start += 40) {
            std::string script = "cd " + ShellQuote(folder) + " || exit 1\n";
            for (size_t i = start; i < names.size() && i < start + 40; ++i)
                script += "printf %s " + ShellQuote(names[i]) + " > " + ShellQuote(names[i]) + "\n";
            ASSERT_EQ(fat->OnLinux(script), "");
        }
    }

    void Run(CaseDirection direction, const std::string& path) { RenameFilesToCase(direction, Wide(path)); }

    // Starts a lower-case run over the folder of the volume in a process of its own and ends
    // that process once the disk shows this many names in lower case.
    void EndRunAfter(size_t nRenamed, const std::string& folder) {
        std::wstring command = L"\"" + WorkerPath() + L"\" \"" + fat->Root() + Wide(folder) + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(
            CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
        size_t renamed = 0;
        for (int tries = 0; renamed < nRenamed && tries < 2000; ++tries) {
            renamed = 0;
            for (const std::string& name : fat->Ls(folder)) renamed += name.rfind("file_", 0) == 0;
        }
        TerminateProcess(process.hProcess, 9);
        WaitForSingleObject(process.hProcess, 10000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        ASSERT_GE(renamed, nRenamed) << "the worker renamed too little";
    }

    std::string DriveOnly() const { return fat->AnsiRoot().substr(0, 2); }  // "X:", the root

    std::optional<FatDrive> fat;
    MessageBoxRecorder boxes;
};

}  // namespace

TEST_F(FatVolumeTest, VolumeIgnoresCaseAndRefusesAOneStepChangeOfCase) {
    AddFiles({"Readme.TXT"});
    std::wstring root = wine::ExactPath(fat->Root());
    // What the renaming has to work around: the volume finds the file itself under the new name.
    EXPECT_FALSE(MoveFileExW(AfxJoinPath(root, L"Readme.TXT").c_str(), AfxJoinPath(root, L"readme.txt").c_str(), 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    // Writing under another spelling of the name reaches the same file (fusefat ignores
    // O_TRUNC, so the old text's tail stays behind the new one).
    EXPECT_EQ(fat->OnLinux("printf other > README.txt; ls -A"), "Readme.TXT\n");
    EXPECT_EQ(fat->Cat("Readme.TXT").substr(0, 5), "other");
}

TEST_F(FatVolumeTest, LowerAndUpperCaseOverEveryKindOfName) {
    const std::string longName = "Long-" + std::string(246, 'N') + ".Txt";  // 255 characters
    const Names files{"Readme.TXT", "A.b.C", "NoExt", "X..Y", "My Photo 01.JpG", "DSC00001.JPG", ".Profile", longName};
    AddFiles(files);
    ASSERT_EQ(fat->OnLinux("mkdir Docs"), "");
    AddFiles({"Inner.TXT", "Sub Note.Doc"}, "Docs");
    ASSERT_EQ(fat->Ls(), Sorted({"Readme.TXT", "A.b.C", "NoExt", "X..Y", "My Photo 01.JpG", "DSC00001.JPG", ".Profile",
                                 longName, "Docs"}));
    DWORD attributes = GetFileAttributesW((fat->Root() + L".Profile").c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN) << "a dot file is hidden under Wine";

    Run(CaseDirection::Lower, DriveOnly());
    Names expected = Converted(files, Lower);
    expected.push_back("Docs");
    EXPECT_EQ(fat->Ls(), Sorted(expected));
    EXPECT_EQ(fat->Ls("Docs"), (Names{"Inner.TXT", "Sub Note.Doc"}));
    for (const std::string& name : files) EXPECT_EQ(fat->Cat(Lower(name)), name);
    EXPECT_EQ(fat->Cat("Docs/Inner.TXT"), "Inner.TXT");
    EXPECT_EQ(boxes.Texts(), (Texts{kLowerDone}));

    Run(CaseDirection::Upper, fat->AnsiRoot());
    expected = Converted(files, Upper);
    expected.push_back("Docs");
    EXPECT_EQ(fat->Ls(), Sorted(expected));
    EXPECT_EQ(fat->Ls("Docs"), (Names{"Inner.TXT", "Sub Note.Doc"}));
    for (const std::string& name : files) EXPECT_EQ(fat->Cat(Upper(name)), name);
    EXPECT_EQ(boxes.Texts(), (Texts{kLowerDone, kUpperDone}));
}

TEST_F(FatVolumeTest, FilesInASubDirectoryInBothDirections) {
    ASSERT_EQ(fat->OnLinux("mkdir -p DCIM/Camera/Inner"), "");
    AddFiles({"DSC00001.JPG", "DSC00002.JPG", "Clip 3.Mov"}, "DCIM/Camera");
    AddFiles({"Deep.TXT"}, "DCIM/Camera/Inner");
    std::string folder = DriveOnly() + "\\DCIM\\Camera";
    Run(CaseDirection::Lower, folder);
    EXPECT_EQ(fat->Ls("DCIM/Camera"), (Names{"Inner", "clip 3.mov", "dsc00001.jpg", "dsc00002.jpg"}));
    EXPECT_EQ(fat->Ls("DCIM/Camera/Inner"), (Names{"Deep.TXT"}));
    EXPECT_EQ(fat->Ls("DCIM"), (Names{"Camera"}));
    Run(CaseDirection::Upper, folder);
    EXPECT_EQ(fat->Ls("DCIM/Camera"), (Names{"CLIP 3.MOV", "DSC00001.JPG", "DSC00002.JPG", "Inner"}));
    EXPECT_EQ(fat->Cat("DCIM/Camera/CLIP 3.MOV"), "Clip 3.Mov");
    EXPECT_EQ(boxes.Texts(), (Texts{kLowerDone, kUpperDone}));
}

// The held file comes first in the listing, so the first rename of the run fails for another
// reason than the volume's refusal; the files after it must still be renamed.
TEST_F(FatVolumeTest, FileHeldOpenKeepsItsNameAndIsNamedTheOthersAreRenamed) {
    const Names files{"Held.TXT", "Second.TXT", "Third.Doc", "Fourth"};
    AddFiles(files);
    ASSERT_EQ(fat->OnLinux("ls -f | grep -v '^\\.'"), "Held.TXT\nSecond.TXT\nThird.Doc\nFourth\n")
        << "the volume lists in another order than the files were made";
    HANDLE held = CreateFileW((fat->Root() + L"Held.TXT").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Run(CaseDirection::Lower, DriveOnly());
    CloseHandle(held);
    EXPECT_EQ(fat->Ls(), (Names{"Held.TXT", "fourth", "second.txt", "third.doc"}));
    EXPECT_EQ(fat->Cat("Held.TXT"), "Held.TXT");
    EXPECT_EQ(fat->Cat("third.doc"), "Third.Doc");
    EXPECT_EQ(boxes.Texts(), (Texts{std::wstring(kNotAll) + L"\nHeld.TXT"}));
}

// A run ended as the task manager would end it: every file is still there exactly once, in
// the directory (maybe under a waiting name) or in the staging folder, and the next run brings
// them all to lower case.
TEST_F(FatVolumeTest, RunEndedMidwayLosesNoFileAndTheNextRunFinishesIt) {
    Names names;
    for (int i = 0; i < 200; ++i) names.push_back("File_" + std::to_string(1000 + i) + ".DAT");
    ASSERT_EQ(fat->OnLinux("mkdir Card"), "");
    AddFiles(names, "Card");
    EndRunAfter(20, "Card");

    std::map<std::string, Names> whereabouts;  // by lower-case name
    for (const std::string& name : fat->Ls("Card")) {
        if (name.rfind(".umbrix-staging", 0) == 0) {
            for (const std::string& waiting : fat->Ls("Card/" + name + "/files"))
                whereabouts[Lower(waiting)].push_back(name + "/files/" + waiting);
            continue;
        }
        whereabouts[Lower(WithoutWaitingSuffix(name))].push_back(name);
    }
    ASSERT_EQ(whereabouts.size(), names.size());
    for (const auto& [name, places] : whereabouts) {
        ASSERT_EQ(places.size(), 1u) << name;
        EXPECT_EQ(Lower(fat->Cat("Card/" + places.front())), name);
    }

    Run(CaseDirection::Lower, DriveOnly() + "\\Card");
    EXPECT_EQ(fat->Ls("Card"), Converted(names, Lower));
    for (const std::string& name : names) EXPECT_EQ(fat->Cat("Card/" + Lower(name)), name);
    EXPECT_EQ(boxes.Texts(), (Texts{kLowerDone}));
}

// Stopped from another thread while files go through the staging folder: the run ends
// after the file in hand, with every file once under its old or its new name, nothing under a
// waiting name and no staging folder, and counts that match the disk.
TEST_F(FatVolumeTest, StopRequestedMidRunLeavesNothingWaiting) {
    Names names;
    for (int i = 0; i < 200; ++i) names.push_back("File_" + std::to_string(1000 + i) + ".DAT");
    ASSERT_EQ(fat->OnLinux("mkdir Card"), "");
    AddFiles(names, "Card");
    CaseRunControl control;
    CaseRunOutcome outcome;
    std::thread run([&] {
        outcome = RenameEntriesToCase(CaseDirection::Lower, wine::ExactPath(fat->Root() + L"Card"), &control);
    });
    while (control.nDone < 20) Sleep(1);
    control.bStopRequested = true;
    run.join();

    Names after = fat->Ls("Card");
    size_t renamed = 0;
    for (const std::string& name : after) {
        EXPECT_EQ(name.find('~'), std::string::npos) << "left under a waiting name: " << name;
        EXPECT_NE(name.rfind(".umbrix-staging", 0), 0u) << "staging folder left: " << name;
        renamed += name.rfind("file_", 0) == 0;
    }
    ASSERT_EQ(after.size(), names.size());
    for (const std::string& name : names) {
        bool bRenamed = std::count(after.begin(), after.end(), Lower(name)) == 1;
        EXPECT_EQ(fat->Cat("Card/" + (bRenamed ? Lower(name) : name)), name);
    }
    EXPECT_TRUE(outcome.bStopped);
    EXPECT_EQ(control.nTotal, names.size());
    EXPECT_GE(renamed, 20u);
    EXPECT_LT(renamed, names.size());
    EXPECT_EQ(outcome.nRenamed, renamed);
    EXPECT_EQ(control.nDone, renamed);
    EXPECT_EQ(outcome.kept.size(), names.size() - renamed);
}

// The moment between the two steps, made on purpose: one file waits in a staging folder of
// the program, another beside the others under its waiting name, while another spelling of
// their names is free again.
TEST_F(FatVolumeTest, FilesWaitingInAStagingFolderAndBesideComeBackInTheRequestedCase) {
    AddFiles({"Report.TXT", "Beside.Doc", "Other.Txt"});
    std::wstring root = wine::ExactPath(fat->Root());
    std::optional<CStagingFolder> staging = CStagingFolder::Create(root,
                                                                   CNameCensus(ReadDirectoryListing(root).entries));
    ASSERT_TRUE(staging);
    ASSERT_TRUE(MoveFileExW(AfxJoinPath(root, L"Report.TXT").c_str(), staging->PathOf(L"Report.TXT").c_str(), 0));
    std::wstring waiting = staging->WaitingNameOf(L"Beside.Doc");
    ASSERT_TRUE(MoveFileExW(AfxJoinPath(root, L"Beside.Doc").c_str(), AfxJoinPath(root, waiting).c_str(), 0));
    std::string waitingName(waiting.begin(), waiting.end());
    ASSERT_EQ(fat->Ls(), Sorted({".umbrix-staging", waitingName, "Other.Txt"}));

    Run(CaseDirection::Upper, DriveOnly());
    EXPECT_EQ(fat->Ls(), (Names{"BESIDE.DOC", "OTHER.TXT", "REPORT.TXT"}));
    EXPECT_EQ(fat->Cat("REPORT.TXT"), "Report.TXT");
    EXPECT_EQ(fat->Cat("BESIDE.DOC"), "Beside.Doc");
    EXPECT_EQ(boxes.Texts(), (Texts{kUpperDone}));
}
