// Starts umbrix.exe as a process of its own and works it from outside, as a user would.
#include <windows.h>
#include <commctrl.h>
#include <knownfolders.h>
#include <shlobj.h>

#include "res/resource.h"
#include "tests/app/UmbrixProcess.h"
#include "tests/support/FatDrive.h"
#include "tests/support/Observations.h"
#include "tests/support/TempDirectory.h"

#include <gtest/gtest.h>

#include <bit>
#include <string>
#include <vector>

TEST(UmbrixProgram, UserRunsBothCasesAndEndsTheProgram) {
    TempDirectory dir;
    dir.AddFile(L"Brief.DOC");
    dir.AddFile(L"notiz.Txt");
    dir.AddDirectory(L"Archiv");

    UmbrixProcess umbrix("", dir.AnsiPath());
    ASSERT_TRUE(umbrix.Started()) << ProgramPath();
    HWND hMain = WaitForMainDialog(umbrix.Id());
    ASSERT_NE(hMain, nullptr);
    HWND hSplash = OwnedPopup(hMain);
    ASSERT_NE(hSplash, nullptr) << "no splash over the main dialog";
    RECT splash{};
    GetWindowRect(hSplash, &splash);
    EXPECT_EQ(splash.right - splash.left, 520);
    // Shown over the main dialog: its middle lies on the dialog.
    RECT main{};
    GetWindowRect(hMain, &main);
    EXPECT_TRUE(PtInRect(&main, POINT{(splash.left + splash.right) / 2, (splash.top + splash.bottom) / 2}));

    const struct {
        int button;
        std::vector<std::wstring> after;
        std::wstring message;
    } runs[] = {
        {IDC_TO_LOWER_CASE, {L"Archiv", L"brief.doc", L"notiz.txt"}, L"Ok, alle Dateien in kleinbuchstaben umbenannt."},
        {IDC_TO_UPPER_CASE, {L"Archiv", L"BRIEF.DOC", L"NOTIZ.TXT"}, L"Ok, alle Dateien in GROSSBUCHSTABEN umbenannt."},
    };
    for (const auto& run : runs) {
        Click(GetDlgItem(hMain, run.button));
        HWND hDirDlg = WaitForWindow(umbrix.Id(), L"Verzeichnis Auswahl:");
        ASSERT_NE(hDirDlg, nullptr);
        EXPECT_EQ(WideWindowText(GetDlgItem(hDirDlg, IDC_DIRECTORY_PATH)), dir.Path());
        Click(GetDlgItem(hDirDlg, IDOK));
        HWND hBox = WaitForMessageBox(umbrix.Id());
        ASSERT_NE(hBox, nullptr) << "no message box";
        EXPECT_EQ(AnswerMessageBox(hBox), run.message);
        ASSERT_EQ(WaitForMainDialog(umbrix.Id()), hMain);  // still open, enabled again
        EXPECT_EQ(dir.Names(), run.after);
    }
    // The splash goes on its own timer.
    for (int i = 0; i < 200 && IsWindow(hSplash); ++i) Sleep(10);
    EXPECT_FALSE(IsWindow(hSplash));

    Click(GetDlgItem(hMain, IDCANCEL));  // "Ende"
    EXPECT_EQ(umbrix.WaitForExit(), 0u);
}

