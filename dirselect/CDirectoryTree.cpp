#include "dirselect/CDirectoryTree.h"

#include "dirselect/TreeViewOrder.h"
#include "filesystem/CurrentDirectory.h"
#include "filesystem/DirectoryListing.h"
#include "filesystem/ExtendedPath.h"
#include "platform/SystemError.h"

#include <algorithm>
#include <system_error>

IMPLEMENT_DYNAMIC(CDirectoryTree, CTreeCtrl)

BEGIN_MESSAGE_MAP(CDirectoryTree, CTreeCtrl)
    ON_NOTIFY_REFLECT(NM_DBLCLK, OnDblclk)
    ON_MESSAGE(WM_KEYDOWN, OnKeyDown)
    ON_MESSAGE(WM_CHAR, OnChar)
    ON_MESSAGE(WM_GETDLGCODE, OnGetDlgCode)
END_MESSAGE_MAP()

void CDirectoryTree::PrepareListing(const std::wstring& strPath) {
    m_prepared = {};
    m_strPreparedPath = strPath;
    // The order is the tree's thread's, whatever locale a new thread starts with.
    try {
        m_prepared = std::async(std::launch::async, ReadSubdirectories, strPath, GetThreadLocale());
    } catch (const std::system_error&) {
        // No thread to be had: the tree lists the directory itself, as it does every other.
    }
}

BOOL CDirectoryTree::ShowPath() {
    if (m_chDrive != s_chNoDrive) {
        const wchar_t drive[] = {static_cast<wchar_t>(static_cast<unsigned char>(m_chDrive)), L':', L'\0'};
        AfxSetCurrentDirectory(drive);  // lands in the drive's remembered directory
        DeleteAllItems();
    }
    std::wstring current = AfxGetCurrentDirectory();
    if (current.empty()) {
        m_prepared = {};
        AfxShowLastError(m_hWnd, "GetLastError");
        return FALSE;
    }
    m_strPath = current;
    m_chDrive = static_cast<char>(current[0]);
    HTREEITEM hCurrent = InsertPathItems(m_strPath);
    if (hCurrent) ListSubdirectories(m_strPath, hCurrent);
    m_prepared = {};  // whatever was not taken would be out of date later; waits for its thread
    return TRUE;
}

// One path item per component, each the only child of the one before; the last one, the
// current directory, ends up selected. Runs of backslashes count as one separator.
HTREEITEM CDirectoryTree::InsertPathItems(const std::wstring& path) {
    HTREEITEM hParent = TVI_ROOT;
    int nComponents = 0;
    for (size_t start = 0; start < path.size();) {
        size_t end = std::min(path.find(L'\\', start), path.size());
        if (end > start) {
            hParent = InsertItem(path.substr(start, end - start).c_str(), m_nPathImage, m_nPathSelectedImage, hParent,
                                 TVI_LAST);
            ++nComponents;
        }
        start = end + 1;
    }
    HTREEITEM hItem = GetRootItem();
    HTREEITEM hCurrent = nullptr;
    for (int i = 0; i < nComponents && hItem; ++i) {
        Expand(hItem, TVE_EXPAND);
        hCurrent = hItem;
        hItem = GetChildItem(hItem);
    }
    if (hCurrent) SelectItem(hCurrent);
    return hCurrent;
}

void CDirectoryTree::ListSubdirectories(std::wstring strPath, HTREEITEM hParent) {
    Subdirectories names = TakeSubdirectories(strPath);
    if (!names) return;
    AppendSubdirectories(*names, hParent);
    Expand(hParent, TVE_EXPAND);
}

// The extended path lists exactly the folder named, at any depth: "Music." is not "Music" here.
// In the order of TVI_SORT: sorted insertion compares with every sibling already there, which
// is quadratic for big directories; sorting first and appending gives the same order.
CDirectoryTree::Subdirectories CDirectoryTree::ReadSubdirectories(const std::wstring& strPath, LCID locale) {
    SetThreadLocale(locale);
    DirectoryListing listing = ReadDirectoryListing(AfxExtendedPath(strPath), ListingDetail::Names);
    if (!listing.started) return std::nullopt;
    std::vector<std::wstring> names;
    for (ListingEntry& entry : listing.entries)
        if (entry.IsDirectory()) names.push_back(std::move(entry.name));
    SortLikeTreeView(names);
    return names;
}

// The prepared listing goes with the first listing after it, taken or not.
CDirectoryTree::Subdirectories CDirectoryTree::TakeSubdirectories(const std::wstring& strPath) {
    std::future<Subdirectories> prepared = std::move(m_prepared);
    if (prepared.valid() && m_strPreparedPath == strPath) return prepared.get();
    return ReadSubdirectories(strPath, GetThreadLocale());
}

// Both callers list below an item without children.
void CDirectoryTree::AppendSubdirectories(const std::vector<std::wstring>& names, HTREEITEM hParent) {
    for (const std::wstring& name : names)
        InsertItem(name.c_str(), m_nDirImage, m_nDirSelectedImage, hParent, TVI_LAST);
}

void CDirectoryTree::ComposePath(HTREEITEM hItem) {
    std::wstring path = GetItemText(hItem);
    for (HTREEITEM hAncestor = GetParentItem(hItem); hAncestor; hAncestor = GetParentItem(hAncestor))
        path = GetItemText(hAncestor) + L"\\" + path;
    m_strPath = path;
    CWnd* pParent = CWnd::FromHandle(::GetParent(m_hWnd));
    if (pParent) pParent->PostMessage(WM_DIRECTORY_CHANGED, 0, 0);
}

