// Times RenameFilesToCase on large directories against two loops of plain platform calls:
// the cheapest case change we know of, and a one-step rename to another name, which is what
// every renaming program pays at least. Every run is checked on disk afterwards, because a
// case-only rename can report success and change nothing.
//
//   rename_bench.exe [SIZE...]     sizes also from UMBRIX_BENCH_SIZES; default 1000 5000 20000
#include "bench/HeapCounter.h"
#include "platform/AfxMessageBox.h"
#include "renaming/RenameFilesToCase.h"
#include "tests/support/TempDirectory.h"
#include "tests/support/UnixShell.h"

#include <windows.h>
#include <winternl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::wstring>;

// Stems in three spellings, so that each direction changes every name; one holds a letter
// of the code page beyond ASCII.
struct Stem {
    const wchar_t* mixed;
    const wchar_t* lower;
    const wchar_t* upper;
};
const Stem kStems[] = {
    {L"Report-", L"report-", L"REPORT-"},
    {L"Photo_", L"photo_", L"PHOTO_"},
    {L"Notes ", L"notes ", L"NOTES "},
    {L"\u00DCbersicht-", L"\u00FCbersicht-", L"\u00DCBERSICHT-"},
};
const Stem kExtensions[] = {{L".Txt", L".txt", L".TXT"}, {L".jpG", L".jpg", L".JPG"}, {L".Doc", L".doc", L".DOC"}};

enum class Spelling { Mixed, Lower, Upper, Moved };

const wchar_t* Pick(const Stem& stem, Spelling spelling) {
    return spelling == Spelling::Upper ? stem.upper : spelling == Spelling::Mixed ? stem.mixed : stem.lower;
}

// Names of 14 characters or more: none fits 8.3, as with most names people give files.
Names MakeNames(int count, Spelling spelling) {
    Names names;
    for (int i = 0; i < count; ++i) {
        wchar_t number[16];
        swprintf(number, 16, L"%05d", i);
        std::wstring name = Pick(kStems[i % 4], spelling) + std::wstring(number) + Pick(kExtensions[i % 3], spelling);
        names.push_back(spelling == Spelling::Moved ? L"Moved " + name : name);
    }
    return names;
}

std::string Ansi(const std::wstring& wide) { return AfxFromWide(wide.c_str(), static_cast<int>(wide.size())).str(); }

[[noreturn]] void Fail(const std::string& what) {
    std::printf("FAILED: %s\n", what.c_str());
    std::fflush(stdout);
    std::exit(1);
}

// Made on the Linux side: through Win32 each new name would cost a scan of the directory.
void CreateFiles(const TempDirectory& dir, const Names& names) {
    std::string script = "cd " + ShellQuote(UnixPath(dir.Path())) + " || exit 1\n";
    for (const std::wstring& name : names) script += ": > " + ShellQuote(Utf8(name)) + "\n";
    RunUnixShell(script);
}

void Verify(const TempDirectory& dir, Names expected, const char* step) {
    std::sort(expected.begin(), expected.end());
    Names actual = dir.Names();
    if (actual == expected) return;
    Names missing;
    std::set_difference(expected.begin(), expected.end(), actual.begin(), actual.end(), std::back_inserter(missing));
    std::ostringstream text;
    text << step << ": " << actual.size() << " names on disk, " << missing.size() << " of " << expected.size()
         << " expected names missing";
    if (!missing.empty()) text << ", e.g. \"" << Utf8(missing.front()) << "\"";
    // Fail ends the process without destructors, so the directory stays for a look.
    text << " (directory left in place: " << Utf8(dir.Path()) << ")";
    Fail(text.str());
}

class Stopwatch {
public:
    Stopwatch() { QueryPerformanceCounter(&m_start); }
    double Seconds() const {
        LARGE_INTEGER now, frequency;
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&frequency);
        return double(now.QuadPart - m_start.QuadPart) / double(frequency.QuadPart);
    }

