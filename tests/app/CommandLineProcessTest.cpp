// umbrix.exe started with a run on its command line, as a batch file, a command prompt and
// Explorer's menu entries start it: no main dialog, the end box, the exit code, and with
// /still no window at all and the end box's text on standard output. The disk is read back.
#include <windows.h>

#include "app/RunJournalPlace.h"
#include "filesystem/CUniqueHandle.h"
#include "tests/app/UmbrixProcess.h"
#include "tests/renaming/RunMessages.h"
#include "tests/support/FileBytes.h"
#include "tests/support/NetworkShare.h"
#include "tests/support/Observations.h"
#include "tests/support/TempDirectory.h"
#include "tests/support/TestDrive.h"
#include "tests/support/UnixShell.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::wstring>;

const wchar_t kUsage[] = L"\n\nAufruf:\n    umbrix.exe /klein Verzeichnis\n    umbrix.exe /gross Verzeichnis\n";

std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

// The program's one end box: its text, answered; whether the main dialog was up meanwhile;
// and the exit code.
struct EndBox {
    std::wstring text;
    bool bMainDialogSeen = false;
    DWORD dwExitCode = STILL_ACTIVE;
};

EndBox AnswerEndBox(const UmbrixProcess& umbrix) {
    EndBox box;
    HWND hBox = WaitForMessageBox(umbrix.Id());
    WindowSearch main{umbrix.Id(), L"Umbrix", nullptr, WindowKind::MainDialog};
    EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&main));
    box.bMainDialogSeen = main.found != nullptr;
    if (hBox) box.text = AnswerMessageBox(hBox);
    box.dwExitCode = umbrix.WaitForExit();
    return box;
}

// The program started with these arguments, to its end.
EndBox RunToEnd(const std::wstring& arguments, const std::wstring& workingDirectory) {
    UmbrixProcess umbrix(arguments, workingDirectory);
    return umbrix.Started() ? AnswerEndBox(umbrix) : EndBox{L"not started"};
}

// A quiet run to its end: its exit code and streams, and whether it ever showed a window.
struct QuietEnd {
    DWORD dwExitCode = STILL_ACTIVE;
    std::string output;
    std::string errors;
    bool bWindowSeen = false;
};

QuietEnd RunQuietly(const std::wstring& arguments, const std::wstring& workingDirectory) {
    UmbrixProcess umbrix(L"/still " + arguments, workingDirectory, UmbrixProcess::Streams::Caught);
    QuietEnd end;
    if (!umbrix.Started()) return end;
    for (int i = 0; i < 12000; ++i) {  // up to a minute, for a long run on a busy machine
        end.bWindowSeen = end.bWindowSeen || ShowsAnyWindow(umbrix.Id());
        if (umbrix.WaitForExit(5) != STILL_ACTIVE) break;
    }
    end.dwExitCode = umbrix.WaitForExit();
    if (end.dwExitCode == STILL_ACTIVE) umbrix.Terminate();  // a box nobody can see, say
    end.output = umbrix.Output();
    end.errors = umbrix.Errors();
    return end;
}

// Mixed names in several scripts, a sub-directory with a file of its own.
void AddMixedNames(TempDirectory& dir, const std::wstring& sub) {
    dir.AddDirectory(sub);
    for (const wchar_t* name : {L"Brief.DOC", L"\u00C4rger.Txt", L"\u0391\u0392\u0393.TXT", L"noext"})
        dir.AddFile(sub + L"\\" + name);
    dir.AddDirectory(sub + L"\\Archiv");
    dir.AddFile(sub + L"\\Archiv\\Inner.TXT");
}

const wchar_t kMixedFolder[] = L"Fotos \u03A9 \u65E5\u672C";

}  // namespace

