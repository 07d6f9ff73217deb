// How long the directory dialog keeps the user waiting while a folder of 100,000 files is
// entered: by a double-click on its item and by the keyboard (Right on the selected item), and
// left again with Backspace. The dialog runs on this program's main thread as it does in the
// program; a second thread works it with posted input, as a user's input arrives, and asks the
// dialog something (WM_NULL, the tree's items, the status line) every millisecond or two with
// SendMessageTimeout. Each answer's wait is timed: the longest of them is the longest the window
// kept anyone waiting. Also timed: until the tree shows the folder's sub-directories, and until
// the status line shows its count.
//
//   tree_enter_bench.exe    (UMBRIX_TREE_BENCH_FILES sets another number of files than 100,000;
//                            arguments are ignored: run-benchmarks hands every benchmark the sizes
//                            meant for the rename benchmarks)
#include "dirselect/CDirectoryDlg.h"

#include "bench/Stopwatch.h"
#include "platform/GermanCount.h"
#include "res/resource.h"
#include "tests/support/TempDirectory.h"
#include "tests/support/UnixShell.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr double kTarget = 0.100;
constexpr int kRoundsEachWay = 7;
const wchar_t kFolder[] = L"Gro\u00DFer Ordner";
const int kSubdirectories = 3;

[[noreturn]] void Fail(const std::string& what) {
    std::printf("FAILED: %s\n", what.c_str());
    std::fflush(stdout);
    std::exit(1);
}

// Asks the dialog's thread and times the wait; every question is a probe.
class CProbe {
public:
    explicit CProbe(HWND hDlg) : m_hDlg(hDlg), m_hTree(GetDlgItem(hDlg, IDC_DIRECTORY_TREE)) {}

    LRESULT Send(HWND hWnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        DWORD_PTR result = 0;
        Stopwatch clock;
        if (!SendMessageTimeoutW(hWnd, message, wParam, lParam, SMTO_NORMAL, 30000, &result))
            Fail("the dialog did not answer within 30 s");
        double waited = clock.Seconds();
        if (waited > m_dLongest) {
            m_dLongest = waited;
            m_dLongestAt = m_since.Seconds() - waited;
        }
        return static_cast<LRESULT>(result);
    }
    void Ping() { Send(m_hDlg, WM_NULL); }
    // Starts a new stretch; the longest wait since.
    void Restart() {
        m_dLongest = 0;
        m_since = Stopwatch();
    }
    double Longest() const { return m_dLongest; }
    // When the longest wait began, from the start of the stretch.
    double LongestAt() const { return m_dLongestAt; }

    HTREEITEM Next(UINT relation, HTREEITEM hItem = nullptr) {
        return reinterpret_cast<HTREEITEM>(Send(m_hTree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(hItem)));
    }
    std::wstring Text(HTREEITEM hItem) {
        wchar_t text[300] = {};
        TVITEMW item{};
        item.mask = TVIF_TEXT;
        item.hItem = hItem;
        item.pszText = text;
        item.cchTextMax = 300;
        Send(m_hTree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        return text;
    }
    int ChildCount(HTREEITEM hItem) {
        int count = 0;
        for (HTREEITEM h = Next(TVGN_CHILD, hItem); h; h = Next(TVGN_NEXT, h)) ++count;
        return count;
    }
    HTREEITEM Child(HTREEITEM hParent, const std::wstring& text) {
        for (HTREEITEM h = Next(TVGN_CHILD, hParent); h; h = Next(TVGN_NEXT, h))
            if (Text(h) == text) return h;
        return nullptr;
    }
    std::wstring CountLine() {
        wchar_t text[200] = {};
        Send(GetDlgItem(m_hDlg, IDC_FILE_COUNT), WM_GETTEXT, 200, reinterpret_cast<LPARAM>(text));
        return text;
    }
    RECT ItemRect(HTREEITEM hItem) {
        // The item goes in where the rectangle comes back, as TreeView_GetItemRect does it.
        union {
            RECT rect;
            HTREEITEM hItem;
        } inOut{};
        inOut.hItem = hItem;
        Send(m_hTree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&inOut));
        return inOut.rect;
    }
    HWND Tree() const { return m_hTree; }

private:
    HWND m_hDlg;
    HWND m_hTree;
    double m_dLongest = 0;
    double m_dLongestAt = 0;
    Stopwatch m_since;
};