private:
    LARGE_INTEGER m_start;
};

struct Measurement {
    double seconds;
    double bytesPerEntry;  // peak heap during the run; 0 where not measured
};

Measurement TimeRenameFilesToCase(const TempDirectory& dir, CaseDirection direction, int count) {
    const char* expected = direction == CaseDirection::Lower ? "Ok, alle Dateien in kleinbuchstaben umbenannt."
                                                             : "Ok, alle Dateien in GROSSBUCHSTABEN umbenannt.";
    std::vector<std::string> texts;
    texts.reserve(4);
    MessageBoxHandler previous = AfxSetMessageBoxHandler([&texts](const MessageBoxRequest& request) {
        texts.push_back(request.text.str());
        return IDOK;
    });
    std::string path = dir.AnsiPath();
    HeapCounter::ResetPeak();
    size_t before = HeapCounter::BytesInUse();
    Stopwatch watch;
    RenameFilesToCase(direction, CString(path.c_str()));
    double seconds = watch.Seconds();
    double bytes = double(HeapCounter::PeakBytes() - before) / count;
    AfxSetMessageBoxHandler(previous);
    if (texts != std::vector<std::string>{expected})
        Fail("RenameFilesToCase showed " + std::to_string(texts.size()) + " boxes, first \"" +
             (texts.empty() ? std::string() : texts.front()) + "\"");
    return {seconds, bytes};
}

// Wine's SetFileInformationByHandle refuses FileRenameInfo (error 87), so this goes to the
// native call beneath it; FILE_RENAME_INFO has the layout of FILE_RENAME_INFORMATION.
bool RenameByHandle(HANDLE file, HANDLE directory, const std::wstring& name) {
    std::vector<char> buffer(sizeof(FILE_RENAME_INFO) + name.size() * sizeof(wchar_t));
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    info->ReplaceIfExists = FALSE;
    info->RootDirectory = directory;
    info->FileNameLength = static_cast<DWORD>(name.size() * sizeof(wchar_t));
    std::copy(name.begin(), name.end(), info->FileName);
    IO_STATUS_BLOCK status;
    return NtSetInformationFile(file, &status, info, static_cast<ULONG>(buffer.size()), FileRenameInformation) >= 0;
}

HANDLE OpenDirectory(const std::wstring& path) {
    HANDLE handle = CreateFileW(path.c_str(), FILE_LIST_DIRECTORY | SYNCHRONIZE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) Fail("cannot open " + Utf8(path));
    return handle;
}

// The fewest calls we found for a case change that really happens: open the file once, move
// it by handle into an empty sub-folder (its look-up scans nothing) and by handle back under
// the new name (one scan of the directory). No checks, no listing, no bookkeeping.
double TimeBareCaseLoop(const TempDirectory& dir, const Names& from, const Names& to) {
    std::wstring stagingPath = dir.Path() + L"\\.bench-staging";
    SetCurrentDirectoryW(dir.Path().c_str());
    Stopwatch watch;
    if (!CreateDirectoryW(stagingPath.c_str(), nullptr)) Fail("cannot create the staging folder");
    HANDLE directory = OpenDirectory(dir.Path());
    HANDLE staging = OpenDirectory(stagingPath);
    for (size_t i = 0; i < from.size(); ++i) {
        HANDLE file = CreateFileW(from[i].c_str(), DELETE | SYNCHRONIZE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                                  nullptr);
        if (file == INVALID_HANDLE_VALUE) continue;
        if (RenameByHandle(file, staging, from[i])) RenameByHandle(file, directory, to[i]);
        CloseHandle(file);
    }
    CloseHandle(staging);
    CloseHandle(directory);
    RemoveDirectoryW(stagingPath.c_str());
    return watch.Seconds();
}

