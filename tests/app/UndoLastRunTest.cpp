// Taking the last run back as the user does: the button and Ctrl+Z, the question first, the
// box at the end, and the journal in the user's profile that survives the program.
#include "app/CUmbrixDlg.h"
#include "platform/GermanCount.h"
#include "app/RenameFilesToCase.h"
#include "app/UndoLastRun.h"
#include "app/RunJournalPlace.h"
#include "filesystem/CUniqueHandle.h"
#include "renaming/ChangeCaseOnDisk.h"
#include "renaming/RunJournal.h"
#include "res/resource.h"
#include "tests/app/ScriptedUser.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/ShellNotices.h"
#include "tests/support/Observations.h"
#include "tests/support/TempDirectory.h"
#include "tests/support/UnixShell.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

using Names = std::vector<std::wstring>;
using Texts = std::vector<std::wstring>;

const std::wstring kAllBack = L"Ok, alle Dateien haben ihre fr\u00FCheren Namen zur\u00FCck.";

std::wstring Question(const std::wstring& directory, const std::wstring& count) {
    return L"Die letzte Umbenennung r\u00FCckg\u00E4ngig machen?\n\n" + directory + L"\n" + count;
}

class UndoLastRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(RunJournalPath().empty());
        WithdrawRunJournal(RunJournalPath());
    }
    void TearDown() override { WithdrawRunJournal(RunJournalPath()); }

    // A lower-case run as the user starts it, its box answered.
    void LowerRun() {
        MessageBoxRecorder boxes;
        RenameFilesToCase(CaseDirection::Lower, dir.Path());
        ASSERT_EQ(boxes.Texts().size(), 1u);
    }

    TempDirectory dir;
};

TEST_F(UndoLastRunTest, TheQuestionComesFirstNeinChangesNothingJaGivesTheNamesBack) {
    dir.AddFile(L"Rechnung M\u00E4rz 2026.PDF");
    dir.AddFile(L"IMG_0042 Oma.JPG");
    dir.AddFile(L"schon klein.txt");
    LowerRun();
    const Names lowered{L"img_0042 oma.jpg", L"rechnung m\u00E4rz 2026.pdf", L"schon klein.txt"};
    ASSERT_EQ(dir.Names(), lowered);
    EXPECT_EQ(FilesToGiveBack(), 2u);
    {
        MessageBoxRecorder boxes(IDNO);
        UndoLastRun();
        EXPECT_EQ(boxes.Texts(), Texts{Question(dir.Path(), L"2 Dateien erhalten ihre fr\u00FCheren Namen zur\u00FCck.")});
        EXPECT_EQ(boxes.Boxes()[0].flags, UINT(MB_YESNO | MB_ICONQUESTION));
    }
    EXPECT_EQ(dir.Names(), lowered);
    EXPECT_EQ(FilesToGiveBack(), 2u);
    {
        MessageBoxRecorder boxes(IDYES);
        UndoLastRun();
        EXPECT_EQ(boxes.Texts().back(), kAllBack);
    }
    EXPECT_EQ(dir.Names(), (Names{L"IMG_0042 Oma.JPG", L"Rechnung M\u00E4rz 2026.PDF", L"schon klein.txt"}));
    EXPECT_EQ(dir.Contents(L"IMG_0042 Oma.JPG"), "IMG_0042 Oma.JPG");
    // Nothing left to give back, and an undo is not undone.
    EXPECT_EQ(FilesToGiveBack(), 0u);
    MessageBoxRecorder none;
    UndoLastRun();
    EXPECT_EQ(none.Texts(), Texts{});
}