TEST(UmbrixProgram, NoLogoStartsWithoutSplash) {
    TempDirectory dir;
    UmbrixProcess umbrix("/nologo", dir.AnsiPath());
    ASSERT_TRUE(umbrix.Started());
    HWND hMain = WaitForMainDialog(umbrix.Id());
    ASSERT_NE(hMain, nullptr);
    EXPECT_EQ(OwnedPopup(hMain), nullptr);
    PostMessageA(hMain, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(umbrix.WaitForExit(), 0u);
}

namespace {

// Starts a lower-case run through the main dialog and the directory dialog.
HWND StartLowerCaseRun(const UmbrixProcess& umbrix) {
    HWND hMain = WaitForMainDialog(umbrix.Id());
    if (!hMain) return nullptr;
    Click(GetDlgItem(hMain, IDC_TO_LOWER_CASE));
    HWND hDirDlg = WaitForWindow(umbrix.Id(), L"Verzeichnis Auswahl:");
    if (hDirDlg) Click(GetDlgItem(hDirDlg, IDOK));
    return hDirDlg;
}

size_t CountLowerCase(const std::vector<std::wstring>& names) {
    size_t count = 0;
    for (const std::wstring& name : names) count += name.rfind(L"file_", 0) == 0;
    return count;
}

}  // namespace

TEST(UmbrixProgram, ProgramEndedMidRunLosesNoFileAndTheNextRunFinishesIt) {
    TempDirectory dir;
    std::vector<std::wstring> names;
    for (int i = 0; i < 6000; ++i) names.push_back(L"File_" + std::to_wstring(100000 + i) + L".DAT");
    dir.AddFilesOnLinux(names);

    {
        UmbrixProcess umbrix("/nologo", dir.AnsiPath());
        ASSERT_TRUE(umbrix.Started());
        ASSERT_NE(StartLowerCaseRun(umbrix), nullptr);
        size_t renamed = 0;
        for (int i = 0; i < 2000 && renamed == 0; ++i) renamed = CountLowerCase(dir.Names());
        umbrix.Terminate();
        ASSERT_GT(renamed, 0u) << "the run never started";
    }
    std::vector<std::wstring> after = dir.Names();
    size_t renamed = CountLowerCase(after);
    EXPECT_LT(renamed, names.size()) << "the run had ended before the program was";
    // Every file exactly once, under its old name or its new one, with its own contents.
    ASSERT_EQ(after.size(), names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        std::wstring lower = L"file_" + names[i].substr(5, 6) + L".dat";
        std::string contents = dir.Contents(lower);
        EXPECT_EQ(contents == "<missing>" ? dir.Contents(names[i]) : contents, Utf8(names[i]));
    }

    UmbrixProcess again("/nologo", dir.AnsiPath());
    ASSERT_NE(StartLowerCaseRun(again), nullptr);
    HWND hBox = WaitForMessageBox(again.Id());
    ASSERT_NE(hBox, nullptr);
    EXPECT_EQ(AnswerMessageBox(hBox), L"Ok, alle Dateien in kleinbuchstaben umbenannt.");
    EXPECT_EQ(CountLowerCase(dir.Names()), names.size());
}

namespace {

// What the drive list does when the user picks that drive's entry: the list holds the drives
// in the order of GetLogicalDrives, which this process sees the same.
void PickDrive(HWND hDirDlg, char letter) {
    DWORD dwBelow = GetLogicalDrives() & ((1u << (letter - 'A')) - 1);
    HWND hList = GetDlgItem(hDirDlg, IDC_DRIVE_LIST);
    SendMessageA(hList, CB_SETCURSEL, static_cast<WPARAM>(std::popcount(dwBelow)), 0);
    SendMessageA(hDirDlg, WM_COMMAND, MAKEWPARAM(IDC_DRIVE_LIST, CBN_SELCHANGE), reinterpret_cast<LPARAM>(hList));
}

}  // namespace

namespace {

// A camera card: a volume with a drive letter of its own, mounted as a user's card is (the
// kernel's caches on). The user starts Umbrix elsewhere, picks the card in the directory
// dialog's drive list and renames its root to lower case, then (the dialog opening where the
// last run was) to upper case. The names are read on the Linux side.
void UserPicksTheCardAndBothCasesReachTheDisk(FatDrive::Kind kind) {
    std::string why = FatDrive::Unavailable(kind);
    if (!why.empty()) GTEST_SKIP() << "skipped: " << why;
    FatDrive fat(kind, FatDrive::Caches::Default);
    ASSERT_EQ(fat.OnLinux("printf a > DSC00001.JPG && printf b > 'Urlaub am See.Jpg' && printf c > NoExt && "
                          "mkdir DCIM && printf d > DCIM/Inner.TXT"),
              "");
    TempDirectory elsewhere;
    UmbrixProcess umbrix("/nologo", elsewhere.AnsiPath());
    ASSERT_TRUE(umbrix.Started()) << ProgramPath();
    HWND hMain = WaitForMainDialog(umbrix.Id());
    ASSERT_NE(hMain, nullptr);

    const struct {
        int button;
        bool bPickDrive;
        std::vector<std::string> after;
        std::wstring message;
    } runs[] = {
        {IDC_TO_LOWER_CASE,
         true,
         {"DCIM", "dsc00001.jpg", "noext", "urlaub am see.jpg"},
         L"Ok, alle Dateien in kleinbuchstaben umbenannt."},
        {IDC_TO_UPPER_CASE,
         false,
         {"DCIM", "DSC00001.JPG", "NOEXT", "URLAUB AM SEE.JPG"},
         L"Ok, alle Dateien in GROSSBUCHSTABEN umbenannt."},
    };
    for (const auto& run : runs) {
        Click(GetDlgItem(hMain, run.button));
        HWND hDirDlg = WaitForWindow(umbrix.Id(), L"Verzeichnis Auswahl:");
        ASSERT_NE(hDirDlg, nullptr);
        if (run.bPickDrive) {
            EXPECT_EQ(WideWindowText(GetDlgItem(hDirDlg, IDC_DIRECTORY_PATH)), elsewhere.Path());
            PickDrive(hDirDlg, fat.AnsiRoot()[0]);
        }
        EXPECT_EQ(WideWindowText(GetDlgItem(hDirDlg, IDC_DIRECTORY_PATH)), fat.Root());
        Click(GetDlgItem(hDirDlg, IDOK));
        HWND hBox = WaitForMessageBox(umbrix.Id());
        ASSERT_NE(hBox, nullptr) << "no message box";
        EXPECT_EQ(AnswerMessageBox(hBox), run.message);
        ASSERT_EQ(WaitForMainDialog(umbrix.Id()), hMain);
        EXPECT_EQ(fat.Ls(), run.after);
        EXPECT_EQ(fat.Ls("DCIM"), std::vector<std::string>{"Inner.TXT"});
    }
    EXPECT_EQ(fat.Cat("URLAUB AM SEE.JPG"), "b");
    EXPECT_EQ(fat.Cat("DSC00001.JPG"), "a");
    // Its current directory is on the volume: the program must end before the volume goes.
    Click(GetDlgItem(hMain, IDCANCEL));
    EXPECT_EQ(umbrix.WaitForExit(), 0u);
}

}  // namespace

TEST(UmbrixProgram, UserPicksAFat32DriveAndBothCasesReachTheDisk) {
    UserPicksTheCardAndBothCasesReachTheDisk(FatDrive::Kind::Fat32);
}

TEST(UmbrixProgram, UserPicksAnExFatDriveAndBothCasesReachTheDisk) {
    UserPicksTheCardAndBothCasesReachTheDisk(FatDrive::Kind::ExFat);
}

namespace {

// A lower-case run over the 20,000 files in a program of its own, watched from its progress
// window on.
struct LongRun {
    // Waits for the program's main window, starts the run there, and waits for the run's
    // progress window.
    void Start() {
        ASSERT_TRUE(umbrix.Started());
        hMain = WaitForMainDialog(umbrix.Id());
        ASSERT_NE(hMain, nullptr);
        ASSERT_NE(StartLowerCaseRun(umbrix), nullptr);
        DWORD dwStart = GetTickCount();
        hProgress = WaitForWindow(umbrix.Id(), kProgressCaption);
        ASSERT_NE(hProgress, nullptr) << "no progress window";
        dwProgressMs = GetTickCount() - dwStart;
    }

    ManyFilesDirectory files;  // filled before the program starts
    const TempDirectory& dir = files.dir;
    const std::vector<std::wstring>& names = files.names;
    UmbrixProcess umbrix{"/nologo", dir.AnsiPath()};
    HWND hMain = nullptr;
    HWND hProgress = nullptr;
    DWORD dwProgressMs = 0;  // from the run's start to its progress window
};

}  // namespace

// 20,000 files: the progress window comes within a second and counts up, the main window
// goes on answering, and Abbrechen, clicked with the mouse, stops the run with every file
// whole; the end box counts what the disk holds.
TEST(UmbrixProgram, LongRunShowsProgressAndAbbrechenStopsItCleanly) {
    LongRun run;
    ASSERT_NO_FATAL_FAILURE(run.Start());
    const TempDirectory& dir = run.dir;
    const std::vector<std::wstring>& names = run.names;
    const UmbrixProcess& umbrix = run.umbrix;
    HWND hMain = run.hMain, hProgress = run.hProgress;
    EXPECT_LT(run.dwProgressMs, 1000u);
    EXPECT_EQ(GetWindow(hProgress, GW_OWNER), hMain);
    EXPECT_FALSE(IsWindowEnabled(hMain)) << "the main dialog could start a second run";

    HWND hCount = GetDlgItem(hProgress, IDC_PROGRESS_COUNT);
    size_t first = 0;
    for (int i = 0; i < 200 && first == 0; ++i, Sleep(10)) first = LeadingCount(WideWindowText(hCount));
    ExpectAnswering(hMain);
    // A click sent to a case button (as automation tools send one) starts no second run.
    Click(GetDlgItem(hMain, IDC_TO_UPPER_CASE));
    Sleep(300);
    WindowSearch second{umbrix.Id(), L"Verzeichnis Auswahl:"};
    EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&second));
    EXPECT_EQ(second.found, nullptr) << "a second run was started";
    ExpectAnswering(hMain);
    std::wstring text = WideWindowText(hCount);
    EXPECT_GT(LeadingCount(text), first) << "the count does not rise";
    EXPECT_NE(text.find(L" von 20.000 Dateien"), std::wstring::npos) << Utf8(text);
    HWND hBar = GetDlgItem(hProgress, IDC_PROGRESS_BAR);
    EXPECT_EQ(SendMessageW(hBar, PBM_GETRANGE, FALSE, 0), 20000) << "the bar does not span the files";
    EXPECT_GT(SendMessageW(hBar, PBM_GETPOS, 0, 0), 0) << "the bar does not move";

    ClickWithMouse(GetDlgItem(hProgress, IDCANCEL));
    HWND hBox = WaitForMessageBox(umbrix.Id());
    ASSERT_NE(hBox, nullptr) << "no end box";
    std::wstring message = AnswerMessageBox(hBox);
    EXPECT_FALSE(IsWindow(hProgress));
    ASSERT_EQ(WaitForMainDialog(umbrix.Id()), hMain);

    size_t renamed = ExpectEveryFileWhole(dir, names);
    EXPECT_GT(renamed, 0u);
    EXPECT_LT(renamed, names.size()) << "the run was not stopped";
    const std::wstring head = L"Das Umbenennen wurde abgebrochen. ";
    ASSERT_EQ(message.substr(0, head.size()), head) << Utf8(message);
    EXPECT_EQ(LeadingCount(message.substr(head.size())), renamed) << Utf8(message);
    EXPECT_NE(message.find(L"Dateien wurden in kleine Dateinamen umbenannt.\n\nDiese Dateien behalten ihren Namen:\n"),
              std::wstring::npos);
    // Twenty names, then how many more kept theirs.
    size_t more = message.find(L"\n\u2026 und ");
    ASSERT_NE(more, std::wstring::npos) << Utf8(message);
    EXPECT_EQ(LeadingCount(message.substr(more + 7)) + 20, names.size() - renamed);
    std::vector<std::wstring> onDisk = dir.Names();  // sorted; "File_" sorts before "file_"
    EXPECT_NE(message.find(L":\n" + onDisk.front() + L"\n"), std::wstring::npos) << "the first kept name comes first";

    Click(GetDlgItem(hMain, IDCANCEL));
    EXPECT_EQ(umbrix.WaitForExit(), 0u);
}