// /klein with an absolute path (final backslash, blanks, three scripts), then /gross with one
// relative to the current directory: each renames every file of that directory and nothing
// else, shows the main dialog's end box and no main dialog, and ends with 0.
TEST(CommandLineRun, BothCasesReachTheDiskWithTheEndBoxAndExitCodeZero) {
    TempDirectory dir;
    AddMixedNames(dir, kMixedFolder);
    dir.AddFile(L"Daneben.TXT");  // in the current directory, beside the one named
    const std::wstring folder = dir.Path() + L"\\" + kMixedFolder;

    EndBox lower = RunToEnd(L"/klein " + Quoted(folder + L"\\"), dir.Path());
    EXPECT_EQ(lower.text, kLowerDone);
    EXPECT_FALSE(lower.bMainDialogSeen);
    EXPECT_EQ(lower.dwExitCode, 0u);
    EXPECT_EQ(dir.Names(kMixedFolder),
              (Names{L"Archiv", L"brief.doc", L"noext", L"\u00E4rger.txt", L"\u03B1\u03B2\u03B3.txt"}));
    // Each file keeps its contents, which are the name it was made with.
    EXPECT_EQ(dir.Contents(std::wstring(kMixedFolder) + L"\\brief.doc"),
              Utf8(std::wstring(kMixedFolder) + L"\\Brief.DOC"));

    EndBox upper = RunToEnd(L"-GROSS " + Quoted(kMixedFolder), dir.Path());
    EXPECT_EQ(upper.text, kUpperDone);
    EXPECT_FALSE(upper.bMainDialogSeen);
    EXPECT_EQ(upper.dwExitCode, 0u);
    EXPECT_EQ(dir.Names(kMixedFolder),
              (Names{L"Archiv", L"BRIEF.DOC", L"NOEXT", L"\u00C4RGER.TXT", L"\u0391\u0392\u0393.TXT"}));
    EXPECT_EQ(dir.Names(std::wstring(kMixedFolder) + L"\\Archiv"), Names{L"Inner.TXT"});
    EXPECT_EQ(dir.Names(), (Names{L"Daneben.TXT", kMixedFolder}));
}

// A drive's root, quoted as Explorer's "%1" hands it over ("X:\" with the quote after the
// backslash), and a network path (Wine's \\server\share is the prefix's dosdevices/unc).
TEST(CommandLineRun, DriveRootAndNetworkPathAreRenamed) {
    TestDrive drive;
    TempDirectory root(drive.Root());
    root.AddFile(L"Karte.JPG");
    root.AddDirectory(L"DCIM");
    EndBox rootRun = RunToEnd(L"/klein " + Quoted(drive.Root()), root.Path());
    EXPECT_EQ(rootRun.text, kLowerDone);
    EXPECT_EQ(rootRun.dwExitCode, 0u);
    EXPECT_EQ(root.Names(), (Names{L"DCIM", L"karte.jpg"}));

    TempDirectory shared;
    AddMixedNames(shared, L"Ordner");
    {
        NetworkShare share(shared.Path());
        EndBox networkRun = RunToEnd(L"/gross " + Quoted(share.Path() + L"\\Ordner"), shared.Path());
        EXPECT_EQ(networkRun.text, kUpperDone);
        EXPECT_EQ(networkRun.dwExitCode, 0u);
    }
    EXPECT_EQ(shared.Names(L"Ordner"),
              (Names{L"Archiv", L"BRIEF.DOC", L"NOEXT", L"\u00C4RGER.TXT", L"\u0391\u0392\u0393.TXT"}));
}

// A file another program holds open keeps its name: the box names it, the others are renamed,
// and the exit code is 1.
TEST(CommandLineRun, HeldFileIsNamedInTheEndBoxAndTheExitCodeIsOne) {
    TempDirectory dir;
    dir.AddFile(L"Gesperrt.TXT");
    dir.AddFile(L"Frei.TXT");
    CFileHandle held = dir.HoldOpen(L"Gesperrt.TXT");
    ASSERT_TRUE(held);
    EndBox box = RunToEnd(L"/klein " + Quoted(dir.Path()), dir.Path());
    EXPECT_EQ(box.text, std::wstring(kNotAll) + L"\nGesperrt.TXT");
    EXPECT_EQ(box.dwExitCode, 1u);
    held.Close();
    EXPECT_EQ(dir.Names(), (Names{L"Gesperrt.TXT", L"frei.txt"}));
}

