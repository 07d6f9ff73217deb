// The run as the user starts it, timed and weighed from outside, each kind a process of its own:
//   dialog        umbrix.exe with its main dialog: "in kleine/große Dateinamen", the directory
//                 dialog opens at the folder, its count is awaited, then OK; timed from the
//                 click on OK to the end box;
//   command line  umbrix.exe /klein DIR (or /gross): timed from the end of its start-up (the
//                 process first waits for input, WaitForInputIdle: the run has begun) to its end
//                 box; from the process's start too, for reference;
//   bare loop     this program started again as a plain process that lists the folder through
//                 the Unix namespace and, holding the listing, renames every file as the rename
//                 benchmark's bare loop does (one MoveFileExW each, every path built first):
//                 timed from its first instruction to its last rename.
// A process's start costs Wine from a tenth of a second to seconds on a busy machine, which no
// run can leave out, so it stays outside the compared times. The three take turns in every
// round, each run changing every name. Rounds go on until the bests of the even and of the odd
// rounds lie less than 2.5 % apart for every kind (half the 5 % the dialog may take over the
// command line). Memory: the peak working set of each process (GetProcessMemoryInfo on its
// handle; under Wine the Linux process's VmHWM), above the bare loop's, per file.
//
//   dialog_run_bench.exe [SIZE...]    sizes also from UMBRIX_BENCH_SIZES; default 20000 100000
//   dialog_run_bench.exe --bare-loop DIR lower|upper PID    (the bare loop's own process)
#include "bench/BenchFiles.h"
#include "bench/Stopwatch.h"
#include "bench/WineProcessStats.h"
#include "filesystem/ExtendedPath.h"
#include "res/resource.h"
#include "tests/app/UmbrixProcess.h"
#include "tests/support/Observations.h"
#include "wine/WineHost.h"

#include <windows.h>

#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

const wchar_t kMainCaption[] = L"Umbrix";
const wchar_t kDirectoryCaption[] = L"Verzeichnis Auswahl:";
const wchar_t kBoxCaption[] = L"Umbrix";  // as the main dialog: told apart by its kind
const wchar_t kCounting[] = L"Dateien werden gez\u00E4hlt \u2026";
constexpr double kTarget = 1.05;
constexpr double kNoise = 0.025;

std::wstring ThisProgram() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

// build\umbrix.exe, seen from build\bench; UMBRIX_BENCH_PROGRAM names another (an earlier build).
std::wstring UmbrixProgram() {
    if (const wchar_t* other = _wgetenv(L"UMBRIX_BENCH_PROGRAM")) return other;
    std::wstring path = ThisProgram();
    path.erase(path.find_last_of(L'\\'));
    return path.substr(0, path.find_last_of(L'\\')) + L"\\umbrix.exe";
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

std::wstring EventName(const wchar_t* what, DWORD pid) { return L"Local\\UmbrixBench" + std::wstring(what) + std::to_wstring(pid); }

// The bare loop's own process: the fastest case change of the folder, holding the listing as a
// run does. It tells the bench when it has started and when it is done, and stays until the
// bench has weighed it.
int RunBareLoop(const std::wstring& directory, bool bLower, DWORD parent) {
    HANDLE hStarted = OpenEventW(EVENT_MODIFY_STATE, FALSE, EventName(L"Started", parent).c_str());
    HANDLE hDone = OpenEventW(EVENT_MODIFY_STATE, FALSE, EventName(L"Done", parent).c_str());
    HANDLE hEnd = OpenEventW(SYNCHRONIZE, FALSE, EventName(L"End", parent).c_str());
    if (!hStarted || !hDone || !hEnd) return 3;
    SetEvent(hStarted);
    const std::wstring exact = wine::ExactPath(directory);
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE hSearch = FindFirstFileExW(AfxJoinPath(exact, L"*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                      nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (hSearch == INVALID_HANDLE_VALUE) return 2;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(data.cFileName);
    } while (FindNextFileW(hSearch, &data));
    FindClose(hSearch);
    // As the rename benchmark's loop: every path built before the first rename.
    std::vector<std::wstring> fromPaths, toPaths;
    for (const std::wstring& name : names) {
        std::wstring target = name;
        DWORD length = static_cast<DWORD>(target.size());
        bLower ? CharLowerBuffW(target.data(), length) : CharUpperBuffW(target.data(), length);
        if (target == name) continue;
        fromPaths.push_back(AfxJoinPath(exact, name));
        toPaths.push_back(AfxJoinPath(exact, target));
    }
    for (size_t i = 0; i < fromPaths.size(); ++i) MoveFileExW(fromPaths[i].c_str(), toPaths[i].c_str(), 0);
    SetEvent(hDone);
    WaitForSingleObject(hEnd, 600000);
    return 0;
}

size_t PeakWorkingSet(HANDLE hProcess) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(hProcess, &counters, sizeof(counters))) Fail("GetProcessMemoryInfo failed");
    return counters.PeakWorkingSetSize;
}

