// How long the directory dialog takes to open on a big directory, beside the least the same
// tree of that directory can cost: listing it, putting the names in the tree's order and
// appending them to a bare tree view. Both results are compared item by item. The dialog on an
// empty directory, timed in the same rounds, tells what the dialog costs before its tree holds
// anything; the second ratio leaves that out.
//
// Then the dialog with its status line against the dialog without it, on a directory of
// 5,000 sub-directories and 20,000 files: the time until it stands drawn, and for the one with
// the line, when the count is shown. The same way, the dialog with the choice of the name part
// and the list's button against the dialog as it was before them (its template of then, kept
// in DirectoryDialogBefore.rc). Last, the list of every rename: the time from asking for it
// until its rows are complete and drawn, on 20,000 and 100,000 files, beside the listing it
// cannot do without.
//
//   wine-run --build BUILD bench/directory_dialog_bench.exe [counts...]
//   wine-run --build BUILD bench/directory_dialog_bench.exe --status-line    (the status line only)
//   wine-run --build BUILD bench/directory_dialog_bench.exe --new-controls   (the name part only)
//   wine-run --build BUILD bench/directory_dialog_bench.exe --list [files...] (the list only)
#include "dirselect/CDirectoryDlg.h"
#include "dirselect/CRenameListDlg.h"

#include "bench/Stopwatch.h"
#include "filesystem/CUniqueHandle.h"
#include "res/resource.h"
#include "tests/support/Observations.h"
#include "tests/support/TempDirectory.h"
#include "tests/support/UnixShell.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

enum class Order {
    SortKeys,      // the control's own order, computed once per name: the dialog's work
    ControlSorts,  // TVI_SORT: the control compares each new item with its siblings
    AsListed,      // the listing's order: not what the dialog shows, a lower bound only
};

// The platform's sort key: comparing keys byte by byte is lstrcmpW's comparison, the one
// TVI_SORT uses.
std::string SortKey(const std::wstring& name) {
    LCID locale = GetThreadLocale();
    int length = static_cast<int>(name.size());
    int bytes = LCMapStringW(locale, LCMAP_SORTKEY, name.c_str(), length, nullptr, 0);
    std::string key(static_cast<size_t>(bytes), '\0');
    LCMapStringW(locale, LCMAP_SORTKEY, name.c_str(), length, reinterpret_cast<LPWSTR>(key.data()), bytes);
    return key;
}

void SortBySortKeys(std::vector<std::wstring>& names) {
    std::vector<std::pair<std::string, std::wstring>> keyed;
    keyed.reserve(names.size());
    for (std::wstring& name : names) keyed.emplace_back(SortKey(name), std::move(name));
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 0; i < names.size(); ++i) names[i] = std::move(keyed[i].second);
}

HTREEITEM NextItem(HWND hTree, UINT relation, HTREEITEM hItem) {
    return reinterpret_cast<HTREEITEM>(SendMessageW(hTree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(hItem)));
}

std::vector<std::wstring> ChildTexts(HWND hTree, HTREEITEM hParent) {
    std::vector<std::wstring> texts;
    for (HTREEITEM h = NextItem(hTree, TVGN_CHILD, hParent); h; h = NextItem(hTree, TVGN_NEXT, h))
        texts.push_back(AfxGetTreeItemText(hTree, h));
    return texts;
}