// Whatever does not make one run gets the box that says what is wrong and how the program is
// called, exit code 2, and nothing is renamed: not in the directory named, not in the current one.
TEST(CommandLineRun, BadCommandLinesShowWhatIsWrongEndWithTwoAndRenameNothing) {
    TempDirectory dir;
    dir.AddFile(L"Brief.DOC");
    dir.AddDirectory(L"Sub");
    dir.AddFile(L"Sub\\Notiz.TXT");
    const std::wstring path = dir.Path();
    const struct {
        std::wstring arguments;
        std::wstring said;
    } cases[] = {
        {L"/klein " + Quoted(path + L"\\Fehlt"), L"Das Verzeichnis \"" + path + L"\\Fehlt\" gibt es nicht."},
        {L"/klein Fehlt\\", L"Das Verzeichnis \"" + path + L"\\Fehlt\" gibt es nicht."},
        {L"/gross " + Quoted(path + L"\\Brief.DOC"), L"\"" + path + L"\\Brief.DOC\" ist eine Datei, kein Verzeichnis."},
        {L"/klein /gross Sub", L"/klein und /gross schlie\u00DFen einander aus"},
        {L"/klein Sub Sub", L"Nur ein Verzeichnis, bitte: \"Sub\" und \"Sub\" sind zwei."},
        {L"/klein", L"Es fehlt das Verzeichnis."},
        {L"/klein /r Sub", L"Unbekannter Schalter: \"/r\"."},
    };
    for (const auto& c : cases) {
        EndBox box = RunToEnd(c.arguments, path);
        EXPECT_EQ(box.text.substr(0, c.said.size()), c.said) << Utf8(c.arguments) << ": " << Utf8(box.text);
        EXPECT_NE(box.text.find(kUsage), std::wstring::npos) << Utf8(box.text);
        EXPECT_FALSE(box.bMainDialogSeen);
        EXPECT_EQ(box.dwExitCode, 2u) << Utf8(c.arguments);
    }
    EXPECT_EQ(dir.Names(), (Names{L"Brief.DOC", L"Sub"}));
    EXPECT_EQ(dir.Names(L"Sub"), Names{L"Notiz.TXT"});
}

// /still: no window at all; the end box's text on standard output as UTF-8 lines, a wrong
// command line's text on standard error, and the end as the exit code.
TEST(CommandLineRun, QuietRunsWriteTheirEndToTheStreamsAndShowNoWindow) {
    TempDirectory dir;
    dir.AddFile(L"Frei.TXT");
    dir.AddFile(L"Gesperrt \u03A9.TXT");
    const std::wstring path = Quoted(dir.Path());
    {
        CFileHandle held = dir.HoldOpen(L"Gesperrt \u03A9.TXT");
        ASSERT_TRUE(held);
        QuietEnd end = RunQuietly(L"/gross " + path, dir.Path());
        EXPECT_EQ(end.dwExitCode, 1u);
        EXPECT_FALSE(end.bWindowSeen);
        EXPECT_EQ(end.output, Utf8(std::wstring(kNotAll) + L"\r\nGesperrt \u03A9.TXT\r\n"));
        EXPECT_EQ(end.errors, "");
    }
    EXPECT_EQ(dir.Names(), (Names{L"FREI.TXT", L"Gesperrt \u03A9.TXT"}));

    QuietEnd finish = RunQuietly(L"/gross " + path, dir.Path());
    EXPECT_EQ(finish.dwExitCode, 0u);
    EXPECT_FALSE(finish.bWindowSeen);
    EXPECT_EQ(finish.output, Utf8(std::wstring(kUpperDone) + L"\r\n"));
    EXPECT_EQ(dir.Names(), (Names{L"FREI.TXT", L"GESPERRT \u03A9.TXT"}));

    // All in case already, and an empty directory: nothing to do is success.
    EXPECT_EQ(RunQuietly(L"/gross " + path, dir.Path()).dwExitCode, 0u);
    dir.AddDirectory(L"Leer");
    QuietEnd empty = RunQuietly(L"/klein Leer", dir.Path());
    EXPECT_EQ(empty.dwExitCode, 0u);
    EXPECT_EQ(empty.output, Utf8(std::wstring(kLowerDone) + L"\r\n"));

    QuietEnd wrong = RunQuietly(L"/klein Fehlt", dir.Path());
    EXPECT_EQ(wrong.dwExitCode, 2u);
    EXPECT_FALSE(wrong.bWindowSeen);
    EXPECT_EQ(wrong.output, "");
    EXPECT_EQ(wrong.errors.rfind(
                  Utf8(L"Das Verzeichnis \"" + dir.Path() + L"\\Fehlt\" gibt es nicht.\r\n\r\nAufruf:\r\n"), 0),
              0u)
        << wrong.errors;
    EXPECT_EQ(dir.Names(), (Names{L"FREI.TXT", L"GESPERRT \u03A9.TXT", L"Leer"}));
}

