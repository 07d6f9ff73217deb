#pragma once
// The folder tree of the directory selection dialog: the chain of folders from the drive down
// to the current directory, and below it that directory's sub-directories. Double-clicks move
// the current directory up or down, and so do keys (Right or Enter on an item: into it; Left
// or Backspace: one level up); each new path is announced to the parent window. The
// sub-directories are read on a thread of their own and appear once they are read, so that a
// folder of many files keeps the window answering meanwhile.
#include "dirselect/CSubdirectoryLister.h"
#include "platform/AfxWin.h"

#include <optional>
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
    // Starts reading strPath's sub-directories before the tree has a window, so that a big
    // listing runs while the dialog builds its window. The tree's next listing takes it when
    // it is of the same path; any other listing, or a new ShowPath, drops it unused.
    void PrepareListing(const std::wstring& strPath);
    // Exactly as the disk spells it: each item keeps its folder's UTF-16 name.
    std::wstring GetPath() const { return m_strPath; }
    // The current directory's sub-directories are being read; they appear when they are.
    bool IsListing() const { return m_nListing != 0; }

    // m_chDrive until a drive has been chosen: lower-case, so no drive letter is ever taken for it.
    static constexpr char s_chNoDrive = 'a';

    char m_chDrive = s_chNoDrive;  // written by the dialog when the user picks a drive
    int m_nDirImage = 0;
    int m_nDirSelectedImage = 1;
    int m_nPathImage = 2;
    int m_nPathSelectedImage = 3;

protected:
    void OnDblclk(NMHDR* pNMHDR, LRESULT* pResult);
    LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnChar(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetDlgCode(WPARAM wParam, LPARAM lParam);
    LRESULT OnSubdirectoriesListed(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    using Subdirectories = CSubdirectoryLister::Subdirectories;

    std::wstring m_strPath;
    CSubdirectoryLister m_lister;
    std::wstring m_strPreparedPath;
    unsigned m_nPrepared = 0;          // the lister's request of PrepareListing, until a listing takes it
    unsigned m_nListing = 0;           // the lister's request whose sub-directories go below...
    HTREEITEM m_hListing = nullptr;    // ...this item; both cleared by every change of the items

    void ListSubdirectories(std::wstring strPath, HTREEITEM hParent);
    void ShowSubdirectories(const Subdirectories& names, HTREEITEM hParent);
    void DropListing();
    void ComposePath(HTREEITEM hItem);
    void DeleteFirstChild(HTREEITEM hItem);
    void DeleteSiblings(HTREEITEM hItem);

    HTREEITEM InsertPathItems(const std::wstring& path);
    void AppendSubdirectories(const std::vector<std::wstring>& names, HTREEITEM hParent);
    bool ShowsListing(HTREEITEM hItem) const;
    bool IsSubdirectoryItem(HTREEITEM hItem) const;
    // The last path item: the one whose path the tree holds.
    HTREEITEM CurrentItem() const;
    // What a double-click on hItem does; false when it changed nothing.
    bool EnterItem(HTREEITEM hItem);
    // The key's move through the folders; false for a key that is the control's own.
    bool HandleFolderKey(UINT nKey);
};
