// Copies of umbrix.exe at once, started as Explorer starts them (one per folder chosen) and as
// a user starts a second one: each works from outside through its windows, its boxes and its
// exit code, on real directories read back from the disk. Every wait is for a state (a window,
// a text, a process's end), bounded only so that a fault ends the test.
#include <windows.h>

#include "res/resource.h"
#include "tests/app/UmbrixProcess.h"
#include "tests/renaming/RunMessages.h"
#include "tests/support/Observations.h"
#include "tests/support/TempDirectory.h"
#include "tests/support/UnixShell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::wstring>;

// Boxes and the main dialog share the caption; the kind of window tells them apart.
const wchar_t kBoxCaption[] = L"Umbrix";
const wchar_t kUndoQuestion[] = L"Die letzte Umbenennung r\u00FCckg\u00E4ngig machen?";
const wchar_t kUndoDone[] = L"Ok, alle Dateien haben ihre fr\u00FCheren Namen zur\u00FCck.";

std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }
std::wstring ItemText(HWND hDlg, int nID) { return WideWindowText(GetDlgItem(hDlg, nID)); }
std::wstring Waiting(const std::wstring& directory) {
    return L"Wartet auf die laufende Umbenennung in " + directory + L" \u2026";
}

// The process's window of that caption as it is now.
HWND WindowOf(DWORD pid, const std::wstring& caption, WindowKind kind) {
    WindowSearch search{pid, caption, nullptr, kind};
    EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Long runs come first: the limit only ends a test that has gone wrong.
HWND WaitForWindowWithin(DWORD pid, const std::wstring& caption, DWORD dwSeconds, WindowKind kind) {
    ULONGLONG nDeadline = GetTickCount64() + dwSeconds * 1000ull;
    for (;;) {
        if (HWND hWnd = WindowOf(pid, caption, kind)) return hWnd;
        if (GetTickCount64() >= nDeadline) return nullptr;
        Sleep(10);
    }
}

// The box that follows the one answered, once that one has gone.
HWND NextBox(const UmbrixProcess& umbrix, HWND hBefore, DWORD dwSeconds) {
    for (int i = 0; i < 1000 && IsWindow(hBefore); ++i) Sleep(10);
    return WaitForWindowWithin(umbrix.Id(), kBoxCaption, dwSeconds, WindowKind::MessageBox);
}

// A folder of ManyFiles, removed on the Linux side at the end: through Win32, 100,000 files
// took minutes to remove.
struct ManyFilesFolder {
    explicit ManyFilesFolder(int count) : names(ManyFiles(count)) { dir.AddFilesOnLinux(names); }
    ~ManyFilesFolder() {
        try {
            RunUnixShell("rm -rf " + ShellQuote(UnixPath(dir.Path())), 600000);
        } catch (const std::exception&) {  // then the folder's own end removes it
        }
    }
    ManyFilesFolder(const ManyFilesFolder&) = delete;
    ManyFilesFolder& operator=(const ManyFilesFolder&) = delete;

    TempDirectory dir;
    const Names names;
};

// The folders' indexes in the order the end box names them (the order they were run in).
std::vector<size_t> BoxOrder(const std::wstring& box, const std::vector<std::wstring>& paths) {
    std::vector<size_t> order(paths.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(),
              [&](size_t a, size_t b) { return box.find(paths[a] + L"\n") < box.find(paths[b] + L"\n"); });
    return order;
}

// The end box of a run over these folders, in the order the box names them, each with its text.
std::wstring SeveralFoldersText(const std::wstring& box, const std::vector<std::wstring>& paths,
                                const std::vector<std::wstring>& texts) {
    std::vector<size_t> order = BoxOrder(box, paths);
    std::wstring text;
    for (size_t k = 0; k < order.size(); ++k)
        text += (k ? L"\n\n" : L"") + std::wstring(L"Ordner ") + std::to_wstring(k + 1) + L" von " +
                std::to_wstring(order.size()) + L": " + paths[order[k]] + L"\n" + texts[order[k]];
    return text;
}

// "Rückgängig" in a copy started without a run, answered "Ja": the end box's text.
struct UndoBoxes {
    std::wstring question;
    std::wstring end;
};

UndoBoxes UndoInAnotherCopy(const std::wstring& workingDirectory) {
    UndoBoxes boxes;
    UmbrixProcess umbrix(L"/nologo", workingDirectory);
    HWND hMain = WaitForWindowWithin(umbrix.Id(), L"Umbrix", 60, WindowKind::MainDialog);
    if (!hMain) return {L"no main dialog", L""};
    Click(GetDlgItem(hMain, IDC_UNDO));
    HWND hQuestion = WaitForWindowWithin(umbrix.Id(), kBoxCaption, 60, WindowKind::MessageBox);
    if (!hQuestion) return {L"no question", L""};
    boxes.question = AnswerMessageBox(hQuestion, IDYES);
    HWND hEnd = NextBox(umbrix, hQuestion, 600);
    boxes.end = hEnd ? AnswerMessageBox(hEnd) : L"no end box";
    if (WaitForWindowWithin(umbrix.Id(), L"Umbrix", 60, WindowKind::MainDialog) == hMain) Click(GetDlgItem(hMain, IDCANCEL));
    EXPECT_EQ(umbrix.WaitForExit(), 0u);
    return boxes;
}

}  // namespace

