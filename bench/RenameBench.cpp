// Times RenameFilesToCase on large directories against the cheapest correct case change we know
// of, a bare loop of one-step renames between exact paths, in the same run on the same disk;
// and against the renaming engine called on this thread, without the worker thread and the
// progress window that RenameFilesToCase adds.
// Every run is checked on disk afterwards, because a case-only rename can report success and
// change nothing.
//
//   rename_bench.exe [SIZE...]     sizes also from UMBRIX_BENCH_SIZES; default 1000 5000 20000 100000
#include "app/RenameFilesToCase.h"
#include "bench/HeapCounter.h"
#include "bench/Stopwatch.h"
#include "filesystem/ExtendedPath.h"
#include "platform/AfxMessageBox.h"
#include "renaming/ChangeCaseOnDisk.h"
#include "tests/support/TempDirectory.h"
#include "tests/support/UnixShell.h"
#include "wine/WineHost.h"

#include <windows.h>

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

enum class Spelling { Mixed, Lower, Upper };

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
        names.push_back(name);
    }
    return names;
}

[[noreturn]] void Fail(const std::string& what) {
    std::printf("FAILED: %s\n", what.c_str());
    std::fflush(stdout);
    std::exit(1);
}

// Made on the Linux side: through Win32 each new name would cost a scan of the directory.
void CreateFiles(const TempDirectory& dir, const Names& names) {
    std::string script = "cd " + ShellQuote(UnixPath(dir.Path())) + " || exit 1\n";
    for (const std::wstring& name : names) script += ": > " + ShellQuote(Utf8(name)) + "\n";
    RunUnixShell(script, 600000);
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

struct Measurement {
    double seconds;
    double bytesPerEntry;  // peak heap during the run; 0 where not measured
};

Measurement TimeRenameFilesToCase(const TempDirectory& dir, CaseDirection direction, int count) {
    const wchar_t* expected = direction == CaseDirection::Lower ? L"Ok, alle Dateien in kleinbuchstaben umbenannt."
                                                                : L"Ok, alle Dateien in GROSSBUCHSTABEN umbenannt.";
    std::vector<std::wstring> texts;
    texts.reserve(4);
    MessageBoxHandler previous = AfxSetMessageBoxHandler([&texts](const MessageBoxRequest& request) {
        texts.push_back(request.text);
        return IDOK;
    });
    HeapCounter::ResetPeak();
    size_t before = HeapCounter::BytesInUse();
    Stopwatch watch;
    RenameFilesToCase(direction, dir.Path());
    double seconds = watch.Seconds();
    double bytes = double(HeapCounter::PeakBytes() - before) / count;
    AfxSetMessageBoxHandler(previous);
    if (texts != std::vector<std::wstring>{expected})
        Fail("RenameFilesToCase showed " + std::to_string(texts.size()) + " boxes, first \"" +
             (texts.empty() ? std::string() : Utf8(texts.front())) + "\"");
    return {seconds, bytes};
}

// The fastest correct case change we know of on this platform: under Wine one MoveFileExW per
// file between exact paths of its Unix namespace, with every path built beforehand; on Windows
// the same through extended paths. No listing, no checks, no bookkeeping.
double TimeBareLoop(const TempDirectory& dir, const Names& from, const Names& to) {
    std::wstring directory = dir.ExactPath();
    std::vector<std::wstring> fromPaths, toPaths;
    for (size_t i = 0; i < from.size(); ++i) {
        fromPaths.push_back(AfxJoinPath(directory, from[i]));
        toPaths.push_back(AfxJoinPath(directory, to[i]));
    }
    Stopwatch watch;
    for (size_t i = 0; i < fromPaths.size(); ++i) MoveFileExW(fromPaths[i].c_str(), toPaths[i].c_str(), 0);
    return watch.Seconds();
}

// The same run without the worker and the progress window: the engine on this thread.
double TimeEngineHere(const TempDirectory& dir, CaseDirection direction) {
    std::wstring directory = wine::ExactPath(dir.Path());
    Stopwatch watch;
    CaseRunOutcome outcome = ChangeCaseOnDisk(direction, directory);
    double seconds = watch.Seconds();
    if (!outcome.kept.empty()) Fail("the engine kept " + std::to_string(outcome.kept.size()) + " files");
    return seconds;
}

void Report(int count, const char* what, double seconds, double bare, double bytesPerEntry) {
    std::printf("%6d files  %-28s %9.2f s %9.0f files/s %6.2fx bare loop", count, what, seconds, count / seconds,
                seconds / bare);
    if (bytesPerEntry > 0) std::printf("  %6.0f heap bytes/entry", bytesPerEntry);
    std::printf("\n");
    std::fflush(stdout);
}

void Progress(int count, int round, int rounds) {
    std::printf("%6d files  (round %d of %d done)\n", count, round, rounds);
    std::fflush(stdout);
}

struct SizeResult {
    int count;
    double lowerSeconds;
    double upperSeconds;
    double bareLowerSeconds;  // each direction against the bare loop that makes the same change
    double bareUpperSeconds;
    double engineLowerSeconds;  // the engine alone, on this thread
    double engineUpperSeconds;
};

struct Best {
    Measurement lower{1e9, 0}, upper{1e9, 0};
    double bareLower = 1e9, bareUpper = 1e9;
    double engineLower = 1e9, engineUpper = 1e9;
};

void TimeRuns(const TempDirectory& dir, int count, Best& best) {
    Measurement run = TimeRenameFilesToCase(dir, CaseDirection::Lower, count);
    Verify(dir, MakeNames(count, Spelling::Lower), "RenameFilesToCase to lower case");
    best.lower = {std::min(best.lower.seconds, run.seconds), std::max(best.lower.bytesPerEntry, run.bytesPerEntry)};
    run = TimeRenameFilesToCase(dir, CaseDirection::Upper, count);
    Verify(dir, MakeNames(count, Spelling::Upper), "RenameFilesToCase to upper case");
    best.upper = {std::min(best.upper.seconds, run.seconds), std::max(best.upper.bytesPerEntry, run.bytesPerEntry)};
}

void TimeBareLoops(const TempDirectory& dir, int count, Best& best) {
    const Names lower = MakeNames(count, Spelling::Lower), upper = MakeNames(count, Spelling::Upper);
    best.bareLower = std::min(best.bareLower, TimeBareLoop(dir, upper, lower));
    Verify(dir, lower, "bare loop to lower case");
    best.bareUpper = std::min(best.bareUpper, TimeBareLoop(dir, lower, upper));
    Verify(dir, upper, "bare loop to upper case");
}

void TimeEngineRuns(const TempDirectory& dir, int count, Best& best) {
    best.engineLower = std::min(best.engineLower, TimeEngineHere(dir, CaseDirection::Lower));
    Verify(dir, MakeNames(count, Spelling::Lower), "engine to lower case");
    best.engineUpper = std::min(best.engineUpper, TimeEngineHere(dir, CaseDirection::Upper));
    Verify(dir, MakeNames(count, Spelling::Upper), "engine to upper case");
}

// Each timing is the best of a few rounds, so that a busy moment of the machine does not decide.
// Every direction is timed as often as its bare loop and the engine alone, and the three take
// turns going first: the platform now and then runs a whole stretch at a slower speed, which
// must not fall on one side only. Every round starts and ends with the names in upper case (the first starts mixed).
SizeResult BenchSize(int count) {
    const int kRounds = count > 20000 ? 3 : 5;  // a round at 100,000 files takes minutes
    TempDirectory dir;
    CreateFiles(dir, MakeNames(count, Spelling::Mixed));
    Verify(dir, MakeNames(count, Spelling::Mixed), "creating the files");

    Best best;
    void (*const kKinds[])(const TempDirectory&, int, Best&) = {&TimeRuns, &TimeBareLoops, &TimeEngineRuns};
    for (int round = 0; round < kRounds; ++round) {
        for (int i = 0; i < 3; ++i) kKinds[(round + i) % 3](dir, count, best);
        Progress(count, round + 1, kRounds);
    }
    Report(count, "RenameFilesToCase lower", best.lower.seconds, best.bareLower, best.lower.bytesPerEntry);
    Report(count, "RenameFilesToCase upper", best.upper.seconds, best.bareUpper, best.upper.bytesPerEntry);
    Report(count, "bare loop to lower case", best.bareLower, best.bareLower, 0);
    Report(count, "bare loop to upper case", best.bareUpper, best.bareUpper, 0);
    Report(count, "engine alone lower", best.engineLower, best.bareLower, 0);
    Report(count, "engine alone upper", best.engineUpper, best.bareUpper, 0);
    return {count,           best.lower.seconds, best.upper.seconds, best.bareLower, best.bareUpper,
            best.engineLower, best.engineUpper};
}

std::vector<int> Sizes(int argc, char** argv) {
    std::string text;
    for (int i = 1; i < argc; ++i) text += std::string(argv[i]) + " ";
    if (text.empty() && std::getenv("UMBRIX_BENCH_SIZES")) text = std::getenv("UMBRIX_BENCH_SIZES");
    if (text.empty()) text = "1000 5000 20000 100000";
    std::vector<int> sizes;
    std::istringstream words(text);
    for (std::string word; words >> word;) {
        int size = std::atoi(word.c_str());
        if (size <= 0) Fail("not a size: " + word);
        sizes.push_back(size);
    }
    return sizes;
}

// Files per second should not fall as the directory grows: a rate at the largest size well
// below the one at 20,000 means some step costs more than a constant per file.
void ReportGrowth(const SizeResult& from, const SizeResult& to) {
    const double kFlat = 0.85;
    auto share = [&](double fromSeconds, double toSeconds) {
        return (to.count / toSeconds) / (from.count / fromSeconds);
    };
    double lower = share(from.lowerSeconds, to.lowerSeconds);
    double upper = share(from.upperSeconds, to.upperSeconds);
    double bare = share(from.bareLowerSeconds + from.bareUpperSeconds, to.bareLowerSeconds + to.bareUpperSeconds);
    std::printf("files/s at %d against %d: lower %.0f%%, upper %.0f%%, bare loop %.0f%%: %s\n", to.count, from.count,
                100 * lower, 100 * upper, 100 * bare, std::min(lower, upper) >= kFlat ? "flat" : "NOT FLAT");
}

}  // namespace

