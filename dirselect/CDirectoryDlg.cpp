#include "dirselect/CDirectoryDlg.h"

#include "dirselect/CRenameListDlg.h"
#include "dirselect/FileCountText.h"
#include "filesystem/CurrentDirectory.h"
#include "res/resource.h"

#include <commctrl.h>

#include <iterator>

BEGIN_MESSAGE_MAP(CDirectoryDlg, CDialog)
    ON_CBN_SELCHANGE(IDC_DRIVE_LIST, OnSelchangeDrive)
    ON_MESSAGE(WM_FILES_COUNTED, OnFilesCounted)
    ON_WM_TIMER()
    ON_BN_CLICKED(IDC_PART_WHOLE, OnNamePart)
    ON_BN_CLICKED(IDC_PART_EXTENSION, OnNamePart)
    ON_BN_CLICKED(IDC_PART_STEM, OnNamePart)
    ON_BN_CLICKED(IDC_RENAME_LIST_OPEN, OnRenameList)
END_MESSAGE_MAP()

namespace {

// Timers come only once nothing else waits, the first drawing of the dialog included.
constexpr UINT_PTR kShownTimer = 1;

// The radio button of each part, in the order of NamePart.
constexpr int kPartButtons[] = {IDC_PART_WHOLE, IDC_PART_EXTENSION, IDC_PART_STEM};

}  // namespace

CDirectoryDlg::CDirectoryDlg(CWnd* pParent) : CDialog(IDD_DIRECTORY, pParent) {}

CDirectoryDlg::CDirectoryDlg(const CaseChange& change, CWnd* pParent)
    : CDialog(IDD_DIRECTORY, pParent), m_part(change.part), m_direction(change.direction) {}

CDirectoryDlg::CDirectoryDlg(UINT nIDTemplate, std::optional<CaseChange> change, CWnd* pParent)
    : CDialog(nIDTemplate, pParent) {
    if (!change) return;
    m_part = change->part;
    m_direction = change->direction;
}

// The tree opens at the current directory; its listing is read while the window is made.
INT_PTR CDirectoryDlg::DoModal() {
    std::wstring current = AfxGetCurrentDirectory();
    if (!current.empty()) m_tree.PrepareListing(current);
    INT_PTR nResult = CDialog::DoModal();
    // Nothing reads the directory any more once the caller may start a run in it.
    m_counter.Stop();
    return nResult;
}

void CDirectoryDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_DIRECTORY_PATH, m_editPath);
    DDX_Control(pDX, IDC_DIRECTORY_TREE, m_tree);
    DDX_Control(pDX, IDC_DRIVE_LIST, m_driveList);
    DDX_Control(pDX, IDC_FILE_COUNT, m_countLine);
    DDX_Text(pDX, IDC_DIRECTORY_PATH, m_strDirectory);
}

BOOL CDirectoryDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    UINT nDpi = AfxGetWindowDpi(m_hWnd);
    ShowFolderPictures(nDpi);
    m_icons.Show(this, MAKEINTRESOURCEA(IDR_MAINFRAME), nDpi, FALSE);
    m_driveList.FillDrives();
    ShowNamePart();
    m_tree.ShowPath();
    UpdatePathField();
    return TRUE;
}

void CDirectoryDlg::ShowNamePart() {
    int nChosen = kPartButtons[static_cast<int>(m_part)];
    for (int nID : kPartButtons) {
        HWND hButton = ::GetDlgItem(m_hWnd, nID);
        ::SendMessageW(hButton, BM_SETCHECK, nID == nChosen ? BST_CHECKED : BST_UNCHECKED, 0);
        // Tab leads into the group at the chosen button; the arrow keys move within it.
        LONG style = ::GetWindowLongW(hButton, GWL_STYLE);
        ::SetWindowLongW(hButton, GWL_STYLE, nID == nChosen ? style | WS_TABSTOP : style & ~WS_TABSTOP);
        ::EnableWindow(hButton, m_direction.has_value());
    }
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_RENAME_LIST_OPEN), m_direction.has_value());
}

// A click, an access key or an arrow key chose a part: the count follows at once.
void CDirectoryDlg::OnNamePart() {
    for (size_t i = 0; i < std::size(kPartButtons); ++i)
        if (::SendMessageW(::GetDlgItem(m_hWnd, kPartButtons[i]), BM_GETCHECK, 0, 0) == BST_CHECKED)
            m_part = static_cast<NamePart>(i);
    ShowNamePart();
    CountFiles();
}

void CDirectoryDlg::OnRenameList() {
    std::wstring path = m_tree.GetPath();
    if (!m_direction || path.empty()) return;
    CRenameListDlg dlg(CaseChange(*m_direction, m_part), path, this);
    dlg.DoModal();
}

