// The dialog templates: exact content as compiled by windres, and real dialogs made from them.
#include "platform/AfxCommonControls.h"
#include "platform/CDC.h"
#include "res/resource.h"
#include "tests/res/DialogTemplate.h"
#include "tests/support/Observations.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
const char kWebAddress[] = "https://umbrix.example.org";

void ExpectItems(const DialogTemplate& dlg, const std::vector<DialogTemplateItem>& expected) {
    ASSERT_EQ(dlg.items.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const DialogTemplateItem& got = dlg.items[i];
        const DialogTemplateItem& want = expected[i];
        SCOPED_TRACE("control #" + std::to_string(i + 1) + " \"" + want.text + "\"");
        EXPECT_EQ(got.id, want.id);
        EXPECT_EQ(got.windowClass, want.windowClass);
        EXPECT_EQ(got.text, want.text);
        EXPECT_EQ(got.style, want.style) << std::hex << got.style;
        EXPECT_EQ(got.exStyle, 0u);
        EXPECT_EQ((std::vector<short>{got.x, got.y, got.cx, got.cy}),
                  (std::vector<short>{want.x, want.y, want.cx, want.cy}));
    }
}

void ExpectDialogFrame(const DialogTemplate& dlg, const char* caption, short cx, short cy) {
    EXPECT_EQ(dlg.caption, caption);
    EXPECT_EQ((std::vector<short>{dlg.x, dlg.y, dlg.cx, dlg.cy}), (std::vector<short>{0, 0, cx, cy}));
    EXPECT_EQ(dlg.menu, "");
    EXPECT_EQ(dlg.windowClass, "");
    EXPECT_EQ(dlg.font, "MS Sans Serif");
    EXPECT_EQ(dlg.pointSize, 8);
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// A modeless dialog made from one of our templates, destroyed with the test.
class DialogWindow {
public:
    explicit DialogWindow(int id) {
        AfxInitCommonControls();
        m_hWnd = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), nullptr, PlainDialogProc, 0);
    }
    ~DialogWindow() {
        if (m_hWnd) DestroyWindow(m_hWnd);
    }
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;
    HWND Handle() const { return m_hWnd; }

    std::vector<HWND> Children() const {
        std::vector<HWND> children;
        for (HWND child = GetWindow(m_hWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            children.push_back(child);
        return children;
    }

private:
    HWND m_hWnd = nullptr;
};

std::string ClassName(HWND hWnd) {
    char name[64] = {};
    GetClassNameA(hWnd, name, sizeof(name));
    return name;
}

bool IsIcon(HWND hWnd) {
    return (GetWindowLongA(hWnd, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && ClassName(hWnd) == "Static";
}

// An icon static's window text is its resource ordinal; tests look at its icon instead.
std::string ShownText(HWND hWnd) {
    if (IsIcon(hWnd)) return SendMessageA(hWnd, STM_GETICON, 0, 0) ? "<icon>" : "<no icon>";
    return WindowText(hWnd);
}

// Every text of a static or button must fit on one line of its control, in the dialog's font.
// The hyperlink label is left out: it sizes itself to its text.
void ExpectTextsFit(const DialogWindow& dlg, int linkId) {
    for (HWND child : dlg.Children()) {
        std::string text = ShownText(child);
        if (text.empty() || IsIcon(child) || GetDlgCtrlID(child) == linkId) continue;
        RECT needed{};
        {
            CClientDC dc(child);
            CObjectSelection font(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(child, WM_GETFONT, 0, 0)));
            DrawTextA(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        }
        RECT client{};
        GetClientRect(child, &client);
        // A radio button's text stands right of its circle.
        if ((GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON && ClassName(child) == "Button")
            client.right -= 16;
        EXPECT_LE(needed.right, client.right) << '"' << text << '"';
    }
}

TEST(DialogTemplates, AboutBoxIsAPlainGermanTemplate) {
    EXPECT_NE(
        FindResourceExA(nullptr, RT_DIALOG, MAKEINTRESOURCEA(IDD_ABOUTBOX), MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN)),
        nullptr);
    DialogTemplate dlg = ReadDialogTemplate(IDD_ABOUTBOX);
    EXPECT_FALSE(dlg.extended);
    EXPECT_EQ(dlg.style, DWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
    EXPECT_EQ(dlg.exStyle, 0u);
    ExpectDialogFrame(dlg,
                      "Info \xFC"
                      "ber Umbrix",
                      217, 104);
    const DWORD text = kChild | SS_LEFT | WS_GROUP;
    ExpectItems(
        dlg, {
                 {kChild | SS_ICON, 0, 11, 17, 18, 20, -1, "STATIC", "#128"},
                 {text | SS_NOPREFIX, 0, 40, 10, 143, 8, -1, "STATIC", "Umbrix, Version 1.0 by Umbrix team"},
                 {text, 0, 40, 25, 119, 8, -1, "STATIC", "\xA9 2026 Umbrix team - Freeware"},
                 {kChild | BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 0, 180, 35, 32, 14, IDOK, "BUTTON", "OK"},
                 {text | WS_TABSTOP, 0, 41, 41, 67, 8, IDC_ABOUT_WEB_LINK, "STATIC", kWebAddress},
                 {text, 0, 5, 65, 186, 8, -1, "STATIC", "NSIS 3.08 (Nullsoft Scriptable Install System)"},
                 {text, 0, 5, 77, 186, 8, -1, "STATIC", "(C) Nullsoft and Contributors, https://nsis.sourceforge.io"},
                 {text, 0, 5, 89, 181, 8, -1, "STATIC", "Modern UI 2 (C) NSIS contributors"},
             });
}

TEST(DialogTemplates, AboutBoxTextsFitTheirControls) {
    DialogWindow dlg(IDD_ABOUTBOX);
    ASSERT_NE(dlg.Handle(), nullptr) << GetLastError();
    EXPECT_EQ(dlg.Children().size(), 8u);
    ExpectTextsFit(dlg, IDC_ABOUT_WEB_LINK);
}

TEST(DialogTemplates, MainDialogIsAnExtendedTemplate) {
    DialogTemplate dlg = ReadDialogTemplate(IDD_UMBRIX_DIALOG);
    EXPECT_TRUE(dlg.extended);
    EXPECT_EQ(dlg.style, 0x90C800C0u);
    EXPECT_EQ(dlg.exStyle, DWORD(WS_EX_APPWINDOW));
    ExpectDialogFrame(dlg, "Umbrix", 228, 99);
    EXPECT_EQ(dlg.weight, FW_NORMAL);
    EXPECT_EQ(dlg.italic, 0);
    EXPECT_EQ(dlg.charset, DEFAULT_CHARSET);
    const DWORD button = 0x50010000;
    ExpectItems(dlg, {
                         {button, 0, 147, 71, 60, 14, IDCANCEL, "BUTTON", "Ende"},
                         {button, 0, 17, 28, 88, 14, IDC_TO_LOWER_CASE, "BUTTON", "in kleine Dateinamen"},
                         {button, 0, 119, 28, 88, 14, IDC_TO_UPPER_CASE, "BUTTON",
                          "in gro\xDF"
                          "e Dateinamen"},
                         {button, 0, 8, 60, 60, 14, IDC_UNDO, "BUTTON",
                          "&R\xFC"
                          "ckg\xE4ngig"},
                         {0x50000007, 0, 6, 11, 216, 44, -1, "BUTTON",
                          "Alle Dateien in dem gew\xE4"
                          "hlten Verzeichnis werden umbenannt "},
                         {0x50000003, 0, 106, 71, 16, 16, -1, "STATIC", "#128"},
                         {0x50030000, 0, 8, 79, 67, 8, IDC_WEB_LINK, "STATIC", kWebAddress},
                     });
}

TEST(DialogTemplates, MainDialogShowsItsTextsInTemplateOrder) {
    DialogWindow dlg(IDD_UMBRIX_DIALOG);
    ASSERT_NE(dlg.Handle(), nullptr) << GetLastError();
    EXPECT_EQ(WindowText(dlg.Handle()), "Umbrix");
    EXPECT_TRUE(GetWindowLongA(dlg.Handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
    std::vector<std::string> texts;
    for (HWND child : dlg.Children()) texts.push_back(ShownText(child));
    EXPECT_EQ(texts, (std::vector<std::string>{"Ende", "in kleine Dateinamen",
                                               "in gro\xDF"
                                               "e Dateinamen",
                                               "&R\xFC"
                                               "ckg\xE4ngig",
                                               "Alle Dateien in dem gew\xE4"
                                               "hlten Verzeichnis werden umbenannt ",
                                               "<icon>", kWebAddress}));
    ExpectTextsFit(dlg, IDC_WEB_LINK);
    // "Rückgängig" stands clear of every other control, the group's frame included.
    RECT undo{};
    GetWindowRect(GetDlgItem(dlg.Handle(), IDC_UNDO), &undo);
    for (HWND child : dlg.Children()) {
        RECT other{}, common{};
        GetWindowRect(child, &other);
        if (GetDlgCtrlID(child) == IDC_UNDO) continue;
        EXPECT_FALSE(IntersectRect(&common, &undo, &other)) << ShownText(child);
    }
}

TEST(DialogTemplates, DirectoryDialogTemplate) {
    DialogTemplate dlg = ReadDialogTemplate(IDD_DIRECTORY);
    EXPECT_EQ(dlg.style, DWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
    ExpectDialogFrame(dlg, "Verzeichnis Auswahl:", 290, 199);
    const DWORD tab = kChild | WS_TABSTOP;
    const DWORD label = kChild | SS_LEFT | WS_GROUP;
    const DWORD radio = kChild | BS_AUTORADIOBUTTON;
    ExpectItems(
        dlg, {
                 {tab | BS_DEFPUSHBUTTON, 0, 227, 173, 50, 14, IDOK, "BUTTON", "OK"},
                 {tab, 0, 14, 173, 50, 14, IDCANCEL, "BUTTON", "Abbruch"},
                 {label, 0, 13, 7, 100, 8, -1, "STATIC", "&Pfad:"},
                 {tab | WS_BORDER | ES_READONLY | ES_AUTOHSCROLL, 0, 13, 17, 264, 14, IDC_DIRECTORY_PATH, "EDIT", ""},
                 {label | SS_NOPREFIX, 0, 13, 35, 36, 8, -1, "STATIC", "Vorschau:"},
                 {label | SS_NOPREFIX, 0, 50, 35, 172, 16, IDC_FILE_COUNT, "STATIC", ""},
                 {tab, 0, 227, 34, 50, 14, IDC_RENAME_LIST_OPEN, "BUTTON", "&Liste \x85"},
                 {label | SS_NOPREFIX, 0, 13, 55, 36, 8, -1, "STATIC", "\xC4ndern:"},
                 {radio | WS_GROUP | WS_TABSTOP, 0, 50, 54, 60, 10, IDC_PART_WHOLE, "BUTTON", "&ganze Namen"},
                 {radio, 0, 112, 54, 62, 10, IDC_PART_EXTENSION, "BUTTON", "nur &Endungen"},
                 {radio, 0, 176, 54, 101, 10, IDC_PART_STEM, "BUTTON", "nur Namen &ohne Endung"},
                 {label, 0, 14, 140, 100, 8, -1, "STATIC", "Lauf&werk:"},
                 {tab | WS_VSCROLL | CBS_DROPDOWN | CBS_SORT, 0, 14, 150, 263, 47, IDC_DRIVE_LIST, "COMBOBOX", ""},
                 {label, 0, 13, 71, 100, 8, -1, "STATIC", "&Verzeichnisse:"},
                 {tab | WS_BORDER, 0, 13, 81, 264, 52, IDC_DIRECTORY_TREE, "SYSTREEVIEW32", "Tree1"},
                 {kChild | SS_ICON, 0, 137, 170, 16, 16, -1, "STATIC", "#128"},
             });
}

TEST(DialogTemplates, DirectoryDialogCreatesItsControlsInTabOrder) {
    DialogWindow dlg(IDD_DIRECTORY);
    ASSERT_NE(dlg.Handle(), nullptr) << GetLastError();
    EXPECT_EQ(WindowText(dlg.Handle()), "Verzeichnis Auswahl:");

    struct Expected {
        int id;
        const char* cls;
        const char* text;
    } const expected[] = {{IDOK, "Button", "OK"},
                          {IDCANCEL, "Button", "Abbruch"},
                          {0xFFFF, "Static", "&Pfad:"},
                          {IDC_DIRECTORY_PATH, "Edit", ""},
                          {0xFFFF, "Static", "Vorschau:"},
                          {IDC_FILE_COUNT, "Static", ""},
                          {IDC_RENAME_LIST_OPEN, "Button", "&Liste \x85"},
                          {0xFFFF, "Static", "\xC4ndern:"},
                          {IDC_PART_WHOLE, "Button", "&ganze Namen"},
                          {IDC_PART_EXTENSION, "Button", "nur &Endungen"},
                          {IDC_PART_STEM, "Button", "nur Namen &ohne Endung"},
                          {0xFFFF, "Static", "Lauf&werk:"},
                          {IDC_DRIVE_LIST, "ComboBox", ""},
                          {0xFFFF, "Static", "&Verzeichnisse:"},
                          {IDC_DIRECTORY_TREE, "SysTreeView32", "Tree1"},
                          {0xFFFF, "Static", "<icon>"}};
    std::vector<HWND> children = dlg.Children();
    ASSERT_EQ(children.size(), std::size(expected));
    for (size_t i = 0; i < children.size(); ++i) {
        SCOPED_TRACE(expected[i].cls);
        EXPECT_EQ(GetDlgCtrlID(children[i]), expected[i].id);
        EXPECT_EQ(ClassName(children[i]), expected[i].cls);
        EXPECT_EQ(ShownText(children[i]), expected[i].text);
    }

    LONG treeStyle = GetWindowLongA(children[14], GWL_STYLE);
    EXPECT_EQ(treeStyle & 0xFFFF, 0) << "no lines, no buttons, no label editing";
    EXPECT_TRUE(GetWindowLongA(children[3], GWL_STYLE) & ES_READONLY);
    EXPECT_EQ(GetWindowLongA(children[12], GWL_STYLE) & 3, CBS_DROPDOWN);

    // Tab goes OK -> Abbruch -> path -> Liste -> the parts' group -> drive list -> tree -> OK;
    // neither the icon nor a label is a tab stop. A label's access key leads to the control after
    // it. The arrow keys move within the parts' group, and only there.
    std::vector<int> tabOrder;
    HWND item = children[0];
    for (int i = 0; i < 8; ++i, item = GetNextDlgTabItem(dlg.Handle(), item, FALSE))
        tabOrder.push_back(GetDlgCtrlID(item));
    EXPECT_EQ(tabOrder, (std::vector<int>{IDOK, IDCANCEL, IDC_DIRECTORY_PATH, IDC_RENAME_LIST_OPEN, IDC_PART_WHOLE,
                                          IDC_DRIVE_LIST, IDC_DIRECTORY_TREE, IDOK}));
    std::vector<int> group;
    item = children[8];
    for (int i = 0; i < 4; ++i, item = GetNextDlgGroupItem(dlg.Handle(), item, FALSE))
        group.push_back(GetDlgCtrlID(item));
    EXPECT_EQ(group, (std::vector<int>{IDC_PART_WHOLE, IDC_PART_EXTENSION, IDC_PART_STEM, IDC_PART_WHOLE}));
    ExpectTextsFit(dlg, 0);

    // From top to bottom: label, path field, status line, the parts, label, tree, label, drive
    // list, the buttons; each label above its control, none overlapping another control. The
    // status line's label stands on its left, on its first line, and so does the parts'; the
    // list's button stands right of the status line, the radio buttons side by side.
    auto rectOf = [&](size_t i) {
        RECT rect{};
        GetWindowRect(children[i], &rect);
        return rect;
    };
    std::vector<size_t> shown = {2, 3, 5, 8, 13, 14, 11, 12, 0};
    for (size_t i = 1; i < shown.size(); ++i)
        EXPECT_LE(rectOf(shown[i - 1]).bottom, rectOf(shown[i]).top) << "control #" << shown[i] + 1;
    EXPECT_LE(rectOf(5).right, rectOf(6).left);
    EXPECT_LE(rectOf(3).bottom, rectOf(6).top);
    EXPECT_LE(rectOf(6).bottom, rectOf(8).top);
    EXPECT_GE(rectOf(7).top, rectOf(8).top);
    EXPECT_LT(rectOf(7).top, rectOf(8).bottom);
    for (size_t i : {7, 8, 9}) EXPECT_LE(rectOf(i).right, rectOf(i + 1).left);
    EXPECT_EQ(rectOf(4).top, rectOf(5).top);
    EXPECT_LE(rectOf(4).right, rectOf(5).left);
}

}  // namespace

namespace {

TEST(DialogTemplates, RenameListTemplate) {
    DialogTemplate dlg = ReadDialogTemplate(IDD_RENAME_LIST);
    EXPECT_FALSE(dlg.extended);
    EXPECT_EQ(dlg.style, DWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
    ExpectDialogFrame(dlg, "Liste der Umbenennungen", 360, 230);
    const DWORD text = kChild | SS_LEFT | SS_NOPREFIX;
    ExpectItems(dlg, {
                         {text | SS_PATHELLIPSIS, 0, 7, 7, 346, 8, IDC_RENAME_LIST_DIRECTORY, "STATIC", ""},
                         {text, 0, 7, 18, 346, 8, IDC_RENAME_LIST_STATUS, "STATIC", ""},
                         {kChild | SS_LEFT | WS_GROUP, 0, 7, 31, 100, 8, -1, "STATIC", "&Dateien:"},
                         {kChild | WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS, 0, 7, 41,
                          346, 162, IDC_RENAME_LIST, "SYSLISTVIEW32", "Dateien"},
                         {kChild | BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 303, 209, 50, 14, IDCANCEL, "BUTTON",
                          "Schlie\xDF" "en"},
                     });
    DialogWindow window(IDD_RENAME_LIST);
    ASSERT_NE(window.Handle(), nullptr) << GetLastError();
    // The list's label leads to it; Tab goes between the list and "Schließen".
    HWND hList = GetDlgItem(window.Handle(), IDC_RENAME_LIST);
    EXPECT_EQ(GetNextDlgTabItem(window.Handle(), hList, FALSE), GetDlgItem(window.Handle(), IDCANCEL));
    EXPECT_EQ(GetNextDlgTabItem(window.Handle(), GetDlgItem(window.Handle(), IDCANCEL), FALSE), hList);
    // The longest status the program puts in, in the dialog's font.
    SetDlgItemTextA(window.Handle(), IDC_RENAME_LIST_STATUS,
                    "999.999 Dateien, davon 999.999 umzubenennen, 999.999 davon behalten ihren Namen");
    ExpectTextsFit(window, 0);
}

TEST(DialogTemplates, ProgressWindowTemplate) {
    DialogTemplate dlg = ReadDialogTemplate(IDD_PROGRESS);
    EXPECT_FALSE(dlg.extended);
    EXPECT_EQ(dlg.style, DWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
    ExpectDialogFrame(dlg, "Umbenennen", 220, 84);
    const DWORD text = kChild | SS_LEFT | SS_NOPREFIX;
    ExpectItems(dlg, {
                         {text, 0, 7, 7, 206, 8, IDC_PROGRESS_ACTION, "STATIC", ""},
                         {text | SS_PATHELLIPSIS, 0, 7, 18, 206, 8, IDC_PROGRESS_DIRECTORY, "STATIC", ""},
                         {kChild, 0, 7, 32, 206, 10, IDC_PROGRESS_BAR, "MSCTLS_PROGRESS32", ""},
                         {text, 0, 7, 46, 206, 8, IDC_PROGRESS_COUNT, "STATIC", ""},
                         {kChild | BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 163, 63, 50, 14, IDCANCEL, "BUTTON", "Abbrechen"},
                     });
    DialogWindow window(IDD_PROGRESS);
    ASSERT_NE(window.Handle(), nullptr) << GetLastError();
    // The longest texts the program puts in, in the dialog's font.
    SetDlgItemTextA(window.Handle(), IDC_PROGRESS_ACTION, "Dateien werden in gro\xDF" "e Dateinamen umbenannt:");
    SetDlgItemTextA(window.Handle(), IDC_PROGRESS_COUNT, "1.234.567 von 1.234.567 Dateien");
    ExpectTextsFit(window, 0);
}

}  // namespace
