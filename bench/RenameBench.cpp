// Times RenameFilesToCase on large directories against the cheapest correct case change we know
// of, a bare loop of one-step renames between exact paths, in the same run on the same disk;
// and against the renaming engine called on this thread, without the worker thread and the
// progress window that RenameFilesToCase adds.
// Every run is checked on disk afterwards, because a case-only rename can report success and
// change nothing. Last, what telling the shell of a run's renames adds to the run, with a
// watcher listening as an open Explorer window does.
//
//   rename_bench.exe [SIZE...]     sizes also from UMBRIX_BENCH_SIZES; default 1000 5000 20000 100000
#include "app/RenameFilesToCase.h"
#include "app/ShellChangeNotice.h"
#include "bench/BenchFiles.h"
#include "bench/HeapCounter.h"
#include "bench/Stopwatch.h"
#include "filesystem/ExtendedPath.h"
#include "platform/AfxMessageBox.h"
#include "renaming/ChangeCaseOnDisk.h"
#include "tests/support/ShellNotices.h"
#include "tests/support/TempDirectory.h"
#include "wine/WineHost.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

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
    double watchLower;  // RenameFilesToCase against the engine alone, median of the rounds
    double watchUpper;
};

// Every timing of every round, in the order of the rounds.
struct Rounds {
    std::vector<Measurement> lower, upper;
    std::vector<double> bareLower, bareUpper;
    std::vector<double> engineLower, engineUpper;
};

void TimeRuns(const TempDirectory& dir, int count, Rounds& rounds) {
    rounds.lower.push_back(TimeRenameFilesToCase(dir, CaseDirection::Lower, count));
    Verify(dir, MakeNames(count, Spelling::Lower), "RenameFilesToCase to lower case");
    rounds.upper.push_back(TimeRenameFilesToCase(dir, CaseDirection::Upper, count));
    Verify(dir, MakeNames(count, Spelling::Upper), "RenameFilesToCase to upper case");
}

void TimeBareLoops(const TempDirectory& dir, int count, Rounds& rounds) {
    const Names lower = MakeNames(count, Spelling::Lower), upper = MakeNames(count, Spelling::Upper);
    rounds.bareLower.push_back(TimeBareLoop(dir, upper, lower));
    Verify(dir, lower, "bare loop to lower case");
    rounds.bareUpper.push_back(TimeBareLoop(dir, lower, upper));
    Verify(dir, upper, "bare loop to upper case");
}

void TimeEngineRuns(const TempDirectory& dir, int count, Rounds& rounds) {
    rounds.engineLower.push_back(TimeEngineHere(dir, CaseDirection::Lower));
    Verify(dir, MakeNames(count, Spelling::Lower), "engine to lower case");
    rounds.engineUpper.push_back(TimeEngineHere(dir, CaseDirection::Upper));
    Verify(dir, MakeNames(count, Spelling::Upper), "engine to upper case");
}

double Fastest(const std::vector<double>& seconds) { return *std::min_element(seconds.begin(), seconds.end()); }

std::vector<double> Seconds(const std::vector<Measurement>& runs) {
    std::vector<double> seconds;
    for (const Measurement& run : runs) seconds.push_back(run.seconds);
    return seconds;
}

double MostBytes(const std::vector<Measurement>& runs) {
    double bytes = 0;
    for (const Measurement& run : runs) bytes = std::max(bytes, run.bytesPerEntry);
    return bytes;
}

// A run against the engine alone, round by round: the two ran within seconds of each other,
// so a slow stretch of the platform falls on both. The median of the rounds, and their spread.
double ReportWatchRatio(int count, const char* direction, const std::vector<Measurement>& runs,
                        const std::vector<double>& engine) {
    std::vector<double> ratios;
    for (size_t i = 0; i < runs.size(); ++i) ratios.push_back(runs[i].seconds / engine[i]);
    std::sort(ratios.begin(), ratios.end());
    size_t n = ratios.size();
    double median = n % 2 ? ratios[n / 2] : (ratios[n / 2 - 1] + ratios[n / 2]) / 2;
    std::printf("%6d files  %s: RenameFilesToCase against the engine alone, round by round: median %.3fx, "
                "%.3fx to %.3fx\n",
                count, direction, median, ratios.front(), ratios.back());
    return median;
}

// Every timing is taken once a round; the fastest of the rounds is reported, so that a busy
// moment of the machine does not decide. The kinds take turns going first: the platform now and
// then runs a whole stretch at a slower speed, which must not fall on one side only. A run and
// the engine alone always follow each other, in turns which one first, with the bare loops
// before or after the two. Every round starts and ends with the names in upper case (the first
// starts mixed).
SizeResult BenchSize(int count, int nRounds) {
    TempDirectory dir;
    CreateFiles(dir, MakeNames(count, Spelling::Mixed));
    Verify(dir, MakeNames(count, Spelling::Mixed), "creating the files");

    Rounds rounds;
    using Kind = void (*)(const TempDirectory&, int, Rounds&);
    const Kind kOrders[4][3] = {{&TimeRuns, &TimeEngineRuns, &TimeBareLoops},
                                {&TimeBareLoops, &TimeEngineRuns, &TimeRuns},
                                {&TimeEngineRuns, &TimeRuns, &TimeBareLoops},
                                {&TimeBareLoops, &TimeRuns, &TimeEngineRuns}};
    for (int round = 0; round < nRounds; ++round) {
        for (Kind kind : kOrders[round % 4]) kind(dir, count, rounds);
        Progress(count, round + 1, nRounds);
    }
    const double bareLower = Fastest(rounds.bareLower), bareUpper = Fastest(rounds.bareUpper);
    const double lower = Fastest(Seconds(rounds.lower)), upper = Fastest(Seconds(rounds.upper));
    Report(count, "RenameFilesToCase lower", lower, bareLower, MostBytes(rounds.lower));
    Report(count, "RenameFilesToCase upper", upper, bareUpper, MostBytes(rounds.upper));
    Report(count, "bare loop to lower case", bareLower, bareLower, 0);
    Report(count, "bare loop to upper case", bareUpper, bareUpper, 0);
    Report(count, "engine alone lower", Fastest(rounds.engineLower), bareLower, 0);
    Report(count, "engine alone upper", Fastest(rounds.engineUpper), bareUpper, 0);
    double watchLower = ReportWatchRatio(count, "lower", rounds.lower, rounds.engineLower);
    double watchUpper = ReportWatchRatio(count, "upper", rounds.upper, rounds.engineUpper);
    return {count, lower, upper, bareLower, bareUpper, watchLower, watchUpper};
}

