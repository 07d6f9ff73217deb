#pragma once
// The modal dialog in which the user picks the directory to rename in: a path field, the
// directory tree and the drive list. After OK, m_strDirectory holds the path shown.
#include "dirselect/CDirectoryTree.h"
#include "dirselect/CDriveCombo.h"
#include "platform/AfxWin.h"
#include "platform/CWindowIcons.h"

#include <string>

class CDirectoryDlg : public CDialog {
public:
    explicit CDirectoryDlg(CWnd* pParent = nullptr);

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
    std::wstring m_strDirectory;  // the exact path, as the tree spells it

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnInitDialog() override;
    void OnSelchangeDrive();
    void UpdatePathField();
    void ShowAtDpi(UINT nDpi) override;

    DECLARE_MESSAGE_MAP()

private:
    // Gives the tree the folder pictures drawn for nDpi; the list shown before goes afterwards.
    void ShowFolderPictures(UINT nDpi);
    CWindowIcons m_icons;
};
