#include "dirselect/CRenameListDlg.h"

#include "dirselect/FileCountText.h"
#include "dirselect/PlannedFileText.h"
#include "platform/AfxDpi.h"
#include "res/resource.h"
#include "wine/WineHost.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <system_error>
#include <utility>

BEGIN_MESSAGE_MAP(CRenameListDlg, CDialog)
    ON_MESSAGE(WM_RENAME_LIST_PLANNED, OnPlanned)
    ON_NOTIFY(LVN_GETDISPINFOW, IDC_RENAME_LIST, OnGetDispInfo)
END_MESSAGE_MAP()

namespace {

void SetItemText(HWND hDlg, int nID, const std::wstring& text) { ::SetDlgItemTextW(hDlg, nID, text.c_str()); }

bool IsCtrlKey(const MSG& msg, WPARAM key) {
    return msg.message == WM_KEYDOWN && msg.wParam == key && (::GetKeyState(VK_CONTROL) & 0x8000) &&
           !(::GetKeyState(VK_MENU) & 0x8000);
}

// Puts the text on the clipboard as Unicode text; false when the clipboard could not be had.
bool CopyToClipboard(HWND hOwner, const std::wstring& text) {
    size_t nBytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL hText = GlobalAlloc(GMEM_MOVEABLE, nBytes);
    if (!hText) return false;
    void* pText = GlobalLock(hText);
    if (pText) std::memcpy(pText, text.c_str(), nBytes);
    GlobalUnlock(hText);
    if (pText && OpenClipboard(hOwner)) {
        bool bSet = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, hText);
        CloseClipboard();
        if (bSet) return true;  // the clipboard owns it now
    }
    GlobalFree(hText);
    return false;
}

}  // namespace

CRenameListDlg::CRenameListDlg(const CaseChange& change, std::wstring directory, CWnd* pParent)
    : CDialog(IDD_RENAME_LIST, pParent), m_change(change), m_strDirectory(std::move(directory)) {}

CRenameListDlg::~CRenameListDlg() { StopPlanning(); }

// The planning thread is given up and waited for before the dialog's rows go.
INT_PTR CRenameListDlg::DoModal() {
    INT_PTR nResult = CDialog::DoModal();
    StopPlanning();
    return nResult;
}

void CRenameListDlg::StopPlanning() {
    m_bStop = true;
    if (m_planner.joinable()) m_planner.join();
}

void CRenameListDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_RENAME_LIST, m_list);
}

BOOL CRenameListDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetItemText(m_hWnd, IDC_RENAME_LIST_DIRECTORY, m_strDirectory);
    SetItemText(m_hWnd, IDC_RENAME_LIST_STATUS, AfxToWide(CountingText()));
    m_list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    m_list.InsertColumn(0, AfxToWide("Jetziger Name"), 100);
    m_list.InsertColumn(1, AfxToWide("Neuer Name"), 100);
    m_list.InsertColumn(2, AfxToWide("Hinweis"), 100);
    SizeColumns(AfxGetWindowDpi(m_hWnd));
    // "X:" alone would mean the drive's remembered directory; the field shows the root so.
    std::wstring root = m_strDirectory.size() == 2 ? m_strDirectory + L"\\" : m_strDirectory;
    try {
        m_planner = std::thread(&CRenameListDlg::Plan, this, wine::ExactPath(root));
    } catch (const std::system_error&) {
        Plan(wine::ExactPath(root));  // no thread to be had: planned here, and shown when it is done
    }
    m_list.SetFocus();
    return FALSE;  // the focus is on the list, so that the arrow keys scroll it
}

// On the planning thread: the rows, or what went wrong, for the user-interface thread.
void CRenameListDlg::Plan(std::wstring exactDirectory) {
    try {
        m_plan = PlanFiles(exactDirectory, m_bStop);
    } catch (...) {
        m_fault = std::current_exception();
    }
    PostMessage(WM_RENAME_LIST_PLANNED);
}