// Explorer's way with three folders chosen: three copies at once. One run renames all three:
// one progress window that counts the folders, one end box that says per folder what was done
// and names the file that kept its name, its exit code the worst of the folders' (1); the other
// two show no window and end with 0. Then one "Rückgängig" takes all three folders back.
TEST(SeveralCopies, ThreeFoldersStartedAtOnceAreOneRunAndOneUndoTakesAllBack) {
    ManyFilesFolder folders[3] = {ManyFilesFolder(3000), ManyFilesFolder(3000), ManyFilesFolder(3000)};
    const Names& names = folders[0].names;
    CFileHandle held = folders[1].dir.HoldOpen(names[7]);
    ASSERT_TRUE(held);
    std::vector<std::unique_ptr<UmbrixProcess>> copies;
    for (ManyFilesFolder& folder : folders)
        copies.push_back(std::make_unique<UmbrixProcess>(L"/klein " + Quoted(folder.dir.Path()), folder.dir.Path()));
    for (auto& copy : copies) ASSERT_TRUE(copy->Started());

    // Watched until one shows its end box: what its progress window said, and which showed any.
    size_t nFirst = 3;
    HWND hBox = nullptr;
    std::vector<std::wstring> shown;
    bool bWindowSeen[3] = {};
    ULONGLONG nDeadline = GetTickCount64() + 600000;
    while (!hBox && GetTickCount64() < nDeadline) {
        for (size_t i = 0; i < copies.size() && !hBox; ++i) {
            DWORD pid = copies[i]->Id();
            bWindowSeen[i] = bWindowSeen[i] || ShowsAnyWindow(pid);
            if (HWND hProgress = WindowOf(pid, kProgressCaption, WindowKind::Any)) {
                std::wstring text = ItemText(hProgress, IDC_PROGRESS_DIRECTORY);
                if (shown.empty() || shown.back() != text) shown.push_back(text);
            }
            if ((hBox = WindowOf(pid, kBoxCaption, WindowKind::MessageBox)) != nullptr) nFirst = i;
        }
        Sleep(2);
    }
    ASSERT_NE(hBox, nullptr) << "no end box";
    std::wstring text = AnswerMessageBox(hBox);

    std::vector<std::wstring> paths, texts;
    for (size_t i = 0; i < 3; ++i) {
        paths.push_back(folders[i].dir.Path());
        texts.push_back(i == 1 ? std::wstring(kNotAll) + L"\n" + names[7] : kLowerDone);
    }
    EXPECT_EQ(text, SeveralFoldersText(text, paths, texts));
    EXPECT_EQ(text.find(L"Ordner 1 von 3: " + paths[nFirst] + L"\n"), 0u) << "the first copy's own folder first";
    bool bFoldersCounted = std::any_of(shown.begin(), shown.end(), [&](const std::wstring& line) {
        for (size_t k = 1; k <= 3; ++k)
            for (const ManyFilesFolder& folder : folders)
                if (line == L"Ordner " + std::to_wstring(k) + L" von 3: " + folder.dir.Path()) return true;
        return false;
    });
    EXPECT_TRUE(bFoldersCounted) << "the progress window never said which folder of three it was on";
    for (size_t i = 0; i < copies.size(); ++i) {
        EXPECT_EQ(copies[i]->WaitForExit(60000), i == nFirst ? 1u : 0u) << i;
        if (i != nFirst) {
            EXPECT_FALSE(bWindowSeen[i]) << "a copy that handed its folder over showed a window";
        }
    }
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(ExpectEveryFileWhole(folders[i].dir, names), names.size() - (i == 1 ? 1 : 0)) << i;

    // The question names the three folders in the run's order, and counts the files of all.
    held.Close();
    UndoBoxes undo = UndoInAnotherCopy(folders[0].dir.Path());
    std::wstring question = std::wstring(kUndoQuestion) + L"\n";
    for (size_t i : BoxOrder(text, paths)) question += L"\n" + paths[i];
    question += L"\n8.999 Dateien erhalten ihre fr\u00FCheren Namen zur\u00FCck.";
    EXPECT_EQ(undo.question, question);
    EXPECT_EQ(undo.end, kUndoDone);
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(folders[i].dir.Names(), names) << "not taken back: " << i;
}

