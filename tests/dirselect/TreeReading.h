#pragma once
// Reading a tree control the way a user sees it, and a parent window to put controls in.
#include "platform/AfxWin.h"

#include <string>
#include <vector>

std::vector<std::wstring> ChildTexts(const CTreeCtrl& tree, HTREEITEM hParent);
bool IsExpanded(const CTreeCtrl& tree, HTREEITEM hItem);
std::pair<int, int> Images(const CTreeCtrl& tree, HTREEITEM hItem);
HTREEITEM FindChild(const CTreeCtrl& tree, HTREEITEM hParent, const std::wstring& text);

class CDirectoryTree;
// The sub-directories come on a message of the tree's own once they are read: handles the
// tree's messages until they are shown. Only the tree's: notifications posted to its parent
// stay for the parent.
void WaitForListing(CDirectoryTree& tree);

// A visible top-level window that counts the WM_DIRECTORY_CHANGED posted to it.
class CTestParent : public CWnd {
public:
    CTestParent();
    // Removes the posted notifications from the queue and counts them.
    int TakePosted();
};
