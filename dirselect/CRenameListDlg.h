#pragma once
// The list of every rename a run would make in a directory, then of every file that would keep
// its name although it lacks the case asked for, with why: opened from the directory dialog's
// "Liste …". It opens at once; the files are planned by the run's own rules (PlanRun) on a
// thread of its own, so that the window answers while a big directory is read, and closing it
// gives the planning up. The list is virtual: the dialog holds the rows, the control only
// their number and which are selected, so that any number of rows scrolls at once. Ctrl+A
// selects every row, Ctrl+C copies the selected rows as tab-separated text.
#include "platform/AfxWin.h"
#include "platform/CListCtrl.h"
#include "renaming/CaseChange.h"
#include "renaming/RunPreview.h"

#include <atomic>
#include <exception>
#include <string>
#include <thread>

// Posted (never sent) by the planning thread when the rows are ready.
constexpr UINT WM_RENAME_LIST_PLANNED = WM_USER + 12;

class CRenameListDlg : public CDialog {
public:
    // directory: as the directory dialog's path field shows it ("X:" for a drive's root).
    CRenameListDlg(const CaseChange& change, std::wstring directory, CWnd* pParent = nullptr);
    ~CRenameListDlg() override;

    INT_PTR DoModal() override;

    // Whether the rows are in the list; until then it shows none.
    bool IsPlanned() const { return m_bPlanned; }
    size_t RowCount() const { return m_plan.renamed.size() + m_plan.kept.size(); }
    // A row's text in column 0 ("Jetziger Name"), 1 ("Neuer Name", empty for a file that keeps
    // its name) or 2 ("Hinweis").
    std::wstring CellText(size_t nRow, int nColumn) const;
    // The selected rows, a line each, their columns separated by tabs, as Ctrl+C copies them.
    std::wstring SelectedRowsText() const;

    CListCtrl m_list;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void ShowAtDpi(UINT nDpi) override;
    LRESULT OnPlanned(WPARAM wParam, LPARAM lParam);
    void OnGetDispInfo(NMHDR* pNMHDR, LRESULT* pResult);
    // On the planning thread: what the run would do in the directory (an exact path). Given up
    // when bStop turns true.
    virtual RunPlan PlanFiles(const std::wstring& exactDirectory, const std::atomic<bool>& bStop);

    DECLARE_MESSAGE_MAP()

private:
    void Plan(std::wstring exactDirectory);
    void SizeColumns(UINT nDpi);
    void CopySelectedRows();
    const PlannedFile& Row(size_t nRow) const;
    void StopPlanning();

    CaseChange m_change;
    std::wstring m_strDirectory;
    RunPlan m_plan;              // written by the planning thread until it has posted its message
    std::exception_ptr m_fault;  // the same
    bool m_bPlanned = false;
    std::atomic<bool> m_bStop{false};
    std::thread m_planner;
};