// A second copy's "Rückgängig" during a run over 100,000 files waits for it, saying so, with
// its main dialog answering; "Abbrechen" ends the wait and nothing else. Asked again, it waits
// to the run's end, never touching the journal being written: then it offers the whole run and
// takes every file back.
TEST(SeveralCopies, SecondCopysUndoWaitsForALongRunAndTakesItBackWhole) {
    ManyFilesFolder files(100000);
    const TempDirectory& dir = files.dir;
    UmbrixProcess run(L"/klein " + Quoted(dir.Path()), dir.Path());
    ASSERT_TRUE(run.Started());
    ASSERT_NE(WaitForWindowWithin(run.Id(), kProgressCaption, 120, WindowKind::Any), nullptr);

    UmbrixProcess other(L"/nologo", dir.Path());
    HWND hMain = WaitForWindowWithin(other.Id(), L"Umbrix", 60, WindowKind::MainDialog);
    ASSERT_NE(hMain, nullptr);
    for (bool bStopWaiting : {true, false}) {
        ASSERT_TRUE(IsWindowEnabled(GetDlgItem(hMain, IDC_UNDO)));
        Click(GetDlgItem(hMain, IDC_UNDO));
        HWND hWait = WaitForWindowWithin(other.Id(), kProgressCaption, 60, WindowKind::Any);
        ASSERT_NE(hWait, nullptr) << "no window says the copy waits";
        EXPECT_EQ(ItemText(hWait, IDC_PROGRESS_ACTION), Waiting(dir.Path()));
        ExpectAnswering(hMain);
        ASSERT_EQ(run.WaitForExit(0), STILL_ACTIVE) << "the run had ended: nothing was waited for";
        if (!bStopWaiting) break;
        Click(GetDlgItem(hWait, IDCANCEL));
        ASSERT_EQ(WaitForWindowWithin(other.Id(), L"Umbrix", 60, WindowKind::MainDialog), hMain) << "the main dialog stays disabled";
        EXPECT_EQ(WindowOf(other.Id(), kBoxCaption, WindowKind::MessageBox), nullptr) << "a box after the wait was stopped";
    }

    HWND hRunBox = WaitForWindowWithin(run.Id(), kBoxCaption, 1200, WindowKind::MessageBox);
    ASSERT_NE(hRunBox, nullptr);
    EXPECT_EQ(AnswerMessageBox(hRunBox), kLowerDone);
    EXPECT_EQ(run.WaitForExit(), 0u);
    HWND hQuestion = WaitForWindowWithin(other.Id(), kBoxCaption, 120, WindowKind::MessageBox);
    ASSERT_NE(hQuestion, nullptr);
    EXPECT_EQ(AnswerMessageBox(hQuestion, IDYES),
              std::wstring(kUndoQuestion) + L"\n\n" + dir.Path() +
                  L"\n100.000 Dateien erhalten ihre fr\u00FCheren Namen zur\u00FCck.");
    HWND hEnd = NextBox(other, hQuestion, 1200);
    ASSERT_NE(hEnd, nullptr);
    EXPECT_EQ(AnswerMessageBox(hEnd), kUndoDone);
    EXPECT_EQ(dir.Names(), files.names) << "not every file has its earlier name back";
    ASSERT_EQ(WaitForWindowWithin(other.Id(), L"Umbrix", 60, WindowKind::MainDialog), hMain);
    Click(GetDlgItem(hMain, IDCANCEL));
    EXPECT_EQ(other.WaitForExit(), 0u);
}