// 7 rounds up to 20,000 files, 3 above (a round at 100,000 files takes minutes);
// UMBRIX_BENCH_ROUNDS sets another number for every size.
int RoundsFor(int count) {
    if (const char* text = std::getenv("UMBRIX_BENCH_ROUNDS")) {
        int rounds = std::atoi(text);
        if (rounds <= 0) Fail(std::string("not a number of rounds: ") + text);
        return rounds;
    }
    return count > 20000 ? 3 : 7;
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

// The median time of telling the shell what a run did, each time heard by a watcher of the
// folder: one notice for the folder, or one for each rename the run names.
double TimeShellNotices(const CaseRunOutcome& outcome, bool bWatched = true) {
    TempDirectory dir;
    std::optional<CShellNotices> watcher;
    if (bWatched) watcher.emplace(dir.Path());
    if (watcher && !watcher->Registered()) Fail("cannot watch a folder for the shell's notices");
    const size_t nExpected = outcome.bRenamesNamed ? outcome.renames.size() : 1;
    std::vector<double> seconds;
    for (int i = 0; i < 21; ++i) {
        Stopwatch watch;
        TellShellNamesChanged(dir.Path(), outcome);
        size_t nHeard = watcher ? watcher->Take().size() : nExpected;
        seconds.push_back(watch.Seconds());
        if (nHeard != nExpected) Fail("the watcher heard " + std::to_string(nHeard) + " notices");
    }
    std::sort(seconds.begin(), seconds.end());
    return seconds[seconds.size() / 2];
}

// A run of more than kRenamesNamedAtMost files tells the shell once; a smaller one tells each
// rename. Against the run of that size measured above: the notices are part of its time.
void ReportShellNotices(const std::vector<SizeResult>& results) {
    const double kTarget = 0.02;
    CaseRunOutcome large;
    large.nRenamed = kRenamesNamedAtMost + 1;
    large.bRenamesNamed = false;
    double folderNotice = TimeShellNotices(large);
    for (const SizeResult& result : results) {
        if (result.count <= int(kRenamesNamedAtMost)) continue;
        double share = folderNotice / std::min(result.lowerSeconds, result.upperSeconds);
        std::printf("%6d files  telling the shell (one notice for the folder): %.3f ms, %.4f %% of the run: target "
                    "%.0f %% %s\n",
                    result.count, folderNotice * 1000, share * 100, kTarget * 100, share <= kTarget ? "met" : "MISSED");
    }
    CaseRunOutcome named;
    for (size_t i = 0; i < kRenamesNamedAtMost; ++i)
        named.renames.push_back({L"Datei " + std::to_wstring(i) + L".TXT", L"datei " + std::to_wstring(i) + L".txt"});
    named.nRenamed = named.renames.size();
    std::printf("%6zu renames told one by one: %.3f ms; with no one listening %.3f ms\n", kRenamesNamedAtMost,
                TimeShellNotices(named) * 1000, TimeShellNotices(named, false) * 1000);
}

int main(int argc, char** argv) {
    const double kTarget = 1.2;
    std::printf(
        "rename benchmark: RenameFilesToCase against a bare loop of exact one-step renames "
        "(target %.1fx from 20000 files)\n",
        kTarget);
    std::vector<SizeResult> results;
    for (int count : BenchSizes(argc, argv, "1000 5000 20000 100000")) results.push_back(BenchSize(count, RoundsFor(count)));
    const SizeResult* reference = nullptr;
    for (const SizeResult& result : results) {
        if (result.count < 20000) continue;
        double ratio = std::max(result.lowerSeconds / result.bareLowerSeconds,
                                result.upperSeconds / result.bareUpperSeconds);
        std::printf("%6d files  slower direction %.2fx bare loop: target %s\n", result.count, ratio,
                    ratio <= kTarget ? "met" : "MISSED");
        // What the worker thread and the progress window add to the engine's own time.
        const double kWatchTarget = 1.05;
        double watched = std::max(result.watchLower, result.watchUpper);
        std::printf("%6d files  worker and progress window %.3fx the engine alone (median of the rounds, slower "
                    "direction): target %.2fx %s\n",
                    result.count, watched, kWatchTarget, watched <= kWatchTarget ? "met" : "MISSED");
        if (!reference) reference = &result;
    }
    for (const SizeResult& result : results)
        if (reference && result.count > reference->count) ReportGrowth(*reference, result);
    ReportShellNotices(results);
    return 0;
}
