#include "tests/dirselect/TreeReading.h"

#include "dirselect/CDirectoryTree.h"

#include <gtest/gtest.h>

#include <commctrl.h>

std::vector<std::wstring> ChildTexts(const CTreeCtrl& tree, HTREEITEM hParent) {
    std::vector<std::wstring> texts;
    for (HTREEITEM h = tree.GetChildItem(hParent); h; h = tree.GetNextSiblingItem(h))
        texts.push_back(tree.GetItemText(h));
    return texts;
}

bool IsExpanded(const CTreeCtrl& tree, HTREEITEM hItem) {
    return (tree.GetItemState(hItem, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

std::pair<int, int> Images(const CTreeCtrl& tree, HTREEITEM hItem) {
    int nImage = -1;
    int nSelected = -1;
    tree.GetItemImage(hItem, nImage, nSelected);
    return {nImage, nSelected};
}

HTREEITEM FindChild(const CTreeCtrl& tree, HTREEITEM hParent, const std::wstring& text) {
    for (HTREEITEM h = tree.GetChildItem(hParent); h; h = tree.GetNextSiblingItem(h))
        if (tree.GetItemText(h) == text) return h;
    return nullptr;
}

CTestParent::CTestParent() {
    CreateEx(0, AfxRegisterWndClass(0), "tree parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr,
             nullptr);
}

int CTestParent::TakePosted() {
    int count = 0;
    MSG msg;
    while (PeekMessageA(&msg, m_hWnd, WM_DIRECTORY_CHANGED, WM_DIRECTORY_CHANGED, PM_REMOVE)) {
        if (msg.wParam == 0 && msg.lParam == 0) ++count;
    }
    return count;
}

void WaitForListing(CDirectoryTree& tree) {
    for (ULONGLONG giveUp = GetTickCount64() + 30000; tree.IsListing() && GetTickCount64() < giveUp;) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_POSTMESSAGE);
        MSG msg;
        while (PeekMessageW(&msg, tree.m_hWnd, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    EXPECT_FALSE(tree.IsListing()) << "the sub-directories were never shown";
}