// The tree shows sub-directories once they are read, on a message of its own.
void WaitForListing(CDirectoryTree& tree) {
    while (tree.IsListing()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_POSTMESSAGE);
        MSG msg;
        while (PeekMessageW(&msg, tree.m_hWnd, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
}

// Ends itself as soon as its path field is filled and its tree shows the listing, and notes when
// that was; then times a double-click one level up (the whole listing leaves the tree) and,
// back in the big directory, one level down (all other sub-directories leave it), each until
// the new listing is shown.
class CTimedDirectoryDlg : public CDirectoryDlg {
public:
    Stopwatch m_opening;  // from construction, just before DoModal
    double m_dFilled = 0;
    double m_dUp = 0;
    double m_dDown = 0;
    std::vector<std::wstring> m_shown;  // the current directory's items, in the order shown

protected:
    BOOL OnInitDialog() override {
        BOOL result = CDirectoryDlg::OnInitDialog();
        WaitForListing(m_tree);
        m_dFilled = m_opening.Seconds();
        HTREEITEM hCurrent = m_tree.GetSelectedItem();
        std::wstring name = m_tree.GetItemText(hCurrent);
        m_shown = ChildTexts(m_tree.m_hWnd, hCurrent);
        m_dUp = TimeDoubleClick(m_tree.GetParentItem(hCurrent));
        for (HTREEITEM h = m_tree.GetChildItem(m_tree.GetSelectedItem()); h; h = m_tree.GetNextSiblingItem(h))
            if (m_tree.GetItemText(h) == name) TimeDoubleClick(h);
        m_dDown = TimeDoubleClick(m_tree.GetChildItem(m_tree.GetSelectedItem()));
        EndDialog(IDOK);
        return result;
    }

private:
    double TimeDoubleClick(HTREEITEM hItem) {
        Stopwatch clock;
        m_tree.SelectItem(hItem);
        NMHDR header{m_tree.m_hWnd, static_cast<UINT_PTR>(m_tree.GetDlgCtrlID()), static_cast<UINT>(NM_DBLCLK)};
        SendMessage(WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
        WaitForListing(m_tree);
        return clock.Seconds();
    }
};

struct DialogTimes {
    double open;
    double up;
    double down;
    std::vector<std::wstring> shown;
};

DialogTimes OpenDialog() {
    CTimedDirectoryDlg dlg;
    dlg.DoModal();
    return {dlg.m_dFilled, dlg.m_dUp, dlg.m_dDown, std::move(dlg.m_shown)};
}

// The bare loop: the dialog's tree work with nothing around it. One wide listing without
// short names (the search the tree makes), the names in the order the tree shows them, each
// appended with its pictures below one item of a tree view in a window of its own, then that
// item expanded (timed from the listing on). Appending below a collapsed item is the fastest way in: Wine recounts the
// visible items for every visible insert. The texts shown go to *shown.
double ListAndAppend(const std::wstring& dir, Order order, std::vector<std::wstring>* shown = nullptr) {
    HWND hParent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 300, nullptr, nullptr, nullptr, nullptr);
    HWND hTree = CreateWindowExW(0, WC_TREEVIEWW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 300, 300, hParent, nullptr, nullptr,
                                 nullptr);
    TVINSERTSTRUCTW insert{};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<wchar_t*>(L"C:");
    insert.item.iImage = 2;
    insert.item.iSelectedImage = 3;
    HTREEITEM hRoot = reinterpret_cast<HTREEITEM>(
        SendMessageW(hTree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    // The window and its first item count to the dialog's fixed cost, not to the tree's work.
    Stopwatch clock;
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    CFindHandle search(FindFirstFileExW((dir + L"\\*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                        FIND_FIRST_EX_LARGE_FETCH));
    if (search) {
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
            if (!std::wcscmp(data.cFileName, L".") || !std::wcscmp(data.cFileName, L"..")) continue;
            names.emplace_back(data.cFileName);
        } while (FindNextFileW(search.Get(), &data));
    }
    search.Close();  // before the expand, as the tree closes its listing
    if (order == Order::SortKeys) SortBySortKeys(names);
    insert.hParent = hRoot;
    insert.hInsertAfter = order == Order::ControlSorts ? TVI_SORT : TVI_LAST;
    insert.item.iImage = 0;
    insert.item.iSelectedImage = 1;
    for (std::wstring& name : names) {
        insert.item.pszText = name.data();
        SendMessageW(hTree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert));
    }
    SendMessageW(hTree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(hRoot));
    double elapsed = clock.Seconds();
    if (shown) *shown = ChildTexts(hTree, hRoot);
    DestroyWindow(hParent);
    return elapsed;
}

template <class F>
double Best(int runs, F measure) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) best = std::min(best, measure());
    return best;
}

// Opens dialogs on an empty directory for two seconds, so that the first dialog timed finds
// ready what every dialog of the process shares (classes, fonts, the resources), and returns
// the quickest. The empty-directory dialog costs the same at every count, and in some runs all
// eleven rounds of the first count read it at twice its time: its best is taken over these
// openings too, which can only make the second ratio stricter.
double WarmUp() {
    TempDirectory dir;
    SetCurrentDirectoryW(dir.Path().c_str());
    double best = 1e9;
    for (Stopwatch clock; clock.Seconds() < 2.0;) best = std::min(best, OpenDialog().open);
    SetCurrentDirectoryW(L"C:\\");
    return best;
}

struct Rounds {
    double fixed = 1e9;   // the dialog on an empty directory: template, controls, drives, pictures
    double dialog = 1e9;  // the dialog on the big directory
    double bare = 1e9;    // the bare loop on the big directory
    double up = 1e9;
    double down = 1e9;
    std::vector<std::wstring> dialogShows;
    std::vector<std::wstring> bareShows;
};

// Best of each, the three taken turn about in every round, so that a busy moment of the
// machine weighs on all of them alike. The empty directory sits beside the big one: the same
// chain of folders, the same drive list, no sub-directories.
Rounds MeasureRounds(const TempDirectory& empty, const TempDirectory& dir, int rounds, double fixed) {
    Rounds best;
    best.fixed = fixed;
    for (int i = 0; i < rounds; ++i) {
        SetCurrentDirectoryW(empty.Path().c_str());
        best.fixed = std::min(best.fixed, OpenDialog().open);
        SetCurrentDirectoryW(dir.Path().c_str());
        DialogTimes times = OpenDialog();
        best.dialog = std::min(best.dialog, times.open);
        best.up = std::min(best.up, times.up);
        best.down = std::min(best.down, times.down);
        best.dialogShows = std::move(times.shown);
        best.bare = std::min(best.bare, ListAndAppend(dir.Path(), Order::SortKeys, &best.bareShows));
    }
    SetCurrentDirectoryW(L"C:\\");
    return best;
}

void Measure(size_t count, int rounds, double fixed) {
    TempDirectory empty;
    TempDirectory dir;
    // Made on the Linux side: Win32 would scan the growing directory for every new name.
    RunUnixShell("cd " + ShellQuote(UnixPath(dir.Path())) + " && seq -f 'Ordner %06g' " + std::to_string(count) +
                     " | xargs -d '\\n' mkdir && for i in 1 2 3; do touch Datei$i.txt; done",
                 600000);
    Rounds best = MeasureRounds(empty, dir, rounds, fixed);
    // Both must have done the same work: every sub-directory, in the same order.
    if (best.dialogShows.size() != count || best.dialogShows != best.bareShows) {
        std::printf("FAILED at %zu: the dialog shows %zu items, the bare loop %zu, %s order\n", count,
                    best.dialogShows.size(), best.bareShows.size(),
                    best.dialogShows == best.bareShows ? "same" : "another");
        std::exit(1);
    }
    // The dialog's own part (its window, controls, drive list and pictures) is no tree work, and
    // no bare loop could leave it out: shown apart, and taken off for the second ratio.
    double tree = best.dialog - best.fixed;
    std::printf(
        "%7zu sub-directories: dialog %7.3f s   list+sort+append %7.3f s   ratio %5.2f   |   empty-directory "
        "dialog %6.3f s   dialog minus it %7.3f s   ratio %5.2f\n",
        count, best.dialog, best.bare, best.dialog / best.bare, best.fixed, tree, tree / best.bare);
    std::printf("        in the dialog: up %6.3f s   down %6.3f s", best.up, best.down);
    std::printf("   bare loop unsorted %7.3f s", Best(3, [&] { return ListAndAppend(dir.Path(), Order::AsListed); }));
    if (count <= 5000) {
        std::vector<std::wstring> controlSorted;
        std::printf("   TVI_SORT %7.3f s", ListAndAppend(dir.Path(), Order::ControlSorts, &controlSorted));
        if (controlSorted != best.bareShows) std::printf(" (in another order!)");
    }
    std::printf("\n");
    std::fflush(stdout);
    RunUnixShell("rm -rf " + ShellQuote(UnixPath(dir.Path())), 600000);
}

constexpr UINT WM_BENCH_SHOWN = WM_APP + 2;
constexpr UINT WM_BENCH_COUNTED = WM_APP + 3;

// Notes when it stands drawn; without a status line it then closes, with one once the line
// shows the count.
class CShownDirectoryDlg : public CDirectoryDlg {
public:
    // nIDTemplate: today's dialog, or the one of before the name parts.
    explicit CShownDirectoryDlg(std::optional<CaseDirection> direction, UINT nIDTemplate = IDD_DIRECTORY)
        : CDirectoryDlg(nIDTemplate, direction ? std::optional<CaseChange>(*direction) : std::nullopt, nullptr),
          m_bCounts(direction.has_value()) {}

    Stopwatch m_clock;  // from construction, just before DoModal
    double m_dShown = 0;
    double m_dCounted = 0;
    std::wstring m_strLine;

protected:
    BOOL OnInitDialog() override {
        BOOL result = CDirectoryDlg::OnInitDialog();
        PostMessage(WM_BENCH_SHOWN);  // handled once the dialog is shown
        return result;
    }
    BOOL PreTranslateMessage(MSG* pMsg) override {
        if (pMsg->message == WM_FILES_COUNTED) PostMessage(WM_BENCH_COUNTED);  // after the dialog took it
        if (pMsg->message == WM_BENCH_SHOWN) {
            ::UpdateWindow(m_hWnd);
            m_dShown = m_clock.Seconds();
            if (!m_bCounts) EndDialog(IDOK);
            return TRUE;
        }
        if (pMsg->message == WM_BENCH_COUNTED) {
            m_dCounted = m_clock.Seconds();
            m_strLine = WideWindowText(m_countLine.m_hWnd);
            EndDialog(IDOK);
            return TRUE;
        }
        return CDirectoryDlg::PreTranslateMessage(pMsg);
    }

private:
    bool m_bCounts = false;
};

struct StatusLineBests {
    double without[2] = {1e9, 1e9};  // over the even and over the odd rounds
    double with[2] = {1e9, 1e9};
    double counted = 1e9;
    std::wstring line;

    double Without() const { return std::min(without[0], without[1]); }
    double With() const { return std::min(with[0], with[1]); }
    // How far the bests of the even and of the odd rounds of the same dialog lie apart.
    double Noise() const {
        return std::max(std::abs(without[0] - without[1]) / Without(), std::abs(with[0] - with[1]) / With());
    }
};

// The template of the dialog before the name parts (DirectoryDialogBefore.rc).
constexpr UINT kDialogBeforeParts = 9103;

// One round: the dialog compared against (without a status line, or from another template),
// then today's dialog with its status line.
void MeasureRound(int i, std::optional<CaseDirection> first, UINT nFirstTemplate, StatusLineBests& best) {
    {
        CShownDirectoryDlg dlg(first, nFirstTemplate);
        dlg.DoModal();
        best.without[i % 2] = std::min(best.without[i % 2], dlg.m_dShown);
    }
    CShownDirectoryDlg dlg(CaseDirection::Lower);
    dlg.DoModal();
    best.with[i % 2] = std::min(best.with[i % 2], dlg.m_dShown);
    best.counted = std::min(best.counted, dlg.m_dCounted);
    best.line = dlg.m_strLine;
}

// Today's dialog against another, taken turn about on 5,000 sub-directories and 20,000 files,
// in rounds of 20 until the noise is below half the 5 % allowed (at least 40 rounds, at most
// 400). Checks the status line it showed; rounds: how many were taken.
StatusLineBests MeasureTurnAbout(std::optional<CaseDirection> first, UINT nFirstTemplate, int& rounds) {
    TempDirectory dir;
    RunUnixShell(
        "cd " + ShellQuote(UnixPath(dir.Path())) +
            " && seq -f 'Ordner %06g' 5000 | xargs -d '\\n' mkdir && seq -f 'Datei%05g.TXT' 20000 | xargs touch",
        600000);
    SetCurrentDirectoryW(dir.Path().c_str());
    StatusLineBests best;
    rounds = 0;
    while (rounds < 40 || (best.Noise() >= 0.025 && rounds < 400))
        for (int i = 0; i < 20; ++i) MeasureRound(rounds++, first, nFirstTemplate, best);
    SetCurrentDirectoryW(L"C:\\");
    RunUnixShell("rm -rf " + ShellQuote(UnixPath(dir.Path())), 600000);
    if (best.line != L"20.000 Dateien, davon 20.000 umzubenennen") {
        std::printf("FAILED: the status line read \"%ls\"\n", best.line.c_str());
        std::exit(1);
    }
    return best;
}

// The dialog with the status line against the one without it.
void MeasureStatusLine() {
    int rounds = 0;
    StatusLineBests best = MeasureTurnAbout(std::nullopt, IDD_DIRECTORY, rounds);
    std::printf(
        "Status line (5,000 sub-directories, 20,000 files; open until drawn, best of %d rounds):\n"
        "   without %7.3f s   with %7.3f s   ratio %5.3f (at most 1.05)   noise %4.1f %%   count shown after %7.3f s\n",
        rounds, best.Without(), best.With(), best.With() / best.Without(), 100.0 * best.Noise(), best.counted);
    std::fflush(stdout);
}

// Today's dialog, with the name part's radio buttons and the list's button, against the dialog
// as it was before them, both with their status lines.
void MeasureNewControls() {
    int rounds = 0;
    StatusLineBests best = MeasureTurnAbout(CaseDirection::Lower, kDialogBeforeParts, rounds);
    std::printf(
        "Name part and list button (5,000 sub-directories, 20,000 files; open until drawn, best of %d rounds):\n"
        "   before %7.3f s   now %7.3f s   ratio %5.3f (at most 1.05)   noise %4.1f %%\n",
        rounds, best.Without(), best.With(), best.With() / best.Without(), 100.0 * best.Noise());
    std::fflush(stdout);
}

// Notes when its rows are complete and drawn, and closes.
class CTimedListDlg : public CRenameListDlg {
public:
    using CRenameListDlg::CRenameListDlg;
    Stopwatch m_clock;  // from construction, just before DoModal: the click
    double m_dComplete = 0;
    std::wstring m_strLast;

protected:
    BOOL PreTranslateMessage(MSG* pMsg) override {
        if (pMsg->message == WM_RENAME_LIST_PLANNED) PostMessage(WM_BENCH_COUNTED);  // after the dialog took it
        if (pMsg->message == WM_BENCH_COUNTED) {
            ::UpdateWindow(m_list.m_hWnd);
            m_dComplete = m_clock.Seconds();
            if (RowCount() > 0) m_strLast = CellText(RowCount() - 1, 1);
            EndDialog(IDOK);
            return TRUE;
        }
        return CRenameListDlg::PreTranslateMessage(pMsg);
    }
};

// The listing the list is made from, as the run reads it, with nothing done with it.
double BareListing(const TempDirectory& dir) {
    Stopwatch clock;
    DirectoryListing listing = ReadDirectoryListing(dir.ExactPath());
    double elapsed = clock.Seconds();
    if (listing.entries.empty()) std::exit(1);
    return elapsed;
}

// The plan of the list's rows alone, on this thread.
double PlanAlone(const TempDirectory& dir) {
    std::atomic<bool> bStop{false};
    Stopwatch clock;
    RunPlan plan = PlanRun(CaseChange(CaseDirection::Lower, NamePart::Extension), dir.ExactPath(), bStop);
    double elapsed = clock.Seconds();
    if (plan.renamed.empty()) std::exit(1);
    return elapsed;
}

// The list's time to complete at each size (best of five, the list, its plan alone and the bare
// listing taking turns), checked against its last row.
void MeasureList(const std::vector<size_t>& counts) {
    std::printf("List of renames: from the click until every row is there and drawn (best of 5 rounds):\n");
    for (size_t count : counts) {
        TempDirectory dir;
        RunUnixShell("cd " + ShellQuote(UnixPath(dir.Path())) + " && seq -f 'Datei%06g.TXT' " + std::to_string(count) +
                         " | xargs touch",
                     600000);
        double list = 1e9, plan = 1e9, bare = 1e9;
        std::wstring last;
        size_t rows = 0;
        for (int i = 0; i < 5; ++i) {
            CTimedListDlg dlg(CaseChange(CaseDirection::Lower, NamePart::Extension), dir.Path());
            dlg.DoModal();
            list = std::min(list, dlg.m_dComplete);
            last = dlg.m_strLast;
            rows = dlg.RowCount();
            plan = std::min(plan, PlanAlone(dir));
            bare = std::min(bare, BareListing(dir));
        }
        wchar_t expected[32];
        std::swprintf(expected, 32, L"Datei%06u.txt", static_cast<unsigned>(count));
        if (rows != count || last != expected) {
            std::printf("FAILED at %zu: %zu rows, the last to become \"%ls\"\n", count, rows, last.c_str());
            std::exit(1);
        }
        std::printf(
            "%9zu files: list complete %7.3f s (at most 2 s)   its plan alone %7.3f s   the bare listing %7.3f s   "
            "ratio %5.2f\n",
            count, list, plan, bare, list / bare);
        std::fflush(stdout);
        RunUnixShell("rm -rf " + ShellQuote(UnixPath(dir.Path())), 600000);
    }
}

}  // namespace

int main(int argc, char** argv) {
    AfxInitCommonControls();
    const int rounds = 11;
    std::vector<size_t> counts;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--status-line") {
            MeasureStatusLine();
            return 0;
        }
        if (std::string(argv[i]) == "--new-controls") {
            MeasureNewControls();
            return 0;
        }
        if (std::string(argv[i]) == "--list") {
            std::vector<size_t> files;
            for (int k = i + 1; k < argc; ++k) files.push_back(std::strtoul(argv[k], nullptr, 10));
            MeasureList(files.empty() ? std::vector<size_t>{20000, 100000} : files);
            return 0;
        }
        counts.push_back(std::strtoul(argv[i], nullptr, 10));
    }
    if (counts.empty()) counts = {1000, 5000, 20000};
    std::printf(
        "Directory dialog: open until the path field is filled, against the same listing sorted and appended to a "
        "bare tree view, and the dialog on an empty directory (best of %d rounds); unsorted and TVI_SORT for "
        "reference\n",
        rounds);
    double fixed = WarmUp();
    for (size_t count : counts) Measure(count, rounds, fixed);
    MeasureStatusLine();
    MeasureNewControls();
    MeasureList({20000, 100000});
    return 0;
}