TEST_F(UndoLastRunTest, FilesLeftAsTheyAreAreNamedAndNotOfferedAgain) {
    for (const wchar_t* name : {L"Bleibt.TXT", L"Weg.TXT", L"Verschoben.TXT", L"Ersetzt.TXT", L"Besetzt.TXT"})
        dir.AddFile(name);
    LowerRun();
    RunUnixShell("cd " + ShellQuote(UnixPath(dir.Path())) +
                 " && rm weg.txt && mv verschoben.txt anders.txt && rm ersetzt.txt && printf Fremd > ersetzt.txt"
                 " && printf x > Besetzt.TXT");
    MessageBoxRecorder boxes(IDYES);
    UndoLastRun();
    ASSERT_EQ(boxes.Texts().size(), 2u);
    EXPECT_EQ(boxes.Texts()[0], Question(dir.Path(), L"5 Dateien erhalten ihre fr\u00FCheren Namen zur\u00FCck."));
    EXPECT_EQ(boxes.Texts()[1],
              L"Nicht alle Dateien haben ihre fr\u00FCheren Namen zur\u00FCck. Diese Dateien bleiben, wie sie sind:"
              L"\nbesetzt.txt\nersetzt.txt\nverschoben.txt\nweg.txt");
    EXPECT_EQ(boxes.Boxes()[1].flags, UINT(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(dir.Names(), (Names{L"Besetzt.TXT", L"Bleibt.TXT", L"anders.txt", L"besetzt.txt", L"ersetzt.txt"}));
    EXPECT_EQ(dir.Contents(L"ersetzt.txt"), "Fremd");
    EXPECT_EQ(FilesToGiveBack(), 0u);
}

TEST_F(UndoLastRunTest, AnUnreachableDirectoryKeepsTheJournalUntilItIsBack) {
    dir.AddFile(L"Karte.JPG");
    LowerRun();
    std::wstring away = dir.Path() + L"-weg";
    SetCurrentDirectoryW(L"C:\\");  // the run left the program in the directory
    ASSERT_TRUE(MoveFileW(dir.Path().c_str(), away.c_str()));  // the card pulled
    {
        MessageBoxRecorder boxes(IDYES);
        UndoLastRun();
        ASSERT_EQ(boxes.Texts().size(), 2u);
        EXPECT_EQ(boxes.Texts()[1], L"Das Verzeichnis ist nicht erreichbar:\n" + dir.Path() +
                                        L"\n\nDie letzte Umbenennung kann r\u00FCckg\u00E4ngig gemacht werden, sobald "
                                        L"es wieder erreichbar ist.");
    }
    EXPECT_EQ(FilesToGiveBack(), 1u);
    ASSERT_TRUE(MoveFileW(away.c_str(), dir.Path().c_str()));
    MessageBoxRecorder boxes(IDYES);
    UndoLastRun();
    EXPECT_EQ(boxes.Texts().back(), kAllBack);
    EXPECT_EQ(dir.Names(), Names{L"Karte.JPG"});
}

TEST_F(UndoLastRunTest, ADamagedJournalRenamesNothingAndSaysSo) {
    dir.AddFile(L"Brief.DOC");
    LowerRun();
    // One bit of the journal flipped on the disk.
    std::string bytes;
    {
        CFileHandle file(CreateFileW(RunJournalPath().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                     0, nullptr));
        ASSERT_TRUE(file);
        char buffer[4096];
        DWORD read = 0;
        ASSERT_TRUE(ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr));
        buffer[read / 2] ^= 0x04;
        SetFilePointer(file.Get(), 0, nullptr, FILE_BEGIN);
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(file.Get(), buffer, read, &written, nullptr));
    }
    EXPECT_EQ(FilesToGiveBack(), 0u);
    EXPECT_TRUE(UndoOffered()) << "the user would never learn that the journal is damaged";
    {
        MessageBoxRecorder boxes(IDYES);
        UndoLastRun();
        EXPECT_EQ(boxes.Texts(),
                  Texts{L"Das Journal der letzten Umbenennung ist besch\u00E4digt; es wurde nichts umbenannt."});
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].flags, UINT(MB_OK | MB_ICONHAND));
    }
    EXPECT_EQ(dir.Names(), Names{L"brief.doc"});
    EXPECT_FALSE(UndoOffered());
}