int main(int argc, char** argv) {
    const double kTarget = 1.2;
    std::printf(
        "rename benchmark: RenameFilesToCase against a bare loop of exact one-step renames "
        "(target %.1fx from 20000 files)\n",
        kTarget);
    std::vector<SizeResult> results;
    for (int count : Sizes(argc, argv)) results.push_back(BenchSize(count));
    const SizeResult* reference = nullptr;
    for (const SizeResult& result : results) {
        if (result.count < 20000) continue;
        double ratio = std::max(result.lowerSeconds / result.bareLowerSeconds,
                                result.upperSeconds / result.bareUpperSeconds);
        std::printf("%6d files  slower direction %.2fx bare loop: target %s\n", result.count, ratio,
                    ratio <= kTarget ? "met" : "MISSED");
        // What the worker thread and the progress window add to the engine's own time.
        const double kWatchTarget = 1.05;
        double watched = std::max(result.lowerSeconds / result.engineLowerSeconds,
                                  result.upperSeconds / result.engineUpperSeconds);
        std::printf("%6d files  worker and progress window %.3fx the engine alone: target %.2fx %s\n", result.count,
                    watched, kWatchTarget, watched <= kWatchTarget ? "met" : "MISSED");
        if (!reference) reference = &result;
    }
    for (const SizeResult& result : results)
        if (reference && result.count > reference->count) ReportGrowth(*reference, result);
    return 0;
}