HWND FindBoxOf(DWORD pid) {
    WindowSearch search{pid, kBoxCaption, nullptr, WindowKind::MessageBox};
    EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Looks for the end box every 5 ms, the same way for every kind, so that the looking costs each
// of them alike.
HWND PollForBox(DWORD pid, const std::function<bool()>& bDone = {}) {
    for (Stopwatch clock; clock.Seconds() < 600;) {
        HWND hWnd = FindBoxOf(pid);
        if (hWnd || (bDone && bDone())) return hWnd;
        Sleep(5);
    }
    Fail("waited ten minutes for the end box");
}

HWND WaitFor(DWORD pid, const std::wstring& caption, WindowKind kind = WindowKind::Any) {
    HWND hWnd = WaitForWindow(pid, caption, kind);
    if (!hWnd) Fail("no window \"" + Utf8(caption) + "\" within 10 s");
    return hWnd;
}

const wchar_t* EndMessage(bool bLower) {
    return bLower ? L"Ok, alle Dateien in kleinbuchstaben umbenannt." : L"Ok, alle Dateien in GROSSBUCHSTABEN umbenannt.";
}

struct Sample {
    double seconds = 0;     // the compared time
    size_t peakBytes = 0;
    double withStart = 0;   // with the process's start, where that is not compared
    double cpuSeconds = 0;  // the CPU time the prefix used meanwhile (CCpuWatch)
    size_t peakResident = 0;  // VmHWM, as Linux counts the peak
};

// The CPU time that a stretch of a run costs the prefix: the program's own, the wineserver's,
// the desktop's and the display's, from the Linux side. This benchmark's own process is left
// out (it looks for windows every few milliseconds); a process that ends keeps what it used.
class CCpuWatch {
public:
    // The program just started, found by a text of its command line; before: those that
    // matched it before the start.
    CCpuWatch(const char* pszCommandText, const std::set<int>& before) {
        std::set<int> bench = WineProcessStats::ProcessesOf("dialog_run_bench.exe");
        for (int nPid : WineProcessStats::ProcessesOf(""))
            if (!bench.count(nPid)) m_used[nPid] = 0;
        m_nProgram = WineProcessStats::NewProcess(pszCommandText, before);
        if (m_nProgram) m_used[m_nProgram] = 0;
    }
    // The program's peak resident set as Linux counts it.
    size_t PeakResident() const { return WineProcessStats::PeakResidentBytes(m_nProgram); }
    void Start() { m_dStart = Now(); }
    double Elapsed() { return Now() - m_dStart; }

private:
    double Now() {
        double total = 0;
        for (auto& [nPid, used] : m_used) {
            used = std::max(used, WineProcessStats::CpuSeconds(nPid));
            total += used;
        }
        return total;
    }
    std::map<int, double> m_used;
    int m_nProgram = 0;
    double m_dStart = 0;
};

// Reads the end box, weighs the process, answers the box.
size_t TakeEndBox(HWND hBox, HANDLE hProcess, bool bLower) {
    size_t peak = PeakWorkingSet(hProcess);
    std::wstring text = AnswerMessageBox(hBox);
    if (text != EndMessage(bLower)) Fail("the end box read \"" + Utf8(text) + "\"");
    return peak;
}

void WaitForExit(UmbrixProcess& process) {
    if (process.WaitForExit(60000) == STILL_ACTIVE) Fail("umbrix.exe did not end");
}

Sample TimeDialogRun(const TempDirectory& dir, bool bLower) {
    std::set<int> before = WineProcessStats::ProcessesOf("umbrix.exe");
    UmbrixProcess umbrix(UmbrixProcess::CommandLine{Quoted(UmbrixProgram()) + L" /nologo"}, dir.Path());
    if (!umbrix.Started()) Fail("cannot start " + Utf8(UmbrixProgram()));
    CCpuWatch cpu("umbrix.exe", before);
    HWND hMain = WaitFor(umbrix.Id(), kMainCaption, WindowKind::MainDialog);
    Click(GetDlgItem(hMain, bLower ? IDC_TO_LOWER_CASE : IDC_TO_UPPER_CASE));
    HWND hDirDlg = WaitFor(umbrix.Id(), kDirectoryCaption);
    if (WideWindowText(GetDlgItem(hDirDlg, IDC_DIRECTORY_PATH)) != dir.Path()) Fail("the dialog opened elsewhere");
    // The user reads the count, then presses OK.
    HWND hCount = GetDlgItem(hDirDlg, IDC_FILE_COUNT);
    for (Stopwatch clock; WideWindowText(hCount) == kCounting || WideWindowText(hCount).empty(); Sleep(5))
        if (clock.Seconds() > 60) Fail("no count within a minute");
    Stopwatch clock;
    cpu.Start();
    Click(GetDlgItem(hDirDlg, IDOK));
    HWND hBox = PollForBox(umbrix.Id());
    Sample sample{clock.Seconds(), 0, 0, cpu.Elapsed(), cpu.PeakResident()};
    sample.peakBytes = TakeEndBox(hBox, umbrix.Handle(), bLower);
    Click(GetDlgItem(WaitFor(umbrix.Id(), kMainCaption, WindowKind::MainDialog), IDCANCEL));
    WaitForExit(umbrix);
    return sample;
}

Sample TimeCommandLineRun(const TempDirectory& dir, bool bLower) {
    std::set<int> before = WineProcessStats::ProcessesOf("umbrix.exe");
    Stopwatch withStart;
    UmbrixProcess umbrix(
        UmbrixProcess::CommandLine{Quoted(UmbrixProgram()) + (bLower ? L" /klein " : L" /gross ") + Quoted(dir.Path())},
        L"C:\\");
    if (!umbrix.Started()) Fail("cannot start " + Utf8(UmbrixProgram()));
    CCpuWatch cpu("umbrix.exe", before);
    if (WaitForInputIdle(umbrix.Handle(), 60000) != 0) Fail("umbrix.exe never waited for input");
    Stopwatch clock;
    cpu.Start();
    HWND hBox = PollForBox(umbrix.Id());
    Sample sample{clock.Seconds(), 0, withStart.Seconds(), cpu.Elapsed(), cpu.PeakResident()};
    sample.peakBytes = TakeEndBox(hBox, umbrix.Handle(), bLower);
    WaitForExit(umbrix);
    return sample;
}

// The same without any window (/still): the run ends with the process, no box.
Sample TimeQuietRun(const TempDirectory& dir, bool bLower) {
    std::set<int> before = WineProcessStats::ProcessesOf("umbrix.exe");
    Stopwatch withStart;
    UmbrixProcess umbrix(UmbrixProcess::CommandLine{Quoted(UmbrixProgram()) + (bLower ? L" /still /klein " : L" /still /gross ") +
                                                    Quoted(dir.Path())},
                         L"C:\\", UmbrixProcess::Streams::Caught);
    if (!umbrix.Started()) Fail("cannot start " + Utf8(UmbrixProgram()));
    CCpuWatch cpu("umbrix.exe", before);
    if (WaitForInputIdle(umbrix.Handle(), 60000) != 0) Fail("umbrix.exe never waited for input");
    Stopwatch clock;
    cpu.Start();
    double cpuSeconds = 0;
    size_t peak = 0;
    size_t peakResident = 0;
    // Weighed as it goes: once it has ended there is nothing left to ask.
    PollForBox(umbrix.Id(), [&] {
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof(counters);
        if (GetProcessMemoryInfo(umbrix.Handle(), &counters, sizeof(counters)))
            peak = std::max(peak, counters.PeakWorkingSetSize);
        cpuSeconds = cpu.Elapsed();
        peakResident = std::max(peakResident, cpu.PeakResident());
        return WaitForSingleObject(umbrix.Handle(), 0) == WAIT_OBJECT_0;
    });
    Sample sample{clock.Seconds(), peak, withStart.Seconds(), cpuSeconds, peakResident};
    if (umbrix.WaitForExit(0) != 0) Fail("the quiet run ended with " + std::to_string(umbrix.WaitForExit(0)));
    return sample;
}

Sample TimeBareLoop(const TempDirectory& dir, bool bLower) {
    DWORD pid = GetCurrentProcessId();
    std::set<int> before = WineProcessStats::ProcessesOf("--bare-loop");
    CKernelHandle hStarted(CreateEventW(nullptr, TRUE, FALSE, EventName(L"Started", pid).c_str()));
    CKernelHandle hDone(CreateEventW(nullptr, TRUE, FALSE, EventName(L"Done", pid).c_str()));
    CKernelHandle hEnd(CreateEventW(nullptr, TRUE, FALSE, EventName(L"End", pid).c_str()));
    Stopwatch withStart;
    // The events are named after this process, whose id the loop is given.
    UmbrixProcess loop(UmbrixProcess::CommandLine{Quoted(ThisProgram()) + L" --bare-loop " + Quoted(dir.Path()) +
                                     (bLower ? L" lower " : L" upper ") + std::to_wstring(pid)},
                       L"C:\\");
    if (!loop.Started()) Fail("cannot start the bare loop");
    CCpuWatch cpu("--bare-loop", before);
    HANDLE hWait[] = {hStarted.Get(), loop.Handle()};
    if (WaitForMultipleObjects(2, hWait, FALSE, 60000) != WAIT_OBJECT_0) Fail("the bare loop did not start");
    Stopwatch clock;
    cpu.Start();
    PollForBox(loop.Id(), [&] { return WaitForSingleObject(hDone.Get(), 0) == WAIT_OBJECT_0; });
    Sample sample{clock.Seconds(), PeakWorkingSet(loop.Handle()), withStart.Seconds(), cpu.Elapsed(),
                  cpu.PeakResident()};
    SetEvent(hEnd.Get());
    if (loop.WaitForExit(60000) != 0) Fail("the bare loop failed");
    return sample;
}

enum Kind { kDialog, kCommandLine, kQuiet, kBareLoop, kKinds };
const char* const kKindNames[kKinds] = {"dialog", "command line", "/still", "bare loop"};

struct KindResults {
    double best[2] = {1e9, 1e9};  // over the even and over the odd rounds
    std::vector<double> seconds;
    std::vector<double> withStart;
    std::vector<double> cpu;
    std::vector<size_t> peaks;
    std::vector<size_t> residents;

    double Best() const { return std::min(best[0], best[1]); }
    double Noise() const { return seconds.size() < 2 ? 1.0 : std::abs(best[0] - best[1]) / Best(); }
    size_t MedianPeak() const {
        std::vector<size_t> sorted = peaks;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    }
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

double MedianOf(const std::vector<size_t>& values) { return Median(std::vector<double>(values.begin(), values.end())); }

struct SizeResults {
    int count;
    KindResults kinds[kKinds];
};

int MinRounds(int count) { return count > 20000 ? 3 : 5; }
int MaxRounds(int count) { return count > 20000 ? 10 : 25; }

int FixedRounds() {
    const char* text = std::getenv("UMBRIX_BENCH_ROUNDS");
    return text ? std::atoi(text) : 0;
}

bool Settled(const SizeResults& results, int rounds) {
    if (int fixed = FixedRounds(); fixed > 0) return rounds >= fixed;
    if (rounds < MinRounds(results.count)) return false;
    if (rounds >= MaxRounds(results.count)) return true;
    for (const KindResults& kind : results.kinds)
        if (kind.Noise() >= kNoise) return false;
    return true;
}

// Every run changes every name: the directions alternate from one run to the next, and the
// kinds take turns going first.
SizeResults BenchSize(int count) {
    TempDirectory dir;
    CreateFiles(dir, MakeNames(count, Spelling::Mixed));
    SizeResults results{count, {}};
    using Timer = Sample (*)(const TempDirectory&, bool);
    const Timer timers[kKinds] = {&TimeDialogRun, &TimeCommandLineRun, &TimeQuietRun, &TimeBareLoop};
    bool bLower = true;
    int rounds = 0;
    while (!Settled(results, rounds)) {
        for (int k = 0; k < kKinds; ++k) {
            int kind = (k + rounds) % kKinds;
            Sample sample = timers[kind](dir, bLower);
            Verify(dir, MakeNames(count, bLower ? Spelling::Lower : Spelling::Upper), kKindNames[kind]);
            KindResults& result = results.kinds[kind];
            result.best[rounds % 2] = std::min(result.best[rounds % 2], sample.seconds);
            result.seconds.push_back(sample.seconds);
            result.peaks.push_back(sample.peakBytes);
            result.withStart.push_back(sample.withStart);
            result.cpu.push_back(sample.cpuSeconds);
            result.residents.push_back(sample.peakResident);
            bLower = !bLower;
        }
        ++rounds;
        std::printf("%6d files  round %d:", count, rounds);
        for (int kind = 0; kind < kKinds; ++kind)
            std::printf("  %s %.2f s (CPU %.2f s)", kKindNames[kind], results.kinds[kind].seconds.back(),
                        results.kinds[kind].cpu.back());
        std::printf("\n");
        std::fflush(stdout);
    }
    return results;
}

void Report(const SizeResults& results) {
    const int n = results.count;
    for (int kind = 0; kind < kKinds; ++kind) {
        const KindResults& r = results.kinds[kind];
        std::printf("%6d files  %-12s best %7.2f s  noise %4.1f %%  CPU %6.2f s  peak working set %6.1f MB (%5.0f "
                    "bytes/file), VmHWM %6.1f MB",
                    n, kKindNames[kind], r.Best(), 100 * r.Noise(), Median(r.cpu), r.MedianPeak() / 1048576.0,
                    double(r.MedianPeak()) / n, MedianOf(r.residents) / 1048576.0);
        if (kind != kDialog)
            std::printf("; with the process's start %.2f s", *std::min_element(r.withStart.begin(), r.withStart.end()));
        std::printf("\n");
    }
    const KindResults& dialog = results.kinds[kDialog];
    const KindResults& bare = results.kinds[kBareLoop];
    // Time: bests; CPU: medians of the rounds (the prefix's, see CCpuWatch).
    for (int other : {kCommandLine, kQuiet}) {
        const KindResults& r = results.kinds[other];
        double ratio = dialog.Best() / r.Best();
        std::printf("%6d files  dialog against %-12s %.3fx (target %.2fx: %s), CPU %.3fx\n", n, kKindNames[other], ratio,
                    kTarget, ratio <= kTarget ? "met" : "MISSED", Median(dialog.cpu) / Median(r.cpu));
    }
    for (int kind : {kDialog, kCommandLine, kQuiet})
        std::printf("%6d files  %-12s %.3fx the bare loop, CPU %.3fx\n", n, kKindNames[kind],
                    results.kinds[kind].Best() / bare.Best(), Median(results.kinds[kind].cpu) / Median(bare.cpu));
    for (int kind : {kDialog, kCommandLine, kQuiet}) {
        double above = (double(results.kinds[kind].MedianPeak()) - double(bare.MedianPeak())) / n;
        std::printf("%6d files  %-12s %.0f bytes per file above the bare loop's peak working set%s\n", n,
                    kKindNames[kind], above, n >= 100000 ? (above <= 400 ? " (target 400: met)" : " (target 400: MISSED)") : "");
    }
    std::printf("%6d files  %zu rounds\n", n, dialog.seconds.size());
    std::fflush(stdout);
}

// Growing linearly: the bytes each kind adds per file from one size to the next.
void ReportGrowth(const SizeResults& from, const SizeResults& to) {
    std::printf("from %d to %d files, peak working set per added file:", from.count, to.count);
    for (int kind = 0; kind < kKinds; ++kind) {
        double added = double(to.kinds[kind].MedianPeak()) - double(from.kinds[kind].MedianPeak());
        std::printf("  %s %.0f", kKindNames[kind], added / (to.count - from.count));
    }
    std::printf(" bytes\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--bare-loop") {
        int nWide = 0;
        LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &nWide);  // the directory exactly
        if (!wide || nWide != 5) return 2;
        return RunBareLoop(wide[2], std::string(argv[3]) == "lower", std::strtoul(argv[4], nullptr, 10));
    }
    std::printf("The run from the dialog against the run from the command line and the bare loop, each a process of "
                "its own (rounds until the noise is below %.1f %%)\n",
                100 * kNoise);
    std::vector<SizeResults> all;
    for (int count : BenchSizes(argc, argv, "20000 100000")) {
        all.push_back(BenchSize(count));
        Report(all.back());
    }
    for (size_t i = 1; i < all.size(); ++i) ReportGrowth(all[i - 1], all[i]);
    return 0;
}