// Any depth, and a name that path parsing would change: "Musik." past 300 characters, beside
// a "Musik" that must not be touched.
TEST(CommandLineRun, DeepDirectoryWithATrailingDotIsItself) {
    TempDirectory dir;
    std::wstring deep;
    for (wchar_t letter : {L'a', L'b', L'c', L'd', L'e'}) {
        deep += (deep.empty() ? L"" : L"\\") + std::wstring(60, letter);
        dir.AddDirectory(deep);
    }
    for (const wchar_t* music : {L"\\Musik", L"\\Musik."}) {
        dir.AddDirectory(deep + music);
        dir.AddFile(deep + music + L"\\Lied.MP3");
    }
    std::wstring target = dir.Path() + L"\\" + deep + L"\\Musik.";
    ASSERT_GT(target.size(), 300u);
    QuietEnd end = RunQuietly(L"/klein " + Quoted(target + L"\\"), dir.Path());
    EXPECT_EQ(end.dwExitCode, 0u) << end.output << end.errors;
    EXPECT_EQ(dir.Names(deep + L"\\Musik."), Names{L"lied.mp3"});
    EXPECT_EQ(dir.Names(deep + L"\\Musik"), Names{L"Lied.MP3"});
}

// A quiet run that lasts past the half second after which a run shows its progress window
// shows none either, and finishes. (5,000 files took 2.5 to 3.1 s under Wine here.)
TEST(CommandLineRun, LongQuietRunShowsNoProgressWindow) {
    TempDirectory dir;
    std::vector<std::wstring> names = ManyFiles(5000);
    dir.AddFilesOnLinux(names);
    QuietEnd end = RunQuietly(L"/klein " + Quoted(dir.Path()), dir.Path());
    EXPECT_FALSE(end.bWindowSeen);
    EXPECT_EQ(end.dwExitCode, 0u);
    EXPECT_EQ(end.output, Utf8(std::wstring(kLowerDone) + L"\r\n"));
    EXPECT_EQ(ExpectEveryFileWhole(dir, names), names.size());
}

namespace {

// A lower-case run from the command line over 20,000 files, watched from its progress window on.
struct LongCommandLineRun {
    void Start() {
        ASSERT_TRUE(umbrix.Started());
        hProgress = WaitForWindow(umbrix.Id(), kProgressCaption);
        ASSERT_NE(hProgress, nullptr) << "no progress window";
    }

    ManyFilesDirectory files;  // filled before the program starts
    UmbrixProcess umbrix{L"/klein " + Quoted(files.dir.Path()), files.dir.Path()};
    HWND hProgress = nullptr;
};

}  // namespace