void CDirectoryTree::DeleteFirstChild(HTREEITEM hItem) {
    HTREEITEM hChild = ItemHasChildren(hItem) ? GetChildItem(hItem) : nullptr;
    if (!hChild) return;
    // Collapsed first, so that its children go without a recount of the visible items each
    // (see DeleteSiblings). The selection is above it and stays.
    Expand(hChild, TVE_COLLAPSE);
    while (HTREEITEM hGrandChild = GetChildItem(hChild)) DeleteItem(hGrandChild);
    DeleteItem(hChild);
}

void CDirectoryTree::DeleteSiblings(HTREEITEM hItem) {
    // The control recounts its visible items after each deletion of a visible one, which makes
    // deleting thousands of siblings quadratic; hidden below a collapsed parent they go at
    // once. Collapsing moves the selection to the parent, so it is put back.
    HTREEITEM hParent = GetParentItem(hItem);
    bool bHide = hParent && (GetItemState(hParent, TVIS_EXPANDED) & TVIS_EXPANDED);
    bool bSelected = GetSelectedItem() == hItem;
    if (bHide) Expand(hParent, TVE_COLLAPSE);
    while (HTREEITEM hPrevious = GetPrevSiblingItem(hItem)) DeleteItem(hPrevious);
    while (HTREEITEM hNext = GetNextSiblingItem(hItem)) DeleteItem(hNext);
    if (bHide) Expand(hParent, TVE_EXPAND);
    if (bSelected) SelectItem(hItem);
}

// True when the item's first child is a sub-directory item, so its listing is shown.
bool CDirectoryTree::ShowsListing(HTREEITEM hItem) const {
    HTREEITEM hChild = ItemHasChildren(hItem) ? GetChildItem(hItem) : nullptr;
    return hChild && IsSubdirectoryItem(hChild);
}

bool CDirectoryTree::IsSubdirectoryItem(HTREEITEM hItem) const {
    int nImage = -1;
    int nSelectedImage = -1;
    if (!GetItemImage(hItem, nImage, nSelectedImage)) return false;
    return nImage == m_nDirImage || nSelectedImage == m_nDirSelectedImage;
}

HTREEITEM CDirectoryTree::CurrentItem() const {
    HTREEITEM hItem = GetRootItem();
    while (hItem) {
        HTREEITEM hChild = GetChildItem(hItem);
        if (!hChild || IsSubdirectoryItem(hChild)) break;
        hItem = hChild;
    }
    return hItem;
}

void CDirectoryTree::OnDblclk(NMHDR*, LRESULT* pResult) {
    HTREEITEM hItem = GetSelectedItem();
    if (!hItem) return;
    *pResult = 1;  // the control must not toggle the item's expansion itself
    EnterItem(hItem);
}

bool CDirectoryTree::EnterItem(HTREEITEM hItem) {
    if (GetItemState(hItem, TVIS_EXPANDED) & TVIS_EXPANDED) {
        if (ShowsListing(hItem)) return false;
        DeleteFirstChild(hItem);
    } else {
        SetItem(hItem, TVIF_IMAGE | TVIF_SELECTEDIMAGE, nullptr, m_nPathImage, m_nPathSelectedImage, 0, 0, 0);
        DeleteSiblings(hItem);
        // A collapsed item may still hold children (the keyboard collapses items); they go,
        // so that the listing below does not put its sub-directories there a second time.
        while (HTREEITEM hChild = GetChildItem(hItem)) DeleteItem(hChild);
    }
    ComposePath(hItem);
    ListSubdirectories(m_strPath, hItem);
    return true;
}

// Right and Left would expand and collapse items, which shows a second listing beside the
// first once an item is entered: these keys move through the folders instead, never the
// control's way.
bool CDirectoryTree::HandleFolderKey(UINT nKey) {
    HTREEITEM hSelected = GetSelectedItem();
    switch (nKey) {
    case VK_RIGHT:
        if (hSelected && IsSubdirectoryItem(hSelected)) EnterItem(hSelected);
        return true;
    case VK_RETURN:
        if (hSelected && hSelected != CurrentItem()) EnterItem(hSelected);
        return true;
    case VK_LEFT:
    case VK_BACK:
        if (HTREEITEM hParent = GetParentItem(CurrentItem())) {
            SelectItem(hParent);
            EnterItem(hParent);
        }
        return true;
    default:
        return false;
    }
}

LRESULT CDirectoryTree::OnKeyDown(WPARAM wParam, LPARAM) {
    if (HandleFolderKey(static_cast<UINT>(wParam))) return 0;
    return Default();
}

// The characters of Enter and Backspace would only start the control's search by first letter.
LRESULT CDirectoryTree::OnChar(WPARAM wParam, LPARAM) {
    if (wParam == L'\r' || wParam == L'\b') return 0;
    return Default();
}

// The dialog takes Enter for its default button, unless the tree asks for it: it does so while
// another item than the current directory is selected, so that Enter confirms only the
// directory that the path field shows.
LRESULT CDirectoryTree::OnGetDlgCode(WPARAM, LPARAM lParam) {
    LRESULT code = Default();
    const MSG* pMsg = reinterpret_cast<const MSG*>(lParam);
    if (pMsg && pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_RETURN) {
        HTREEITEM hSelected = GetSelectedItem();
        if (hSelected && hSelected != CurrentItem()) code |= DLGC_WANTMESSAGE;
    }
    return code;
}
