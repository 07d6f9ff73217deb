// What taking a run back costs: the journal written ahead of a run's renames against the same
// run without one, and the undo of that run against the run itself; on 20,000 and 100,000
// files, every timing taken in the same rounds on the same directory, the ratios round by
// round so that a slow stretch of the machine falls on both sides. Every step is checked on
// the disk afterwards.
//
// Rounds go on until the medians of the odd and of the even rounds' ratios lie less than half the
// 5 % allowed apart (at least UMBRIX_BENCH_ROUNDS, default 3; at most 15, 9 above 20,000 files).
//
//   undo_bench.exe [SIZE...]     default 20000 100000
#include "bench/Stopwatch.h"
#include "filesystem/ExtendedPath.h"
#include "renaming/CaseConversion.h"
#include "renaming/ChangeCaseOnDisk.h"
#include "renaming/RunJournal.h"
#include "tests/support/TempDirectory.h"
#include "tests/support/UnixShell.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::wstring>;

const double kJournalTarget = 1.05;
const double kUndoTarget = 1.10;

// Names people give files, none of them 8.3; one stem with a letter beyond ASCII.
Names MixedNames(int count) {
    const wchar_t* stems[] = {L"Report-", L"Photo_", L"Notes ", L"\u00DCbersicht-"};
    const wchar_t* extensions[] = {L".Txt", L".jpG", L".Doc"};
    Names names;
    for (int i = 0; i < count; ++i) {
        wchar_t number[16];
        swprintf(number, 16, L"%05d", i);
        names.push_back(std::wstring(stems[i % 4]) + number + extensions[i % 3]);
    }
    std::sort(names.begin(), names.end());
    return names;
}

[[noreturn]] void Fail(const std::string& what) {
    std::printf("FAILED: %s\n", what.c_str());
    std::fflush(stdout);
    std::exit(1);
}

void Verify(const TempDirectory& dir, const Names& expected, const char* step) {
    Names actual = dir.Names();
    if (actual != expected)
        Fail(std::string(step) + ": " + std::to_string(actual.size()) + " names on disk, not the " +
             std::to_string(expected.size()) + " expected (directory left in place: " + Utf8(dir.Path()) + ")");
}

struct Round {
    double plain = 0;    // the lower-case run without a journal
    double recorded = 0; // the same run writing its journal
    double undo = 0;     // that run taken back
};

double TimeRun(const TempDirectory& dir, CRunJournalWriter* pJournal) {
    Stopwatch watch;
    CaseRunOutcome outcome = ChangeCaseOnDisk(CaseDirection::Lower, dir.ExactPath(), nullptr, pJournal);
    double seconds = watch.Seconds();
    if (!outcome.kept.empty()) Fail("the run kept " + std::to_string(outcome.kept.size()) + " files");
    return seconds;
}

// Mixed names to lower case and back, recorded and undone.
void RecordedAndUndone(const TempDirectory& dir, const std::wstring& journalPath, const Names& mixed,
                       const Names& lower, Round& round) {
    {
        // The journal as the program writes it: started before the run, finished after it.
        Stopwatch watch;
        CRunJournalWriter journal(journalPath);
        if (journal.Start()) Fail("the journal cannot be started");
        TimeRun(dir, &journal);
        journal.Finish();
        round.recorded = watch.Seconds();
    }
    Verify(dir, lower, "the recorded run");
    JournalReading reading = ReadRunJournal(journalPath);
    if (reading.state != JournalState::Trusted || !reading.journal.bEnded ||
        reading.journal.EntryCount() != lower.size())
        Fail("the journal does not name every file");
    Stopwatch watch;
    CaseRunOutcome outcome = RestoreEarlierNames(reading.journal).at(0);
    round.undo = watch.Seconds();
    if (!outcome.kept.empty() || !outcome.inUse.empty())
        Fail("the undo left " + std::to_string(outcome.kept.size() + outcome.inUse.size()) + " files");
    Verify(dir, mixed, "the undo");
}

// Mixed names to lower case without a journal, then back by a bare loop (not timed).
void PlainAndBack(const TempDirectory& dir, const Names& mixed, const Names& lower, Round& round) {
    round.plain = TimeRun(dir, nullptr);
    Verify(dir, lower, "the run without a journal");
    for (size_t i = 0; i < lower.size(); ++i)
        MoveFileExW(AfxJoinPath(dir.ExactPath(), lower[i]).c_str(), AfxJoinPath(dir.ExactPath(), mixed[i]).c_str(), 0);
    Verify(dir, mixed, "the way back");
}

