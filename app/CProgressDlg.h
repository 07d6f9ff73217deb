#pragma once
// The window of a rename run that takes long: what is being done and where, how many files
// of how many are done, a progress bar, and "Abbrechen", which asks the run to stop after the
// file in hand. The window ends itself when the run has ended, and not before.
#include "app/CCaseRun.h"
#include "app/CTaskbarProgress.h"
#include "platform/AfxWin.h"

#include <string>

class CRunFolders;

class CProgressDlg : public CDialog {
public:
    // action: the window's first line (ActionText, UndoActionText); directory: the directory as
    // the user chose it, for the window's text; pParent: the window it opens over. pFolders: a
    // run over several folders, named one by one as it reaches them ("Ordner 2 von 3: ...").
    CProgressDlg(CCaseRun& run, CString action, std::wstring directory, CTaskbarProgress& taskbar, CWnd* pParent,
                 const CRunFolders* pFolders = nullptr);

    // "1.234 von 20.000 Dateien"
    static CString CountText(size_t nDone, size_t nTotal);
    static CString ActionText(const CaseChange& change);
    static CString UndoActionText();

protected:
    BOOL OnInitDialog() override;
    // Abbrechen, Escape, Enter on the button and the close box.
    void OnCancel() override;
    AfxFetched FetchModalMessage(MSG& msg) override;
    void OnTimer(UINT_PTR nIDEvent);
    // The session may end as soon as the answer is given: the run stops first. A run from the
    // command line has no main window to be asked, only this one.
    LRESULT OnQueryEndSession(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void ShowCount();
    void ShowFolder();
    // The bar where its filled part grows by a pixel, the task-bar button for each percent.
    void ShowBars(size_t nDone, size_t nTotal, bool bNewTotal);
    void SetItemText(int nID, const std::wstring& text);

    CCaseRun& m_run;
    CString m_strAction;
    std::wstring m_strDirectory;
    CTaskbarProgress& m_taskbar;
    const CRunFolders* m_pFolders;
    size_t m_nShownFolder = 0;
    size_t m_nShownFolders = 0;
    size_t m_nShownDone = 0;
    size_t m_nShownTotal = 0;
    size_t m_nShownFill = 0;     // the bar's filled part, in pixels
    size_t m_nShownPercent = 0;  // the task-bar button's
    bool m_bShown = false;
    bool m_bStopping = false;
    bool m_bRunEnded = false;
};