namespace {

// Files of ManyFiles that carry their lower-case names now, read while a run may be renaming.
size_t CountRenamed(const TempDirectory& dir) {
    Names now = dir.Names();
    return static_cast<size_t>(
        std::count_if(now.begin(), now.end(), [](const std::wstring& name) { return name.rfind(L"file_", 0) == 0; }));
}

}  // namespace

// The first copy ended by force after a second handed its folder over. Not begun yet: the
// second copy takes its turn and runs the folder itself. Begun: the second copy says the run
// was not brought to its end and ends with 3; it never ends with 0 for a folder nobody ran.
// (The first folder is long where the copy is ended in it, short where it must be done first;
// a copy that comes after it is still waited for at the run's end.)
TEST(SeveralCopies, FolderOfAFirstCopyEndedByForceIsRunByItsOwnCopyOrReported) {
    for (bool bBegun : {false, true}) {
        SCOPED_TRACE(bBegun ? "ended while renaming the folder handed over" : "ended before beginning it");
        ManyFilesFolder firstFolder(bBegun ? 5000 : 20000), secondFolder(bBegun ? 5000 : 40);
        const TempDirectory &first = firstFolder.dir, &second = secondFolder.dir;
        const Names &firstNames = firstFolder.names, &names = secondFolder.names;
        UmbrixProcess firstCopy(L"/klein " + Quoted(first.Path()), first.Path());
        HWND hProgress = WaitForWindowWithin(firstCopy.Id(), kProgressCaption, 120, WindowKind::Any);
        ASSERT_NE(hProgress, nullptr);
        UmbrixProcess secondCopy(L"/klein " + Quoted(second.Path()), second.Path());

        const std::wstring folder = bBegun ? L"Ordner 2 von 2: " + second.Path() : L"Ordner 1 von 2: " + first.Path();
        std::wstring text;
        while (text != folder && firstCopy.WaitForExit(1) == STILL_ACTIVE)
            text = ItemText(hProgress, IDC_PROGRESS_DIRECTORY);
        ASSERT_EQ(text, folder) << "the folder was not taken over";
        while (bBegun && CountRenamed(second) == 0 && firstCopy.WaitForExit(1) == STILL_ACTIVE) {}
        firstCopy.Terminate();
        size_t firstRenamed = CountRenamed(first);
        if (bBegun) {
            EXPECT_EQ(firstRenamed, firstNames.size());
        } else {
            EXPECT_LT(firstRenamed, firstNames.size()) << "the first folder was done before the copy was ended";
        }

        HWND hBox = WaitForWindowWithin(secondCopy.Id(), kBoxCaption, 600, WindowKind::MessageBox);
        ASSERT_NE(hBox, nullptr);
        std::wstring said = AnswerMessageBox(hBox);
        EXPECT_EQ(second.Names().size(), names.size());
        size_t renamed = CountRenamed(second);
        if (bBegun) {
            EXPECT_EQ(said.rfind(L"Das Umbenennen in " + second.Path() + L" wurde nicht zu Ende gebracht", 0), 0u)
                << Utf8(said);
            EXPECT_EQ(secondCopy.WaitForExit(), 3u);
            EXPECT_GT(renamed, 0u);
            EXPECT_LT(renamed, names.size()) << "the folder was run twice";
        } else {
            EXPECT_EQ(said, kLowerDone);
            EXPECT_EQ(secondCopy.WaitForExit(), 0u);
            EXPECT_EQ(ExpectEveryFileWhole(second, names), names.size());
        }
    }
}

