// The list of every rename: 100,000 rows, complete, while the dialog answers as they are made.
#include "dirselect/CRenameListDlg.h"

#include "res/resource.h"
#include "tests/support/Observations.h"
#include "tests/support/TempDirectory.h"
#include "tests/support/UnixShell.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace {

const std::wstring kCounting = L"Dateien werden gez\u00E4hlt \u2026";

std::wstring TextOf(HWND hWnd) {
    wchar_t text[256] = {};
    SendMessageW(hWnd, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text));
    return text;
}

std::wstring ListText(HWND hList, int nRow, int nColumn) {
    wchar_t text[256] = {};
    LVITEMW item{};
    item.iSubItem = nColumn;
    item.pszText = text;
    item.cchTextMax = static_cast<int>(std::size(text));
    SendMessageW(hList, LVM_GETITEMTEXTW, static_cast<WPARAM>(nRow), reinterpret_cast<LPARAM>(&item));
    return text;
}

// Plans only once another thread has seen the dialog answer while nothing is planned yet: had
// the planning held the window, that thread would never get its answer. That thread then waits
// for the rows, reads the list as a user scrolls it, and closes the dialog.
class CWatchedListDlg : public CRenameListDlg {
public:
    using CRenameListDlg::CRenameListDlg;
    ~CWatchedListDlg() override {
        if (m_watcher.joinable()) m_watcher.join();
    }

    std::atomic<bool> m_bAnsweredWhileFilling{false};
    std::wstring m_strStatus;
    int m_nItems = 0;
    std::wstring m_strFirst, m_strLast, m_strLastTarget;

protected:
    BOOL OnInitDialog() override {
        BOOL result = CRenameListDlg::OnInitDialog();
        m_watcher = std::thread([this, hDlg = m_hWnd] { Watch(hDlg); });
        return result;
    }
    RunPlan PlanFiles(const std::wstring& exactDirectory, const std::atomic<bool>& bStop) override {
        ULONGLONG giveUp = GetTickCount64() + 120000;  // only so that a fault ends the test
        while (!m_bAnsweredWhileFilling && !bStop && GetTickCount64() < giveUp) Sleep(5);
        return CRenameListDlg::PlanFiles(exactDirectory, bStop);
    }

private:
    void Watch(HWND hDlg) {
        HWND hStatus = ::GetDlgItem(hDlg, IDC_RENAME_LIST_STATUS);
        HWND hList = ::GetDlgItem(hDlg, IDC_RENAME_LIST);
        if (TextOf(hStatus) == kCounting && SendMessageW(hList, LVM_GETITEMCOUNT, 0, 0) == 0)
            m_bAnsweredWhileFilling = true;
        ULONGLONG giveUp = GetTickCount64() + 120000;  // only so that a fault ends the test
        while (m_bAnsweredWhileFilling && TextOf(hStatus) == kCounting && GetTickCount64() < giveUp) Sleep(10);
        m_strStatus = TextOf(hStatus);
        m_nItems = static_cast<int>(SendMessageW(hList, LVM_GETITEMCOUNT, 0, 0));
        m_strFirst = ListText(hList, 0, 0);
        SendMessageW(hList, LVM_ENSUREVISIBLE, static_cast<WPARAM>(m_nItems - 1), FALSE);
        m_strLast = ListText(hList, m_nItems - 1, 0);
        m_strLastTarget = ListText(hList, m_nItems - 1, 1);
        PostMessageW(hDlg, WM_COMMAND, IDCANCEL, 0);
    }

    std::thread m_watcher;
};

}  // namespace

TEST(RenameListDlg, AHundredThousandRowsAreCompleteAndTheDialogAnswersWhileTheyAreMade) {
    TempDirectory dir;
    RunUnixShell("cd " + ShellQuote(UnixPath(dir.Path())) + " && seq -f 'Datei%06g.TXT' 100000 | xargs touch", 600000);
    CWatchedListDlg dlg(CaseChange(CaseDirection::Lower, NamePart::Extension), dir.Path());
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(dlg.m_bAnsweredWhileFilling);
    EXPECT_TRUE(dlg.IsPlanned());
    EXPECT_EQ(dlg.m_strStatus, L"100.000 Dateien, davon 100.000 umzubenennen");
    EXPECT_EQ(dlg.m_nItems, 100000);
    EXPECT_EQ(dlg.RowCount(), 100000u);
    EXPECT_EQ(dlg.m_strFirst, L"Datei000001.TXT");
    EXPECT_EQ(dlg.m_strLast, L"Datei100000.TXT");
    EXPECT_EQ(dlg.m_strLastTarget, L"Datei100000.txt");
    RunUnixShell("rm -rf " + ShellQuote(UnixPath(dir.Path())), 600000);
}
