#pragma once
// The folder tree of the directory selection dialog: the chain of folders from the drive down
// to the current directory, and below it that directory's sub-directories. Double-clicks move
// the current directory up or down; each new path is announced to the parent window.
#include "platform/AfxWin.h"

#include <string>
#include <vector>

// Posted (never sent) to the tree's parent after a double-click has set a new path.
constexpr UINT WM_DIRECTORY_CHANGED = WM_USER + 10;

class CDirectoryTree : public CTreeCtrl {
    DECLARE_DYNAMIC(CDirectoryTree)
public:
    CDirectoryTree() = default;

    // Rebuilds the tree at the process's current directory, first switching to drive
    // m_chDrive once a drive has been chosen. False (after an error box) when the current
    // directory cannot be read.
    BOOL ShowPath();
    // Exactly as the disk spells it: each item keeps its folder's UTF-16 name.
    std::wstring GetPath() const { return m_strPath; }

    // m_chDrive until a drive has been chosen: lower-case, so no drive letter is ever taken for it.
    static constexpr char s_chNoDrive = 'a';

    char m_chDrive = s_chNoDrive;  // written by the dialog when the user picks a drive
    int m_nDirImage = 0;
    int m_nDirSelectedImage = 1;
    int m_nPathImage = 2;
    int m_nPathSelectedImage = 3;

protected:
    void OnDblclk(NMHDR* pNMHDR, LRESULT* pResult);

    DECLARE_MESSAGE_MAP()

private:
    std::wstring m_strPath;

    void ListSubdirectories(std::wstring strPath, HTREEITEM hParent);
    void ComposePath(HTREEITEM hItem);
    void DeleteFirstChild(HTREEITEM hItem);
    void DeleteSiblings(HTREEITEM hItem);

    HTREEITEM InsertPathItems(const std::wstring& path);
    void AppendSubdirectories(std::vector<std::wstring>& names, HTREEITEM hParent);
    bool ShowsListing(HTREEITEM hItem) const;
};