// A long run from the command line: its progress window stands alone (no owner, so a task-bar
// button of its own) in the middle of the screen, and Abbrechen stops it with every file whole;
// the end box is the stopped run's, and the exit code 3.
TEST(CommandLineRun, LongRunShowsItsOwnProgressWindowAndAbbrechenEndsWithThree) {
    LongCommandLineRun run;
    ASSERT_NO_FATAL_FAILURE(run.Start());
    const ManyFilesDirectory& files = run.files;
    const UmbrixProcess& umbrix = run.umbrix;
    HWND hProgress = run.hProgress;
    EXPECT_EQ(GetWindow(hProgress, GW_OWNER), nullptr);
    EXPECT_EQ(GetWindowLongW(hProgress, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
    RECT window{}, area{};
    GetWindowRect(hProgress, &window);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    EXPECT_NEAR(window.left + window.right, area.left + area.right, 2);
    EXPECT_NEAR(window.top + window.bottom, area.top + area.bottom, 2);

    Click(GetDlgItem(hProgress, IDCANCEL));
    EndBox box = AnswerEndBox(umbrix);
    EXPECT_FALSE(box.bMainDialogSeen);
    EXPECT_EQ(box.text.rfind(L"Das Umbenennen wurde abgebrochen. ", 0), 0u) << Utf8(box.text);
    EXPECT_EQ(box.dwExitCode, 3u);
    size_t renamed = ExpectEveryFileWhole(files.dir, files.names);
    EXPECT_LT(renamed, files.names.size()) << "the run was not stopped";
}

// Started from a command prompt without redirection, a quiet run has no standard handles: it
// writes its end box's text to the prompt's console, in the console's own characters.
TEST(CommandLineRun, QuietRunWritesToTheConsoleItWasStartedFrom) {
    TempDirectory dir;
    dir.AddFile(L"Frei.TXT");
    dir.AddFile(L"Gesperrt \u03A9.TXT");
    CFileHandle held = dir.HoldOpen(L"Gesperrt \u03A9.TXT");
    ASSERT_TRUE(held);
    OwnConsole console;
    ASSERT_TRUE(console.Made()) << GetLastError();
    DWORD dwExitCode = STILL_ACTIVE;
    {
        UmbrixProcess umbrix(L"/still /klein " + Quoted(dir.Path()), dir.Path(), UmbrixProcess::Streams::Absent);
        dwExitCode = umbrix.WaitForExit();
    }
    std::vector<std::wstring> lines = console.Lines();
    EXPECT_EQ(dwExitCode, 1u);
    EXPECT_EQ(lines, (std::vector<std::wstring>{kNotAll, L"Gesperrt \u03A9.TXT", L""}));
}

// The session ending during a run from the command line: by the time the progress window has
// said yes, the run has stopped with every file whole; no box follows, and the exit code is 3.
TEST(CommandLineRun, SessionEndMidRunStopsTheRunBeforeTheAnswer) {
    LongCommandLineRun run;
    ASSERT_NO_FATAL_FAILURE(run.Start());
    const ManyFilesDirectory& files = run.files;
    const UmbrixProcess& umbrix = run.umbrix;
    HWND hProgress = run.hProgress;
    DWORD_PTR answer = 0;
    ASSERT_NE(SendMessageTimeoutW(hProgress, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 20000, &answer), 0);
    EXPECT_EQ(answer, TRUE);
    size_t renamed = ExpectEveryFileWhole(files.dir, files.names);
    EXPECT_LT(renamed, files.names.size()) << "the run was not stopped";
    EXPECT_EQ(umbrix.WaitForExit(), 3u);
    EXPECT_EQ(ExpectEveryFileWhole(files.dir, files.names), renamed) << "a file was renamed after the answer";
}

namespace {

// The program's output as the lines a script reads: UTF-8, CR LF after each.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// What every usage holds: each switch, the exit codes and examples.
void ExpectUsage(const std::vector<std::string>& lines) {
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "Aufruf:");
    std::string all;
    for (const std::string& line : lines) all += line + "\n";
    for (const wchar_t* part : {L"/klein", L"/gross", L"/endung", L"/name", L"/vorschau", L"/r\u00FCckg\u00E4ngig",
                                L"/still", L"/?", L"--help",
                                L"Exit-Code:", L"3  abgebrochen", L"Beispiele:", L"umbrix /still /klein ."})
        EXPECT_NE(all.find(Utf8(part)), std::string::npos) << Utf8(part);
}

}  // namespace

// Help in every spelling, alone or after other switches: the usage on standard output, exit
// code 0, no window, nothing renamed; in the console the program was started from when nothing
// is redirected; in a box when there is neither.
TEST(CommandLineRun, HelpInEverySpellingShowsTheUsageAndDoesNothingElse) {
    TempDirectory dir;
    dir.AddFile(L"Brief.DOC");
    std::string first;
    for (const wchar_t* arguments : {L"/?", L"-?", L"/h", L"/HILFE", L"--help", L"/klein /?", L"/gross . -h",
                                     L"/klein /gross /rekursiv /hilfe", L"/rueckgaengig /?"}) {
        UmbrixProcess umbrix(arguments, dir.Path(), UmbrixProcess::Streams::Caught);
        ASSERT_TRUE(umbrix.Started());
        EXPECT_EQ(umbrix.WaitForExit(), 0u) << Utf8(arguments);
        EXPECT_FALSE(ShowsAnyWindow(umbrix.Id())) << Utf8(arguments);
        std::string output = umbrix.Output();
        if (first.empty()) {
            first = output;
            ExpectUsage(Lines(output));
        }
        EXPECT_EQ(output, first) << Utf8(arguments);
        EXPECT_EQ(umbrix.Errors(), "") << Utf8(arguments);
    }
    {
        OwnConsole console;
        ASSERT_TRUE(console.Made());
        UmbrixProcess umbrix(L"/?", dir.Path(), UmbrixProcess::Streams::Absent);
        EXPECT_EQ(umbrix.WaitForExit(), 0u);
        std::vector<std::string> shown;
        for (const std::wstring& line : console.Lines()) shown.push_back(Utf8(line));
        ExpectUsage(shown);
    }
    UmbrixProcess boxed(L"/hilfe", dir.Path(), UmbrixProcess::Streams::Absent);  // no console: a box
    HWND hBox = WaitForMessageBox(boxed.Id());
    ASSERT_NE(hBox, nullptr);
    std::wstring text = AnswerMessageBox(hBox);
    EXPECT_EQ(boxed.WaitForExit(), 0u);
    EXPECT_EQ(text.rfind(L"Aufruf:\n", 0), 0u) << Utf8(text);
    EXPECT_NE(text.find(L"Beispiele:"), std::wstring::npos);
    EXPECT_EQ(dir.Names(), Names{L"Brief.DOC"});
}

// A quiet run names every file that kept its name, however many: a script learns all of them.
// (25 case twins: "a00.txt" beside "A00.TXT" keeps the upper-case one.)
TEST(CommandLineRun, QuietRunNamesEveryFileThatKeptItsName) {
    TempDirectory dir;
    std::vector<std::wstring> twins;
    for (int i = 0; i < 25; ++i) {
        std::wstring number = std::to_wstring(10 + i);
        twins.push_back(L"A" + number + L".TXT");
        twins.push_back(L"a" + number + L".txt");
    }
    dir.AddFilesOnLinux(twins);
    QuietEnd end = RunQuietly(L"/klein " + Quoted(dir.Path()), dir.Path());
    EXPECT_EQ(end.dwExitCode, 1u);
    std::vector<std::string> expected{Utf8(kNotAll)};
    for (int i = 0; i < 25; ++i) expected.push_back("A" + std::to_string(10 + i) + ".TXT");
    EXPECT_EQ(Lines(end.output), expected);
    EXPECT_EQ(end.errors, "");
}

// /rückgängig takes the last run back as the button does: with windows after asking ("Nein"
// ends with 3 and changes nothing), with /still without asking; nothing left to take back is
// said on standard error with 2.
TEST(CommandLineRun, UndoFromTheCommandLineAsksWithWindowsAndNotWhenQuiet) {
    TempDirectory dir;
    dir.AddFile(L"Brief.DOC");
    dir.AddFile(L"Karte.JPG");
    const Names before{L"Brief.DOC", L"Karte.JPG"}, after{L"brief.doc", L"karte.jpg"};
    ASSERT_EQ(RunQuietly(L"/klein " + Quoted(dir.Path()), dir.Path()).dwExitCode, 0u);
    ASSERT_EQ(dir.Names(), after);

    for (int nAnswer : {IDNO, IDYES}) {
        UmbrixProcess undo(L"/r\u00FCckg\u00E4ngig", dir.Path());
        HWND hQuestion = WaitForMessageBox(undo.Id());
        ASSERT_NE(hQuestion, nullptr);
        EXPECT_EQ(AnswerMessageBox(hQuestion, nAnswer),
                  L"Die letzte Umbenennung r\u00FCckg\u00E4ngig machen?\n\n" + dir.Path() +
                      L"\n2 Dateien erhalten ihre fr\u00FCheren Namen zur\u00FCck.");
        if (nAnswer == IDNO) {
            EXPECT_EQ(undo.WaitForExit(), 3u);
            EXPECT_EQ(dir.Names(), after);
            continue;
        }
        for (int i = 0; i < 1000 && IsWindow(hQuestion); ++i) Sleep(10);  // the end box comes next
        EndBox box = AnswerEndBox(undo);
        EXPECT_EQ(box.text, L"Ok, alle Dateien haben ihre fr\u00FCheren Namen zur\u00FCck.");
        EXPECT_EQ(box.dwExitCode, 0u);
    }
    EXPECT_EQ(dir.Names(), before);

    ASSERT_EQ(RunQuietly(L"/gross " + Quoted(dir.Path()), dir.Path()).dwExitCode, 0u);
    QuietEnd quiet = RunQuietly(L"/rueckgaengig", dir.Path());
    EXPECT_EQ(quiet.dwExitCode, 0u);
    EXPECT_FALSE(quiet.bWindowSeen);
    EXPECT_EQ(quiet.output, Utf8(L"Ok, alle Dateien haben ihre fr\u00FCheren Namen zur\u00FCck.\r\n"));
    EXPECT_EQ(dir.Names(), before);

    QuietEnd nothing = RunQuietly(L"/rueckgaengig", dir.Path());
    EXPECT_EQ(nothing.dwExitCode, 2u);
    EXPECT_EQ(nothing.output, "");
    EXPECT_EQ(nothing.errors, Utf8(L"Es gibt keine Umbenennung, die r\u00FCckg\u00E4ngig gemacht werden kann.\r\n"));
}

namespace {

std::map<std::wstring, std::string> Contents(const TempDirectory& dir) {
    std::map<std::wstring, std::string> contents;
    for (const std::wstring& name : dir.Names()) contents[name] = dir.Contents(name);
    return contents;
}

}  // namespace

// The dry run against the real run on the same directory, line for line, for each part: case
// twins, a name no program can address, names outside the code page. It renames nothing,
// writes no journal, shows no window, and ends as the run then ends.
TEST(CommandLineRun, DryRunSaysLineForLineWhatTheRunThenDoes) {
    const struct {
        const wchar_t* switches;
        const wchar_t* counts;
    } cases[] = {
        {L"/klein", L"7 Dateien, davon 3 umzubenennen, 3 davon behalten ihren Namen"},
        {L"/klein /endung", L"7 Dateien, davon 3 umzubenennen, 2 davon behalten ihren Namen"},
        {L"/gross /name", L"7 Dateien, davon 2 umzubenennen, 3 davon behalten ihren Namen"},
    };
    const std::wstring keeps = L": beh\u00E4lt seinen Namen (";
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf8(c.switches));
        TempDirectory dir;
        dir.AddFilesOnLinux({L"IMG_1234.JPG", L"Foto.JPG", L"Foto.jpg", L"\u0391\u03B2\u03B3.\u0394\u03B5\u03B6",
                             L"\u65E5\u672C.TXT", L"schon.txt"});
        RunUnixShell("cd " + ShellQuote(UnixPath(dir.Path())) + " && printf x > \"$(printf 'Bad\\377Name.Txt')\"");
        const std::wstring journal = RunJournalPath();
        const std::string journalBefore = ReadFileBytes(journal);
        const std::map<std::wstring, std::string> before = Contents(dir);

        QuietEnd dry = RunQuietly(L"/vorschau " + std::wstring(c.switches) + L" " + Quoted(dir.Path()), dir.Path());
        EXPECT_EQ(dry.dwExitCode, 1u);
        EXPECT_FALSE(dry.bWindowSeen);
        EXPECT_EQ(dry.errors, "");
        EXPECT_EQ(Contents(dir), before) << "the dry run renamed";
        EXPECT_EQ(ReadFileBytes(journal), journalBefore) << "the dry run wrote a journal";

        std::map<std::wstring, std::string> expected = before;
        std::vector<std::wstring> kept;
        std::vector<std::wstring> lines = OutputLines(dry.output);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back(), c.counts);
        lines.pop_back();
        for (const std::wstring& line : lines) {
            size_t arrow = line.find(L" -> ");
            size_t keep = line.find(keeps);
            if (arrow != std::wstring::npos) {
                EXPECT_TRUE(kept.empty()) << "a rename after the kept files: " << Utf8(line);
                std::wstring from = line.substr(0, arrow), to = line.substr(arrow + 4);
                expected[to] = before.at(from);
                expected.erase(from);
            } else {
                ASSERT_NE(keep, std::wstring::npos) << Utf8(line);
                EXPECT_EQ(line.back(), L')');
                kept.push_back(line.substr(0, keep));
            }
        }

        QuietEnd run = RunQuietly(std::wstring(c.switches) + L" " + Quoted(dir.Path()), dir.Path());
        EXPECT_EQ(run.dwExitCode, dry.dwExitCode);
        EXPECT_EQ(Contents(dir), expected);
        std::vector<std::wstring> runLines = OutputLines(run.output);
        ASSERT_FALSE(runLines.empty());
        EXPECT_EQ(runLines[0], kNotAll);
        EXPECT_EQ(std::vector<std::wstring>(runLines.begin() + 1, runLines.end()), kept);
    }
    QuietEnd missing = RunQuietly(L"/vorschau /klein Fehlt", TempDirectory().Path());
    EXPECT_EQ(missing.dwExitCode, 2u);
    EXPECT_EQ(missing.output, "");
}