// A file held open by another program cannot be given back now: it stays in the journal, named
// apart from the files that never can be, and the next "Rückgängig" gives it back.
TEST_F(UndoLastRunTest, AFileInUseIsOfferedAgainAndWhatNeverCanBeIsDropped) {
    for (const wchar_t* name : {L"Offen.TXT", L"Frei.TXT", L"Weg.TXT"}) dir.AddFile(name);
    LowerRun();
    ASSERT_TRUE(DeleteFileW((dir.Path() + L"\\weg.txt").c_str()));
    {
        CFileHandle held = dir.HoldOpen(L"offen.txt");
        MessageBoxRecorder boxes(IDYES);
        UndoLastRun();
        ASSERT_EQ(boxes.Texts().size(), 2u);
        EXPECT_EQ(boxes.Texts()[1], L"Nicht alle Dateien haben ihre fr\u00FCheren Namen zur\u00FCck. Diese Dateien "
                                    L"bleiben, wie sie sind:\nweg.txt\n\nDiese Dateien sind in Gebrauch und bleiben "
                                    L"f\u00FCr ein weiteres R\u00FCckg\u00E4ngig vorgemerkt:\noffen.txt");
    }
    EXPECT_EQ(dir.Names(), (Names{L"Frei.TXT", L"offen.txt"}));
    EXPECT_EQ(FilesToGiveBack(), 1u);
    EXPECT_TRUE(UndoOffered());
    MessageBoxRecorder boxes(IDYES);
    UndoLastRun();
    EXPECT_EQ(boxes.Texts(), (Texts{Question(dir.Path(), L"1 Datei erh\u00E4lt ihren fr\u00FCheren Namen zur\u00FCck."),
                                    kAllBack}));
    EXPECT_EQ(dir.Names(), (Names{L"Frei.TXT", L"Offen.TXT"}));
    EXPECT_FALSE(UndoOffered());
}

// A long undo shows the progress window with its own first line; "Abbrechen" stops it after the
// file in hand, the box says how many names were given back, and the journal keeps the rest.
TEST_F(UndoLastRunTest, AStoppedUndoSaysHowFarItCameAndTheRestCanStillBeGivenBack) {
    Names names;
    for (int i = 0; i < 10000; ++i) names.push_back(L"File_" + std::to_wstring(100000 + i) + L".DAT");
    dir.AddFilesOnLinux(names);
    {
        CRunJournalWriter journal(RunJournalPath());
        ASSERT_FALSE(journal.Start());
        ASSERT_EQ(ChangeCaseOnDisk(CaseDirection::Lower, dir.ExactPath(), nullptr, &journal, dir.Path()).nRenamed,
                  names.size());
        journal.Finish();
    }
    MessageBoxRecorder boxes(IDYES);
    ScriptedUser user(60000);
    std::wstring action;
    user.When(L"Umbenennen", [&](HWND hProgress) {
        action = WideWindowText(GetDlgItem(hProgress, IDC_PROGRESS_ACTION));
        ClickButton(hProgress, IDCANCEL);
    });
    UndoLastRun();
    EXPECT_TRUE(user.Finished()) << "no progress window";
    EXPECT_EQ(action, L"Fr\u00FChere Namen werden wiederhergestellt:");

    size_t nBack = 0;
    for (const std::wstring& name : dir.Names()) nBack += name[0] == L'F';
    ASSERT_GT(nBack, 0u);
    ASSERT_LT(nBack, names.size()) << "the undo had ended before Abbrechen";
    ASSERT_EQ(boxes.Texts().size(), 2u);
    EXPECT_EQ(boxes.Texts()[1], L"Das R\u00FCckg\u00E4ngigmachen wurde abgebrochen. " + AfxToWide(GermanCount(nBack)) +
                                    (nBack == 1 ? L" Datei hat ihren" : L" Dateien haben ihre") +
                                    L" fr\u00FCheren Namen zur\u00FCck.");
    EXPECT_EQ(FilesToGiveBack(), names.size() - nBack);

    MessageBoxRecorder again(IDYES);
    UndoLastRun();
    EXPECT_EQ(again.Texts().back(), kAllBack);
    EXPECT_EQ(dir.Names(), names);
    EXPECT_EQ(FilesToGiveBack(), 0u);
}

