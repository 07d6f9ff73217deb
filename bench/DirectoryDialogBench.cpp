// How long the directory dialog takes to open on a big directory, beside the least any tree
// of that directory can cost: listing it and appending every name to a tree view.
//
//   wine-run --build BUILD bench/directory_dialog_bench.exe [counts...]
#include "dirselect/CDirectoryDlg.h"

#include "platform/CUniqueHandle.h"
#include "tests/support/TempDirectory.h"
#include "tests/support/UnixShell.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

double Now() {
    LARGE_INTEGER counter;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Ends itself as soon as its path field is filled, and notes when that was; then times a
// double-click one level up (the whole listing leaves the tree) and, back in the big
// directory, one level down (all other sub-directories leave it).
class CTimedDirectoryDlg : public CDirectoryDlg {
public:
    double m_dFilled = 0;
    double m_dUp = 0;
    double m_dDown = 0;
    size_t m_nShown = 0;

protected:
    BOOL OnInitDialog() override {
        BOOL result = CDirectoryDlg::OnInitDialog();
        m_dFilled = Now();
        HTREEITEM hCurrent = m_tree.GetSelectedItem();
        CString name = m_tree.GetItemText(hCurrent);
        for (HTREEITEM h = m_tree.GetChildItem(hCurrent); h; h = m_tree.GetNextSiblingItem(h)) ++m_nShown;
        m_dUp = TimeDoubleClick(m_tree.GetParentItem(hCurrent));
        for (HTREEITEM h = m_tree.GetChildItem(m_tree.GetSelectedItem()); h; h = m_tree.GetNextSiblingItem(h))
            if (m_tree.GetItemText(h) == name) TimeDoubleClick(h);
        m_dDown = TimeDoubleClick(m_tree.GetChildItem(m_tree.GetSelectedItem()));
        EndDialog(IDOK);
        return result;
    }

private:
    double TimeDoubleClick(HTREEITEM hItem) {
        double start = Now();
        m_tree.SelectItem(hItem);
        NMHDR header{m_tree.m_hWnd, static_cast<UINT_PTR>(m_tree.GetDlgCtrlID()), static_cast<UINT>(NM_DBLCLK)};
        SendMessage(WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
        return Now() - start;
    }
};

struct DialogTimes {
    double open;
    double up;
    double down;
};

DialogTimes OpenDialog(size_t expected) {
    CTimedDirectoryDlg dlg;
    double start = Now();
    dlg.DoModal();
    if (dlg.m_nShown != expected) std::printf("  (dialog showed %zu of %zu)\n", dlg.m_nShown, expected);
    return {dlg.m_dFilled - start, dlg.m_dUp, dlg.m_dDown};
}

// The bare loop: list, append each directory's name below one item of a tree view in a window
// of its own, and expand that item, as the dialog's tree does with its current directory.
// (Appending at the root level instead costs far more: Wine recounts the visible items for
// every visible insert.)
double ListAndAppend(const std::string& dir, HTREEITEM hInsertAfter) {
    double start = Now();
    HWND hParent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 300, 300, nullptr, nullptr, nullptr, nullptr);
    HWND hTree = CreateWindowExA(0, WC_TREEVIEWA, "", WS_CHILD | WS_VISIBLE, 0, 0, 300, 300, hParent, nullptr, nullptr,
                                 nullptr);
    TVINSERTSTRUCTA insert{};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<char*>("C:");
    insert.hParent = reinterpret_cast<HTREEITEM>(
        SendMessageA(hTree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    insert.hInsertAfter = hInsertAfter;
    WIN32_FIND_DATAA data;
    CFindHandle search(FindFirstFileA((dir + "\\*.*").c_str(), &data));
    if (search) {
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || data.cFileName[0] == '.') continue;
            insert.item.pszText = data.cFileName;
            SendMessageA(hTree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert));
        } while (FindNextFileA(search.Get(), &data));
    }
    search.Close();  // before the expand, as the tree closes its listing
    SendMessageA(hTree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(insert.hParent));
    double elapsed = Now() - start;
    DestroyWindow(hParent);
    return elapsed;
}

template <class F>
double Best(int runs, F measure) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) best = std::min(best, measure());
    return best;
}

void Measure(size_t count) {
    TempDirectory dir;
    // Made on the Linux side: Win32 would scan the growing directory for every new name.
    RunUnixShell("cd " + ShellQuote(UnixPath(dir.Path())) + " && seq -f 'Ordner %06g' " + std::to_string(count) +
                 " | xargs -d '\\n' mkdir && for i in 1 2 3; do touch Datei$i.txt; done");
    SetCurrentDirectoryW(dir.Path().c_str());
    double up = 1e9;
    double down = 1e9;
    double dialog = Best(3, [&] {
        DialogTimes times = OpenDialog(count);
        up = std::min(up, times.up);
        down = std::min(down, times.down);
        return times.open;
    });
    double bare = Best(3, [&] { return ListAndAppend(dir.AnsiPath(), TVI_LAST); });
    std::printf("%7zu sub-directories: dialog %8.3f s   list+append %8.3f s   ratio %5.2f", count, dialog, bare,
                dialog / bare);
    std::printf("   up %6.3f s   down %6.3f s", up, down);
    if (count <= 5000) std::printf("   list+TVI_SORT %8.3f s", ListAndAppend(dir.AnsiPath(), TVI_SORT));
    std::printf("\n");
    std::fflush(stdout);
    SetCurrentDirectoryA("C:\\");
    RunUnixShell("rm -rf " + ShellQuote(UnixPath(dir.Path())));
}

}  // namespace

int main(int argc, char** argv) {
    AfxInitCommonControls();
    std::vector<size_t> counts;
    for (int i = 1; i < argc; ++i) counts.push_back(std::strtoul(argv[i], nullptr, 10));
    if (counts.empty()) counts = {1000, 5000, 20000};
    std::printf("Directory dialog: open until the path field is filled (best of 3)\n");
    for (size_t count : counts) Measure(count);
    return 0;
}