int CDirectoryDlg::FolderPictureSize(UINT nDpi) {
    int nSmallIcon = AfxGetSystemMetricForDpi(SM_CXSMICON, nDpi);
    int nSize = 16;
    for (int nDrawn : {20, 24, 32})
        if (nDrawn <= nSmallIcon) nSize = nDrawn;
    return nSize;
}

// The four folder pictures drawn for a DPI, their black, greys and white mapped to
// the system's button colours; the list has no mask, so they are drawn opaque.
void CDirectoryDlg::ShowFolderPictures(UINT nDpi) {
    struct PictureSet {
        int nSize;
        UINT nIDs[4];
    };
    static const PictureSet sets[] = {{16, {IDB_DIR, IDB_DIR_SELECTED, IDB_PATH, IDB_PATH_SELECTED}},
                                      {20, {IDB_DIR_20, IDB_DIR_SELECTED_20, IDB_PATH_20, IDB_PATH_SELECTED_20}},
                                      {24, {IDB_DIR_24, IDB_DIR_SELECTED_24, IDB_PATH_24, IDB_PATH_SELECTED_24}},
                                      {32, {IDB_DIR_32, IDB_DIR_SELECTED_32, IDB_PATH_32, IDB_PATH_SELECTED_32}}};
    int nSize = FolderPictureSize(nDpi);
    const PictureSet* pSet = &sets[0];
    for (const PictureSet& set : sets)
        if (set.nSize == nSize) pSet = &set;
    CImageList list;
    list.Create(nSize, nSize, ILC_COLOR, 4, 4);
    for (UINT nID : pSet->nIDs) {
        HINSTANCE hInst = AfxFindResourceHandle(MAKEINTRESOURCEA(nID), RT_BITMAP);
        CBitmap bitmap;
        bitmap.Attach(CreateMappedBitmap(hInst, static_cast<INT_PTR>(nID), 0, nullptr, 0));
        list.Add(&bitmap, nullptr);
        bitmap.DeleteObject();
    }
    m_tree.SetImageList(&list, TVSIL_NORMAL);
    m_imageList.DeleteImageList();
    m_imageList.Attach(list.Detach());
}

void CDirectoryDlg::ShowAtDpi(UINT nDpi) {
    ShowFolderPictures(nDpi);
    m_icons.Show(this, MAKEINTRESOURCEA(IDR_MAINFRAME), nDpi, FALSE);
}

void CDirectoryDlg::OnSelchangeDrive() {
    int nIndex = m_driveList.GetCurSel();
    if (nIndex == CB_ERR) return;
    if (!m_driveList.IsDriveReady(nIndex)) {
        m_driveList.SelectDrive(m_tree.m_chDrive);
        return;
    }
    std::wstring text = m_driveList.GetLBTextWide(nIndex);
    if (text.empty()) return;
    m_tree.m_chDrive = static_cast<char>(text[0]);
    m_tree.ShowPath();
    UpdatePathField();
}

// The tree posts its notification to the dialog; it is consumed here, before dispatch.
BOOL CDirectoryDlg::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message == WM_DIRECTORY_CHANGED) {
        UpdatePathField();
        return TRUE;
    }
    return CDialog::PreTranslateMessage(pMsg);
}

void CDirectoryDlg::UpdatePathField() {
    m_editPath.SetWindowText(m_tree.GetPath());
    CountFiles();
}

void CDirectoryDlg::CountFiles() {
    if (!m_direction) return;
    std::wstring path = m_tree.GetPath();
    if (path.empty()) {
        m_counter.Drop();
        m_countLine.SetWindowText(std::wstring());
        return;
    }
    m_countLine.SetWindowText(AfxToWide(CountingText()));
    // The first count starts once the dialog stands drawn, so that opening it costs no more.
    if (!m_bShown) {
        SetTimer(kShownTimer, 0);
        return;
    }
    m_nCountRequest = m_counter.Count(m_hWnd, CaseChange(*m_direction, m_part), path);
    if (m_nCountRequest == 0) m_countLine.SetWindowText(std::wstring());
}

void CDirectoryDlg::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent != kShownTimer) return;
    KillTimer(kShownTimer);
    m_bShown = true;
    CountFiles();
}

// Only the count of the directory now shown is taken; one that was dropped never arrives.
LRESULT CDirectoryDlg::OnFilesCounted(WPARAM wParam, LPARAM) {
    auto nRequest = static_cast<unsigned>(wParam);
    if (nRequest != m_nCountRequest || !m_direction) return 0;
    std::optional<RunPreview> preview = m_counter.TakeResult(nRequest);
    if (preview) m_countLine.SetWindowText(AfxToWide(FileCountText(CaseChange(*m_direction, m_part), *preview)));
    return 0;
}