// An open Explorer window learns of every run and undo that renamed something in its folder, at
// once, and of nothing else: each rename by its two names, a run of very many files as the
// folder read again.
TEST_F(UndoLastRunTest, TheShellIsToldOfEveryRunAndUndoThatRenamed) {
    dir.AddFile(L"Brief.DOC");
    dir.AddFile(L"schon klein.txt");
    dir.AddFile(L"Z\u00E4hler.TXT");
    CShellNotices shell(dir.Path());
    ASSERT_TRUE(shell.Registered());
    using Notices = std::vector<CShellNotices::Notice>;
    auto rename = [&](const std::wstring& from, const std::wstring& to) {
        return CShellNotices::Notice{SHCNE_RENAMEITEM, dir.Path() + L"\\" + from, dir.Path() + L"\\" + to};
    };
    const Notices lowered{rename(L"Brief.DOC", L"brief.doc"), rename(L"Z\u00E4hler.TXT", L"z\u00E4hler.txt")};
    const Notices givenBack{rename(L"brief.doc", L"Brief.DOC"), rename(L"z\u00E4hler.txt", L"Z\u00E4hler.TXT")};
    const Notices directoryRead{{SHCNE_UPDATEDIR, dir.Path(), L""}};
    auto manyMore = [&] {
        for (size_t i = 0; i < kRenamesNamedAtMost; ++i) dir.AddFile(L"Viele " + std::to_wstring(i) + L".TXT");
    };
    const struct {
        const char* step;
        std::function<void()> act;
        Notices expected;
    } steps[] = {
        {"a run that renames", [&] { LowerRun(); }, lowered},
        {"an undo answered Nein", [] { MessageBoxRecorder no(IDNO); UndoLastRun(); }, {}},
        {"an undo", [] { MessageBoxRecorder yes(IDYES); UndoLastRun(); }, givenBack},
        {"an undo with nothing left to give back", [] { MessageBoxRecorder yes(IDYES); UndoLastRun(); }, {}},
        {"a run of more files than are named one by one", [&] { manyMore(); LowerRun(); }, directoryRead},
        {"its undo", [] { MessageBoxRecorder yes(IDYES); UndoLastRun(); }, directoryRead},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.step);
        step.act();
        EXPECT_EQ(shell.Take(), step.expected);
    }
    EXPECT_EQ(dir.Names().size(), kRenamesNamedAtMost + 3);
}

// Real input goes to the foreground window; a window made a moment ago may not be it yet.
bool InFront(HWND hWnd) {
    if (GetForegroundWindow() != hWnd) SetForegroundWindow(hWnd);
    return GetForegroundWindow() == hWnd;
}

bool KeysTaken(HWND) { return !(HIWORD(GetQueueStatus(QS_KEY)) & QS_KEY); }

// The main dialog as the program starts it: whether "Rückgängig" is enabled, and the boxes
// that Ctrl+Z brings up (each answered "Nein").
Texts CtrlZInTheMainDialog(bool& bEnabled) {
    MessageBoxRecorder boxes(IDNO);
    CUmbrixDlg dlg;
    AfxGetThread()->m_pMainWnd = &dlg;
    ScriptedUser user;
    user.WhenReady(L"Umbrix", InFront, [&](HWND hDlg) {
        bEnabled = IsWindowEnabled(GetDlgItem(hDlg, IDC_UNDO));
        EXPECT_TRUE(PressWith(VK_CONTROL, 'Z'));
    });
    user.WhenReady(L"Umbrix", KeysTaken, [](HWND hDlg) { PostMessageW(hDlg, WM_COMMAND, IDCANCEL, 0); });
    dlg.DoModal();
    EXPECT_TRUE(user.Finished()) << "never saw: " << Utf8(user.Pending());
    AfxGetThread()->m_pMainWnd = nullptr;
    return boxes.Texts();
}

TEST_F(UndoLastRunTest, TheButtonAndCtrlZWorkExactlyWhileThereIsSomethingToGiveBack) {
    bool bEnabled = true;
    EXPECT_EQ(CtrlZInTheMainDialog(bEnabled), Texts{}) << "without a journal";
    EXPECT_FALSE(bEnabled);

    dir.AddFile(L"Brief.DOC");
    LowerRun();
    EXPECT_EQ(CtrlZInTheMainDialog(bEnabled),
              Texts{Question(dir.Path(), L"1 Datei erh\u00E4lt ihren fr\u00FCheren Namen zur\u00FCck.")});
    EXPECT_TRUE(bEnabled);
    EXPECT_EQ(dir.Names(), Names{L"brief.doc"});
}

}  // namespace
