#pragma once
// The modal dialog in which the user picks the directory to rename in: a path field, the
// directory tree and the drive list. After OK, m_strDirectory holds the path shown. Opened for
// a direction, its status line tells what a run in that direction would do in the directory
// shown, counted beside the dialog; each new directory drops the count in hand. The user
// chooses there which part of the names the run changes (m_part, counted anew at once) and
// can open the list of every rename the run would make.
#include "dirselect/CDirectoryTree.h"
#include "dirselect/CDriveCombo.h"
#include "dirselect/CFileCounter.h"
#include "platform/AfxWin.h"
#include "platform/CWindowIcons.h"
#include "renaming/CaseChange.h"

#include <optional>
#include <string>

class CDirectoryDlg : public CDialog {
public:
    explicit CDirectoryDlg(CWnd* pParent = nullptr);  // no status line
    // change: the direction, and the part chosen when the dialog opens.
    explicit CDirectoryDlg(const CaseChange& change, CWnd* pParent = nullptr);

    INT_PTR DoModal() override;

    // The size of the folder pictures at a DPI: the largest drawn size (16, 20, 24, 32) that
    // is not larger than the small-icon size there, so that no picture is stretched.
    static int FolderPictureSize(UINT nDpi);

private:
    // Before the controls, so that it goes only after the tree that shows it.
    CImageList m_imageList;

public:
    CEdit m_editPath;
    CDirectoryTree m_tree;
    CDriveCombo m_driveList;
    CStatic m_countLine;
    std::wstring m_strDirectory;        // the exact path, as the tree spells it
    NamePart m_part = NamePart::Whole;  // the part chosen, also after Abbruch

protected:
    // From another template with the same controls, some of the part's left out (a benchmark
    // times the dialog as it was before them so).
    CDirectoryDlg(UINT nIDTemplate, std::optional<CaseChange> change, CWnd* pParent);

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnInitDialog() override;
    void OnSelchangeDrive();
    void UpdatePathField();
    LRESULT OnFilesCounted(WPARAM wParam, LPARAM lParam);
    void OnTimer(UINT_PTR nIDEvent);
    void ShowAtDpi(UINT nDpi) override;
    void OnNamePart();
    void OnRenameList();

    DECLARE_MESSAGE_MAP()

private:
    // Gives the tree the folder pictures drawn for nDpi; the list shown before goes afterwards.
    void ShowFolderPictures(UINT nDpi);
    // Starts the count for the directory in the path field.
    void CountFiles();
    // The radio buttons show m_part, or, without a direction, are not there.
    void ShowNamePart();

    CWindowIcons m_icons;
    std::optional<CaseDirection> m_direction;  // none: the status line stays empty
    unsigned m_nCountRequest = 0;
    bool m_bShown = false;  // the first count waits until the dialog has been drawn
    // Last: its destructor ends the counting thread before anything it reports to goes.
    CFileCounter m_counter;
};