struct Stretch {
    double longestWait;
    double longestAt;  // when it began
    double listed;   // the tree shows the folder's sub-directories
    double counted;  // the status line shows the folder's count
};

// Asks again and again until the selected item is the folder, shows its sub-directories, and the
// line its count.
Stretch WaitUntilEntered(CProbe& probe, const Stopwatch& clock, const std::wstring& countText) {
    Stretch stretch{0, 0, 0, 0};
    while (stretch.listed == 0 || stretch.counted == 0) {
        if (clock.Seconds() > 60) Fail("the folder was not shown within a minute");
        HTREEITEM hSelected = probe.Next(TVGN_CARET);
        if (stretch.listed == 0 && hSelected && probe.Text(hSelected) == kFolder &&
            probe.ChildCount(hSelected) == kSubdirectories)
            stretch.listed = clock.Seconds();
        if (stretch.counted == 0 && probe.CountLine().rfind(countText, 0) == 0) stretch.counted = clock.Seconds();
        probe.Ping();
        Sleep(1);
    }
    stretch.longestWait = probe.Longest();
    stretch.longestAt = probe.LongestAt();
    return stretch;
}

// Backspace, and the wait until the parent shows its listing and count again.
void GoUp(CProbe& probe, HTREEITEM hParentItem, int nParentChildren) {
    PostMessageW(probe.Tree(), WM_KEYDOWN, VK_BACK, 1);
    PostMessageW(probe.Tree(), WM_KEYUP, VK_BACK, static_cast<LPARAM>(0xC0000001));
    for (Stopwatch clock; probe.Next(TVGN_CARET) != hParentItem || probe.ChildCount(hParentItem) != nParentChildren ||
                          probe.CountLine().rfind(L"1 Datei", 0) != 0;
         Sleep(1)) {
        probe.Ping();
        if (clock.Seconds() > 60) Fail("the parent was not shown again within a minute");
    }
}