// A run that ends within half a second shows no progress window at all; closing the main
// window during a long run stops it with every file whole and ends the program without a box.
TEST(UmbrixProgram, ShortRunShowsNoProgressAndClosingMidRunEndsCleanly) {
    TempDirectory small;
    std::vector<std::wstring> few = ManyFiles(10);
    small.AddFilesOnLinux(few);
    {
        UmbrixProcess umbrix("/nologo", small.AnsiPath());
        ASSERT_TRUE(umbrix.Started());
        ASSERT_NE(StartLowerCaseRun(umbrix), nullptr);
        bool bProgressSeen = false;
        HWND hBox = nullptr;
        for (int i = 0; i < 1000 && !hBox; ++i, Sleep(5)) {
            WindowSearch progress{umbrix.Id(), kProgressCaption},
                box{umbrix.Id(), L"Umbrix", nullptr, WindowKind::MessageBox};
            EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&progress));
            EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&box));
            bProgressSeen = bProgressSeen || progress.found;
            hBox = box.found;
        }
        ASSERT_NE(hBox, nullptr);
        EXPECT_FALSE(bProgressSeen);
        EXPECT_EQ(AnswerMessageBox(hBox), L"Ok, alle Dateien in kleinbuchstaben umbenannt.");
        EXPECT_EQ(ExpectEveryFileWhole(small, few), few.size());
        PostMessageA(WaitForMainDialog(umbrix.Id()), WM_CLOSE, 0, 0);
        EXPECT_EQ(umbrix.WaitForExit(), 0u);
    }

    LongRun run;
    ASSERT_NO_FATAL_FAILURE(run.Start());
    PostMessageA(run.hMain, WM_CLOSE, 0, 0);
    EXPECT_EQ(run.umbrix.WaitForExit(), 0u);
    size_t renamed = ExpectEveryFileWhole(run.dir, run.names);
    EXPECT_LT(renamed, run.names.size()) << "the run was not stopped";
}

