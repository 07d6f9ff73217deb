// What taking a run back costs: the journal written ahead of a run's renames against the same
// run without one, and the undo of that run against the run itself; on 20,000 and 100,000
// files, every timing taken in the same rounds on the same directory, the ratios round by
// round so that a slow stretch of the machine falls on both sides. Every step is checked on
// the disk afterwards.
//
//   undo_bench.exe [SIZE...]     default 20000 100000; UMBRIX_BENCH_ROUNDS sets the rounds
#include "bench/Stopwatch.h"
#include "filesystem/ExtendedPath.h"
#include "renaming/CaseConversion.h"
#include "renaming/ChangeCaseOnDisk.h"
#include "renaming/RunJournal.h"
#include "tests/support/TempDirectory.h"
#include "tests/support/UnixShell.h"

#include <windows.h>

#include <algorithm>
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
        CRunJournalWriter journal(journalPath, dir.Path());
        round.recorded = TimeRun(dir, &journal);
    }
    Verify(dir, lower, "the recorded run");
    JournalReading reading = ReadRunJournal(journalPath);
    if (reading.state != JournalState::Trusted || reading.journal.entries.size() != lower.size())
        Fail("the journal does not name every file");
    Stopwatch watch;
    CaseRunOutcome outcome = RestoreEarlierNames(reading.journal);
    round.undo = watch.Seconds();
    if (!outcome.kept.empty()) Fail("the undo left " + std::to_string(outcome.kept.size()) + " files");
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

Spread SpreadOf(std::vector<double> ratios) {
    std::sort(ratios.begin(), ratios.end());
    size_t n = ratios.size();
    double median = n % 2 ? ratios[n / 2] : (ratios[n / 2 - 1] + ratios[n / 2]) / 2;
    return {median, ratios.front(), ratios.back()};
}

void ReportRatio(int count, const char* what, const Spread& spread, double target) {
    std::printf("%6d files  %s: median %.3fx (%.3fx to %.3fx): target %.2fx %s\n", count, what, spread.median,
                spread.low, spread.high, target, spread.median <= target ? "met" : "MISSED");
    std::fflush(stdout);
}

void BenchSize(int count, int nRounds) {
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
    for (int r = 0; r < nRounds; ++r) {
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
        std::printf("%6d files  round %d of %d: run %.2f s, with journal %.2f s, undo %.2f s\n", count, r + 1, nRounds,
                    round.plain, round.recorded, round.undo);
        std::fflush(stdout);
    }
    ReportRatio(count, "run with its journal against the run without", SpreadOf(journalRatios), kJournalTarget);
    ReportRatio(count, "undo against the run it takes back", SpreadOf(undoRatios), kUndoTarget);
}

int RoundsFor(int count) {
    if (const char* text = std::getenv("UMBRIX_BENCH_ROUNDS")) {
        int rounds = std::atoi(text);
        if (rounds <= 0) Fail(std::string("not a number of rounds: ") + text);
        return rounds;
    }
    return count > 20000 ? 3 : 5;
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
        BenchSize(count, RoundsFor(count));
    }
    return 0;
}