struct Spread {
    double median, low, high;
};

double MedianOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

Spread SpreadOf(const std::vector<double>& ratios) {
    return {MedianOf(ratios), *std::min_element(ratios.begin(), ratios.end()),
            *std::max_element(ratios.begin(), ratios.end())};
}

// How far the medians of the even and of the odd rounds lie apart, against the median of all.
double NoiseOf(const std::vector<double>& ratios) {
    std::vector<double> halves[2];
    for (size_t i = 0; i < ratios.size(); ++i) halves[i % 2].push_back(ratios[i]);
    if (halves[1].empty()) return 1;
    return std::abs(MedianOf(halves[0]) - MedianOf(halves[1])) / MedianOf(ratios);
}

void ReportRatio(int count, const char* what, const std::vector<double>& ratios, double target) {
    Spread spread = SpreadOf(ratios);
    std::printf("%6d files  %s: median %.3fx (%.3fx to %.3fx, noise %.1f %%, %zu rounds): target %.2fx %s\n", count,
                what, spread.median, spread.low, spread.high, 100 * NoiseOf(ratios), ratios.size(), target,
                spread.median <= target ? "met" : "MISSED");
    std::fflush(stdout);
}

// Below half the allowed 5 %: the median then tells met from missed.
const double kNoiseLimit = 0.025;

void BenchSize(int count, int nRounds, int nMostRounds) {
    TempDirectory dir, journalFolder;
    const std::wstring journalPath = journalFolder.ExactPath() + L"\\run.journal";
    Names mixed = MixedNames(count), lower;
    for (const std::wstring& name : mixed) lower.push_back(*ConvertedName(CaseDirection::Lower, name));
    std::string script = "cd " + ShellQuote(UnixPath(dir.Path())) + " || exit 1\n";
    for (const std::wstring& name : mixed) script += "printf x > " + ShellQuote(Utf8(name)) + "\n";
    RunUnixShell(script, 600000);
    std::sort(lower.begin(), lower.end());
    Names lowerByMixed;  // in the order of mixed, for the way back
    for (const std::wstring& name : mixed) lowerByMixed.push_back(*ConvertedName(CaseDirection::Lower, name));
    Verify(dir, mixed, "making the files");

    std::vector<double> journalRatios, undoRatios;
    for (int r = 0; r < nRounds || (r < nMostRounds && NoiseOf(journalRatios) >= kNoiseLimit); ++r) {
        Round round;
        // The two sides take turns going first.
        if (r % 2 == 0) {
            RecordedAndUndone(dir, journalPath, mixed, lower, round);
            PlainAndBack(dir, mixed, lowerByMixed, round);
        } else {
            PlainAndBack(dir, mixed, lowerByMixed, round);
            RecordedAndUndone(dir, journalPath, mixed, lower, round);
        }
        journalRatios.push_back(round.recorded / round.plain);
        undoRatios.push_back(round.undo / round.recorded);
        std::printf("%6d files  round %d: run %.2f s, with journal %.2f s, undo %.2f s\n", count, r + 1, round.plain,
                    round.recorded, round.undo);
        std::fflush(stdout);
    }
    ReportRatio(count, "run with its journal against the run without", journalRatios, kJournalTarget);
    ReportRatio(count, "undo against the run it takes back", undoRatios, kUndoTarget);
}

int LeastRounds() {
    if (const char* text = std::getenv("UMBRIX_BENCH_ROUNDS")) {
        int rounds = std::atoi(text);
        if (rounds <= 0) Fail(std::string("not a number of rounds: ") + text);
        return rounds;
    }
    return 3;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty()) sizes = {20000, 100000};
    std::printf("undo benchmark: the journal against a run without one, the undo against the run (targets %.2fx, "
                "%.2fx)\n",
                kJournalTarget, kUndoTarget);
    for (int count : sizes) {
        if (count <= 0) Fail("not a size");
        BenchSize(count, LeastRounds(), std::max(LeastRounds(), count > 20000 ? 9 : 15));
    }
    return 0;
}