// Only requests of one kind are one run. During a run over whole names in lower case, three
// folders chosen for their extensions only (the same direction) and a quiet copy of the run's
// own kind are not taken over: the three say they wait, the quiet one shows nothing and touches
// nothing. Once the run has been stopped, the three become one run with one box that changed
// only extensions, and the quiet copy runs its own folder with its own exit code and output; the
// stopped run's box speaks of its own folder only.
TEST(SeveralCopies, OtherKindsWaitTheirTurnAndThenTheWaitingFoldersAreOneRun) {
    ManyFilesFolder first(20000);
    TempDirectory quiet, lower[3];
    quiet.AddFile(L"Leise.TXT");
    for (TempDirectory& dir : lower) dir.AddFile(L"Klein.TXT");
    UmbrixProcess firstCopy(L"/klein " + Quoted(first.dir.Path()), first.dir.Path());
    HWND hProgress = WaitForWindowWithin(firstCopy.Id(), kProgressCaption, 120, WindowKind::Any);
    ASSERT_NE(hProgress, nullptr);
    UmbrixProcess quietCopy(L"/still /klein " + Quoted(quiet.Path()), quiet.Path(), UmbrixProcess::Streams::Caught);
    std::vector<std::unique_ptr<UmbrixProcess>> copies;
    for (TempDirectory& dir : lower)
        copies.push_back(std::make_unique<UmbrixProcess>(L"/klein /endung " + Quoted(dir.Path()), dir.Path()));

    for (auto& copy : copies) {
        HWND hWait = WaitForWindowWithin(copy->Id(), kProgressCaption, 60, WindowKind::Any);
        ASSERT_NE(hWait, nullptr) << "a copy of another part of the names does not say it waits";
        EXPECT_EQ(ItemText(hWait, IDC_PROGRESS_ACTION), Waiting(first.dir.Path()));
    }
    Names quietNames = quiet.Names();
    ASSERT_EQ(firstCopy.WaitForExit(0), STILL_ACTIVE) << "the run ended before the others could wait";
    EXPECT_EQ(quietNames, Names{L"Leise.TXT"}) << "the quiet copy did not wait";
    EXPECT_EQ(quietCopy.WaitForExit(0), STILL_ACTIVE);
    EXPECT_FALSE(ShowsAnyWindow(quietCopy.Id()));
    EXPECT_EQ(ItemText(hProgress, IDC_PROGRESS_DIRECTORY), first.dir.Path()) << "a folder was taken over";

    Click(GetDlgItem(hProgress, IDCANCEL));
    HWND hFirstBox = WaitForWindowWithin(firstCopy.Id(), kBoxCaption, 120, WindowKind::MessageBox);
    ASSERT_NE(hFirstBox, nullptr);
    std::wstring stopped = AnswerMessageBox(hFirstBox);
    EXPECT_EQ(stopped.rfind(L"Das Umbenennen wurde abgebrochen. ", 0), 0u) << Utf8(stopped);
    EXPECT_EQ(firstCopy.WaitForExit(), 3u);

    HWND hBox = nullptr;
    size_t nBoxes = 0;
    for (ULONGLONG nDeadline = GetTickCount64() + 120000; !hBox && GetTickCount64() < nDeadline; Sleep(10))
        for (auto& copy : copies)
            if (HWND h = WindowOf(copy->Id(), kBoxCaption, WindowKind::MessageBox)) hBox = h, ++nBoxes;
    ASSERT_NE(hBox, nullptr);
    EXPECT_EQ(nBoxes, 1u);
    std::vector<std::wstring> paths;
    for (TempDirectory& dir : lower) paths.push_back(dir.Path());
    std::wstring box = AnswerMessageBox(hBox);
    EXPECT_EQ(box, SeveralFoldersText(box, paths, {kLowerExtensionsDone, kLowerExtensionsDone, kLowerExtensionsDone}));
    for (auto& copy : copies) EXPECT_EQ(copy->WaitForExit(60000), 0u);
    for (TempDirectory& dir : lower) EXPECT_EQ(dir.Names(), Names{L"Klein.txt"});

    EXPECT_EQ(quietCopy.WaitForExit(60000), 0u);
    EXPECT_EQ(quietCopy.Output(), Utf8(std::wstring(kLowerDone) + L"\r\n"));
    EXPECT_EQ(quiet.Names(), Names{L"leise.txt"});
}