void PostDoubleClick(CProbe& probe, HTREEITEM hItem) {
    RECT rect = probe.ItemRect(hItem);
    LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    PostMessageW(probe.Tree(), WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageW(probe.Tree(), WM_LBUTTONUP, 0, point);
    PostMessageW(probe.Tree(), WM_LBUTTONDBLCLK, MK_LBUTTON, point);
    PostMessageW(probe.Tree(), WM_LBUTTONUP, 0, point);
}

void PostRightKey(CProbe& probe, HTREEITEM hItem) {
    probe.Send(probe.Tree(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(hItem));
    PostMessageW(probe.Tree(), WM_KEYDOWN, VK_RIGHT, 1);
    PostMessageW(probe.Tree(), WM_KEYUP, VK_RIGHT, static_cast<LPARAM>(0xC0000001));
}

struct Results {
    std::vector<Stretch> byMouse;
    std::vector<Stretch> byKey;
    double longestOverall = 0;
    double longestAtRest = 0;  // the same questions while nothing happens: what the machine adds
};

HWND FindDialog(DWORD threadId) {
    for (Stopwatch clock; clock.Seconds() < 30; Sleep(10)) {
        HWND found = nullptr;
        EnumThreadWindows(
            threadId,
            [](HWND hWnd, LPARAM lParam) {
                if (!IsWindowVisible(hWnd)) return TRUE;
                *reinterpret_cast<HWND*>(lParam) = hWnd;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&found));
        if (found) return found;
    }
    Fail("the dialog did not open");
}

// The user's side: in and out of the folder, by mouse and by keyboard in turns.
void Drive(DWORD uiThread, int files, Results& results) {
    HWND hDlg = FindDialog(uiThread);
    CProbe probe(hDlg);
    const std::wstring countText = AfxToWide(GermanCount(static_cast<size_t>(files)) + " Dateien");
    HTREEITEM hParent = probe.Next(TVGN_CARET);
    // The parent's own count first: one file beside the folder.
    for (Stopwatch clock; probe.CountLine().rfind(L"1 Datei", 0) != 0 || !probe.Child(hParent, kFolder); Sleep(5))
        if (clock.Seconds() > 60) Fail("the dialog did not settle");
    int nParentChildren = probe.ChildCount(hParent);
    probe.Restart();
    for (Stopwatch clock; clock.Seconds() < 5; Sleep(1)) {
        probe.Next(TVGN_CARET);
        probe.CountLine();
        probe.Ping();
    }
    results.longestAtRest = probe.Longest();
    for (int round = 0; round < 2 * kRoundsEachWay; ++round) {
        bool bMouse = round % 2 == 0;
        HTREEITEM hFolder = probe.Child(hParent, kFolder);
        probe.Restart();
        Stopwatch clock;
        bMouse ? PostDoubleClick(probe, hFolder) : PostRightKey(probe, hFolder);
        Stretch stretch = WaitUntilEntered(probe, clock, countText);
        (bMouse ? results.byMouse : results.byKey).push_back(stretch);
        results.longestOverall = std::max(results.longestOverall, stretch.longestWait);
        probe.Restart();
        GoUp(probe, hParent, nParentChildren);
        results.longestOverall = std::max(results.longestOverall, probe.Longest());
    }
    PostMessageW(hDlg, WM_COMMAND, IDCANCEL, 0);
}

void Report(const char* how, std::vector<Stretch> stretches) {
    auto median = [&](double Stretch::*field) {
        std::vector<double> values;
        for (const Stretch& s : stretches) values.push_back(s.*field);
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    double worst = 0;
    double worstAt = 0;
    for (const Stretch& s : stretches)
        if (s.longestWait > worst) {
            worst = s.longestWait;
            worstAt = s.longestAt;
        }
    std::printf("  %-13s longest wait %6.3f s (from %.3f s on; median of the rounds %6.3f s), sub-directories shown "
                "after %6.3f s, count after %6.3f s (medians)\n",
                how, worst, worstAt, median(&Stretch::longestWait), median(&Stretch::listed), median(&Stretch::counted));
}

}  // namespace

int main() {
    AfxInitCommonControls();
    const char* text = std::getenv("UMBRIX_TREE_BENCH_FILES");
    int files = text ? std::atoi(text) : 100000;
    if (files < 1) Fail("not a number of files: " + std::string(text));
    TempDirectory dir;
    const std::string folder = UnixPath(dir.Path()) + "/" + "Gro\xC3\x9F" "er Ordner";
    RunUnixShell("mkdir " + ShellQuote(folder) + " && cd " + ShellQuote(folder) + " && mkdir A B C && seq -f 'Datei%06g.TXT' " +
                     std::to_string(files) + " | xargs touch && touch ../Daneben.txt && mkdir ../Nachbar",
                 600000);
    SetCurrentDirectoryW(dir.Path().c_str());
    std::printf("Entering a folder of %d files in the directory dialog, %d times by double-click and %d by Right: the "
                "longest the window kept a question waiting (target %.0f ms)\n",
                files, kRoundsEachWay, kRoundsEachWay, 1000 * kTarget);
    std::fflush(stdout);
    Results results;
    std::thread user(Drive, GetCurrentThreadId(), files, std::ref(results));
    CDirectoryDlg dlg(CaseDirection::Lower);
    dlg.DoModal();
    user.join();
    SetCurrentDirectoryW(L"C:\\");
    Report("double-click:", results.byMouse);
    Report("Right key:", results.byKey);
    std::printf("  at rest (5 s of the same questions, nothing to do): longest wait %.3f s\n", results.longestAtRest);
    std::printf("  longest wait in all, leaving the folder included: %.3f s: target %s\n", results.longestOverall,
                results.longestOverall <= kTarget ? "met" : "MISSED");
    std::fflush(stdout);
    RunUnixShell("rm -rf " + ShellQuote(folder), 600000);
    return 0;
}
