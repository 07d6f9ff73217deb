#include "dirselect/CDirectoryTree.h"

#include "filesystem/CurrentDirectory.h"
#include "platform/SystemError.h"

#include <algorithm>
#include <utility>

IMPLEMENT_DYNAMIC(CDirectoryTree, CTreeCtrl)

BEGIN_MESSAGE_MAP(CDirectoryTree, CTreeCtrl)
    ON_NOTIFY_REFLECT(NM_DBLCLK, OnDblclk)
    ON_MESSAGE(WM_KEYDOWN, OnKeyDown)
    ON_MESSAGE(WM_CHAR, OnChar)
    ON_MESSAGE(WM_GETDLGCODE, OnGetDlgCode)
    ON_MESSAGE(WM_SUBDIRECTORIES_LISTED, OnSubdirectoriesListed)
    ON_MESSAGE(WM_DESTROY, OnDestroy)
END_MESSAGE_MAP()

// The order is the tree's thread's, whatever locale the lister's thread starts with.
void CDirectoryTree::PrepareListing(const std::wstring& strPath) {
    m_strPreparedPath = strPath;
    m_nPrepared = m_lister.List(strPath, GetThreadLocale());
}

BOOL CDirectoryTree::ShowPath() {
    DropListing();
    if (m_chDrive != s_chNoDrive) {
        const wchar_t drive[] = {static_cast<wchar_t>(static_cast<unsigned char>(m_chDrive)), L':', L'\0'};
        AfxSetCurrentDirectory(drive);  // lands in the drive's remembered directory
        DeleteAllItems();
    }
    std::wstring current = AfxGetCurrentDirectory();
    if (current.empty()) {
        m_nPrepared = 0;
        AfxShowLastError(m_hWnd, "GetLastError");
        return FALSE;
    }
    m_strPath = current;
    m_chDrive = static_cast<char>(current[0]);
    HTREEITEM hCurrent = InsertPathItems(m_strPath);
    if (hCurrent) ListSubdirectories(m_strPath, hCurrent);
    m_nPrepared = 0;  // whatever was not taken would be out of date later
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

// The sub-directories appear below hParent when the lister has read them; the listing prepared
// before the window goes with the first listing after it, taken or not. Where no thread can be
// had, the directory is listed here and now.
void CDirectoryTree::ListSubdirectories(std::wstring strPath, HTREEITEM hParent) {
    unsigned nPrepared = std::exchange(m_nPrepared, 0);
    unsigned nRequest = nPrepared && m_strPreparedPath == strPath ? nPrepared : m_lister.List(strPath, GetThreadLocale());
    if (nRequest == 0) {
        ShowSubdirectories(CSubdirectoryLister::Read(strPath, GetThreadLocale()), hParent);
        return;
    }
    // Read already (the prepared listing, often): shown at once, before the window is drawn.
    if (std::optional<Subdirectories> names = m_lister.Take(nRequest)) {
        ShowSubdirectories(*names, hParent);
        return;
    }
    m_nListing = nRequest;
    m_hListing = hParent;
    m_lister.NotifyTo(m_hWnd);
}

// Only the listing last asked for is shown, below the item it was asked for; any change of the
// items since has dropped it.
LRESULT CDirectoryTree::OnSubdirectoriesListed(WPARAM wParam, LPARAM) {
    auto nRequest = static_cast<unsigned>(wParam);
    if (nRequest == 0 || nRequest != m_nListing) return 0;
    std::optional<Subdirectories> names = m_lister.Take(nRequest);
    if (!names) return 0;
    HTREEITEM hParent = m_hListing;
    m_nListing = 0;
    m_hListing = nullptr;
    ShowSubdirectories(*names, hParent);
    return 0;
}

// A directory that cannot be listed gets no children and stays unexpanded.
void CDirectoryTree::ShowSubdirectories(const Subdirectories& names, HTREEITEM hParent) {
    if (!names) return;
    AppendSubdirectories(*names, hParent);
    Expand(hParent, TVE_EXPAND);
}

void CDirectoryTree::DropListing() {
    if (m_nListing) m_lister.Drop();
    m_nListing = 0;
    m_hListing = nullptr;
}

// Nothing reads a directory any more once the dialog has ended: its caller may start a run there.
LRESULT CDirectoryTree::OnDestroy(WPARAM, LPARAM) {
    m_lister.Stop();
    m_nListing = 0;
    m_hListing = nullptr;
    return Default();
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
    if (m_nListing && hItem == m_hListing) return false;  // its listing is on its way
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
    DropListing();  // the item it was for may be gone
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
