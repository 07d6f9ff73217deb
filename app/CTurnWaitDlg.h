#pragma once
// The window of a copy that waits for another copy's run to end before its own run or undo can
// begin: "Wartet auf die laufende Umbenennung in <directory> …" and "Abbrechen", in the run's
// progress window. It asks for the turn a few times a second and ends itself once it has it;
// the window it opens over goes on painting and answering meanwhile.
#include "app/RunTurn.h"
#include "platform/AfxWin.h"

#include <optional>
#include <string>

class CTurnWaitDlg : public CDialog {
public:
    // folder: where the turn lives; pParent: the window it opens over (none: it stands alone).
    // handoverKind: the kind of this copy's folder, if it may hand it over; the wait then ends
    // with IDRETRY once the run that has the turn takes folders of that kind.
    CTurnWaitDlg(std::wstring folder, CWnd* pParent, std::wstring handoverKind = std::wstring());
    ~CTurnWaitDlg() override;

    // The wait of this thread that is under way, if any: the window it opened over takes no
    // new run meanwhile, and ends it when it is closed itself.
    static CTurnWaitDlg* Current();

    // "Wartet auf die laufende Umbenennung in <directory> …"; without a directory when the
    // other copy has not said yet where it is.
    static std::wstring WaitingText(const std::wstring& directory);

    // After DoModal gave IDOK: the turn, now this copy's.
    std::optional<CRunTurn> TakeTurn() { return std::move(m_turn); }

protected:
    BOOL OnInitDialog() override;
    void OnTimer(UINT_PTR nIDEvent);
    LRESULT OnEndSession(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    // Shows where the run that has the turn is; true when it takes this copy's folder.
    bool ShowWhoRuns();

    std::wstring m_strFolder;
    std::wstring m_strKind;
    std::wstring m_strShown;
    bool m_bShown = false;
    std::optional<CRunTurn> m_turn;
    CTurnWaitDlg* m_pOuter;
};