// The system asks before it ends the session: by the time the program has said yes, the run
// has stopped with every file whole, because the process may be ended at once. The session's
// end then closes the program.
TEST(UmbrixProgram, SessionEndMidRunStopsTheRunBeforeTheAnswer) {
    LongRun run;
    ASSERT_NO_FATAL_FAILURE(run.Start());
    const TempDirectory& dir = run.dir;
    const std::vector<std::wstring>& names = run.names;
    HWND hMain = run.hMain;
    DWORD_PTR answer = 0;
    ASSERT_NE(SendMessageTimeoutW(hMain, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 20000, &answer), 0);
    EXPECT_EQ(answer, TRUE);
    size_t renamed = ExpectEveryFileWhole(dir, names);
    EXPECT_LT(renamed, names.size()) << "the run was not stopped";
    SendMessageTimeoutW(hMain, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 20000, &answer);
    EXPECT_EQ(run.umbrix.WaitForExit(), 0u);
    EXPECT_EQ(ExpectEveryFileWhole(dir, names), renamed) << "a file was renamed after the answer";
}

namespace {

// Where the program keeps the journal of its last run: the user's local application data.
std::wstring JournalPath() {
    PWSTR pszLocal = nullptr;
    std::wstring local;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &pszLocal))) local = pszLocal;
    CoTaskMemFree(pszLocal);
    return local + L"\\Umbrix\\Letzter Lauf.umbrix-journal";
}