RunPlan CRenameListDlg::PlanFiles(const std::wstring& exactDirectory, const std::atomic<bool>& bStop) {
    return PlanRun(m_change, exactDirectory, bStop);
}

LRESULT CRenameListDlg::OnPlanned(WPARAM, LPARAM) {
    if (m_planner.joinable()) m_planner.join();  // it has posted: it ends now, and its rows are ours
    if (m_fault) std::rethrow_exception(std::exchange(m_fault, nullptr));
    if (m_plan.counts.bStopped) return 0;
    m_bPlanned = true;
    SetItemText(m_hWnd, IDC_RENAME_LIST_STATUS, AfxToWide(FileCountText(m_change, m_plan.counts)));
    m_list.SetItemCount(static_cast<int>(RowCount()));
    if (RowCount() > 0) m_list.SetItemState(0, LVIS_FOCUSED, LVIS_FOCUSED);
    return 0;
}

const PlannedFile& CRenameListDlg::Row(size_t nRow) const {
    return nRow < m_plan.renamed.size() ? m_plan.renamed[nRow] : m_plan.kept[nRow - m_plan.renamed.size()];
}

std::wstring CRenameListDlg::CellText(size_t nRow, int nColumn) const {
    if (!m_bPlanned || nRow >= RowCount()) return std::wstring();
    const PlannedFile& file = Row(nRow);
    switch (nColumn) {
    case 0:
        return file.name;
    case 1:
        return file.plan.fate == FileFate::Renamed ? file.plan.target : std::wstring();
    default:
        return PlannedFileNote(m_change, file);
    }
}

void CRenameListDlg::OnGetDispInfo(NMHDR* pNMHDR, LRESULT*) {
    LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(pNMHDR)->item;
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0 || item.iItem < 0) return;
    std::wstring text = CellText(static_cast<size_t>(item.iItem), item.iSubItem);
    size_t nCopied = std::min(text.size(), static_cast<size_t>(item.cchTextMax - 1));
    std::wmemcpy(item.pszText, text.c_str(), nCopied);
    item.pszText[nCopied] = L'\0';
}

std::wstring CRenameListDlg::SelectedRowsText() const {
    std::wstring text;
    for (int nRow = m_list.GetNextItem(-1, LVNI_SELECTED); nRow >= 0; nRow = m_list.GetNextItem(nRow, LVNI_SELECTED)) {
        if (static_cast<size_t>(nRow) >= RowCount()) break;
        auto row = static_cast<size_t>(nRow);
        text += CellText(row, 0) + L'\t' + CellText(row, 1) + L'\t' + CellText(row, 2) + L"\r\n";
    }
    return text;
}

void CRenameListDlg::CopySelectedRows() {
    std::wstring text = SelectedRowsText();
    if (!text.empty() && !CopyToClipboard(m_hWnd, text)) ::MessageBeep(MB_ICONEXCLAMATION);
}

// Ctrl+A and Ctrl+C wherever the focus is in the dialog; everything else as dialogs do.
BOOL CRenameListDlg::PreTranslateMessage(MSG* pMsg) {
    bool bHere = pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd);
    if (bHere && IsCtrlKey(*pMsg, 'A')) {
        m_list.SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
        return TRUE;
    }
    if (bHere && IsCtrlKey(*pMsg, 'C')) {
        CopySelectedRows();
        return TRUE;
    }
    return CDialog::PreTranslateMessage(pMsg);
}

// The columns share the list's width: the names three tenths each, the note (up to "Zwilling von"
// a whole name) the rest.
void CRenameListDlg::SizeColumns(UINT nDpi) {
    CRect client;
    m_list.GetClientRect(&client);
    int cx = client.Width() - AfxGetSystemMetricForDpi(SM_CXVSCROLL, nDpi);
    int cxName = cx * 3 / 10;
    m_list.SetColumnWidth(0, cxName);
    m_list.SetColumnWidth(1, cxName);
    m_list.SetColumnWidth(2, cx - 2 * cxName);
}

void CRenameListDlg::ShowAtDpi(UINT nDpi) { SizeColumns(nDpi); }