double TimeOneStepLoop(const TempDirectory& dir, const Names& from, const Names& to) {
    std::vector<std::string> ansiFrom, ansiTo;
    for (size_t i = 0; i < from.size(); ++i) {
        ansiFrom.push_back(Ansi(from[i]));
        ansiTo.push_back(Ansi(to[i]));
    }
    SetCurrentDirectoryW(dir.Path().c_str());
    Stopwatch watch;
    for (size_t i = 0; i < from.size(); ++i) MoveFileExA(ansiFrom[i].c_str(), ansiTo[i].c_str(), 0);
    return watch.Seconds();
}

void Report(int count, const char* what, double seconds, double oneStep, double bytesPerEntry) {
    std::printf("%6d files  %-28s %9.2f s %9.0f files/s %6.2fx one-step", count, what, seconds, count / seconds,
                seconds / oneStep);
    if (bytesPerEntry > 0) std::printf("  %6.0f heap bytes/entry", bytesPerEntry);
    std::printf("\n");
    std::fflush(stdout);
}

void Progress(int count, const char* what, double seconds) {
    std::printf("%6d files  (%s: %.2f s)\n", count, what, seconds);
    std::fflush(stdout);
}

// Returns RenameFilesToCase's slower direction against the one-step loop.
double BenchSize(int count) {
    TempDirectory dir;
    CreateFiles(dir, MakeNames(count, Spelling::Mixed));
    Verify(dir, MakeNames(count, Spelling::Mixed), "creating the files");

    Measurement lower = TimeRenameFilesToCase(dir, CaseDirection::Lower, count);
    Verify(dir, MakeNames(count, Spelling::Lower), "RenameFilesToCase to lower case");
    Progress(count, "RenameFilesToCase lower", lower.seconds);
    Measurement upper = TimeRenameFilesToCase(dir, CaseDirection::Upper, count);
    Verify(dir, MakeNames(count, Spelling::Upper), "RenameFilesToCase to upper case");
    Progress(count, "RenameFilesToCase upper", upper.seconds);

    double bare = TimeBareCaseLoop(dir, MakeNames(count, Spelling::Upper), MakeNames(count, Spelling::Lower));
    Verify(dir, MakeNames(count, Spelling::Lower), "bare case loop");
    Progress(count, "bare case loop", bare);
    double oneStep = TimeOneStepLoop(dir, MakeNames(count, Spelling::Lower), MakeNames(count, Spelling::Moved));
    Verify(dir, MakeNames(count, Spelling::Moved), "one-step rename loop");

    Report(count, "RenameFilesToCase lower", lower.seconds, oneStep, lower.bytesPerEntry);
    Report(count, "RenameFilesToCase upper", upper.seconds, oneStep, upper.bytesPerEntry);
    Report(count, "bare case loop (by handle)", bare, oneStep, 0);
    Report(count, "one-step MoveFileExA loop", oneStep, oneStep, 0);
    return std::max(lower.seconds, upper.seconds) / oneStep;
}

std::vector<int> Sizes(int argc, char** argv) {
    std::string text;
    for (int i = 1; i < argc; ++i) text += std::string(argv[i]) + " ";
    if (text.empty() && std::getenv("UMBRIX_BENCH_SIZES")) text = std::getenv("UMBRIX_BENCH_SIZES");
    if (text.empty()) text = "1000 5000 20000";
    std::vector<int> sizes;
    std::istringstream words(text);
    for (std::string word; words >> word;) {
        int size = std::atoi(word.c_str());
        if (size <= 0) Fail("not a size: " + word);
        sizes.push_back(size);
    }
    return sizes;
}

}  // namespace

int main(int argc, char** argv) {
    const double kTarget = 1.2;
    std::printf("rename benchmark: RenameFilesToCase against plain rename loops (target %.1fx at 20000)\n", kTarget);
    for (int count : Sizes(argc, argv)) {
        double ratio = BenchSize(count);
        if (count >= 20000)
            std::printf("%6d files  slower direction %.2fx one-step: target %s\n", count, ratio,
                        ratio <= kTarget ? "met" : "MISSED");
    }
    return 0;
}