bool UndoEnabled(HWND hMain) { return IsWindowEnabled(GetDlgItem(hMain, IDC_UNDO)); }

// The box of the program that follows the one given, once that one is gone.
HWND NextBox(const UmbrixProcess& umbrix, HWND hBefore) {
    for (int i = 0; i < 1000 && hBefore && IsWindow(hBefore); ++i) Sleep(10);
    return WaitForMessageBox(umbrix.Id());
}

}  // namespace

TEST(UmbrixProgram, TheLastRunIsTakenBackAfterTheProgramWasClosedAndStartedAgain) {
    DeleteFileW(JournalPath().c_str());
    TempDirectory dir;
    dir.AddFile(L"Rechnung M\u00E4rz 2026.PDF");
    dir.AddFile(L"IMG_0042 Oma.JPG");
    {
        UmbrixProcess umbrix("/nologo", dir.AnsiPath());
        ASSERT_TRUE(umbrix.Started());
        HWND hMain = WaitForMainDialog(umbrix.Id());
        ASSERT_NE(hMain, nullptr);
        EXPECT_FALSE(UndoEnabled(hMain)) << "enabled without a journal";
        ASSERT_NE(StartLowerCaseRun(umbrix), nullptr);
        HWND hBox = WaitForMessageBox(umbrix.Id());
        ASSERT_NE(hBox, nullptr);
        EXPECT_EQ(AnswerMessageBox(hBox), L"Ok, alle Dateien in kleinbuchstaben umbenannt.");
        ASSERT_EQ(WaitForMainDialog(umbrix.Id()), hMain);
        EXPECT_TRUE(UndoEnabled(hMain));
        Click(GetDlgItem(hMain, IDCANCEL));
        EXPECT_EQ(umbrix.WaitForExit(), 0u);
    }
    ASSERT_EQ(dir.Names(), (std::vector<std::wstring>{L"img_0042 oma.jpg", L"rechnung m\u00E4rz 2026.pdf"}));
    ASSERT_NE(GetFileAttributesW(JournalPath().c_str()), INVALID_FILE_ATTRIBUTES) << "no journal in the profile";

    UmbrixProcess again("/nologo", dir.AnsiPath());
    HWND hMain = WaitForMainDialog(again.Id());
    ASSERT_NE(hMain, nullptr);
    ASSERT_TRUE(UndoEnabled(hMain));
    Click(GetDlgItem(hMain, IDC_UNDO));
    HWND hQuestion = WaitForMessageBox(again.Id());
    ASSERT_NE(hQuestion, nullptr);
    EXPECT_EQ(AnswerMessageBox(hQuestion, IDYES),
              L"Die letzte Umbenennung r\u00FCckg\u00E4ngig machen?\n\n" + dir.Path() +
                  L"\n2 Dateien erhalten ihre fr\u00FCheren Namen zur\u00FCck.");
    HWND hEnd = NextBox(again, hQuestion);
    ASSERT_NE(hEnd, nullptr);
    EXPECT_EQ(AnswerMessageBox(hEnd), L"Ok, alle Dateien haben ihre fr\u00FCheren Namen zur\u00FCck.");
    ASSERT_EQ(WaitForMainDialog(again.Id()), hMain);
    EXPECT_FALSE(UndoEnabled(hMain)) << "an undo is not undone";
    EXPECT_EQ(dir.Names(), (std::vector<std::wstring>{L"IMG_0042 Oma.JPG", L"Rechnung M\u00E4rz 2026.PDF"}));
    EXPECT_EQ(dir.Contents(L"IMG_0042 Oma.JPG"), "IMG_0042 Oma.JPG");
    Click(GetDlgItem(hMain, IDCANCEL));
    EXPECT_EQ(again.WaitForExit(), 0u);
}
