// The dialogs worked with the keyboard alone: real key presses through the system's input, so
// that the dialog manager, the controls and the program's handlers all take part as they do
// for a user.
#include "app/CUmbrixDlg.h"
#include "app/RunJournalPlace.h"
#include "dirselect/CDirectoryTree.h"
#include "filesystem/CurrentDirectory.h"
#include "renaming/RunJournal.h"
#include "res/resource.h"
#include "tests/app/ScriptedUser.h"
#include "tests/renaming/RunMessages.h"
#include "tests/support/HttpsOpener.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/Observations.h"
#include "tests/support/TempDirectory.h"
#include "tests/support/TestDrive.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Texts = std::vector<std::wstring>;

const std::wstring kMainCaption = L"Umbrix";
const std::wstring kDirectoryCaption = L"Verzeichnis Auswahl:";

std::wstring PathField(HWND hDirDlg) { return WideWindowText(GetDlgItem(hDirDlg, IDC_DIRECTORY_PATH)); }

CDirectoryTree& Tree(HWND hDirDlg) {
    return *static_cast<CDirectoryTree*>(CWnd::FromHandlePermanent(GetDlgItem(hDirDlg, IDC_DIRECTORY_TREE)));
}

bool IsPathItem(const CDirectoryTree& tree, HTREEITEM hItem) {
    int nImage = -1;
    int nSelectedImage = -1;
    return tree.GetItemImage(hItem, nImage, nSelectedImage) && nImage == tree.m_nPathImage;
}

// Every item below the current-directory item (the last of the chain of path items).
Texts Listing(HWND hDirDlg) {
    CDirectoryTree& tree = Tree(hDirDlg);
    HTREEITEM hCurrent = tree.GetRootItem();
    while (HTREEITEM hChild = tree.GetChildItem(hCurrent)) {
        if (!IsPathItem(tree, hChild)) break;
        hCurrent = hChild;
    }
    Texts texts;
    for (HTREEITEM h = tree.GetChildItem(hCurrent); h; h = tree.GetNextSiblingItem(h))
        texts.push_back(tree.GetItemText(h));
    return texts;
}

// Real input goes to the foreground window; a window made a moment ago may not be it yet.
bool InFront(HWND hWnd) {
    if (GetForegroundWindow() != hWnd) SetForegroundWindow(hWnd);
    return GetForegroundWindow() == hWnd;
}

// The keys pressed so far have all been taken from the queue.
bool KeysTaken(HWND) { return !(HIWORD(GetQueueStatus(QS_KEY)) & QS_KEY); }

auto FieldShows(const std::wstring& path) {
    return [path](HWND hDirDlg) { return KeysTaken(hDirDlg) && PathField(hDirDlg) == path; };
}

bool HasFocus(HWND hDlg, int nID) {
    HWND hFocus = GetFocus();
    return hFocus && (hFocus == GetDlgItem(hDlg, nID) || GetParent(hFocus) == GetDlgItem(hDlg, nID));
}

INT_PTR RunScripted(CDialog& dlg, ScriptedUser& user) {
    INT_PTR result = dlg.DoModal();
    EXPECT_TRUE(user.Finished()) << "never saw: " << Utf8(user.Pending());
    return result;
}

}  // namespace

// Three runs on a drive of their own: into a folder with Right, then (reached by its access key)
// with Enter; Enter on the folder the field shows confirms it; Left and Backspace go up, and
// do nothing at the drive.
TEST(KeyboardOnly, TheTreeGoesInAndOutOfFoldersAndEnterRenamesOnlyTheFolderTheFieldShows) {
    TestDrive drive;
    TempDirectory disk(drive.Root());
    disk.AddFile(L"Wurzel.TXT");
    disk.AddDirectory(L"Fotos");
    disk.AddFile(L"Fotos\\Bild.JPG");
    disk.AddDirectory(L"Fotos\\Urlaub");
    disk.AddFile(L"Fotos\\Urlaub\\Strand.png");
    disk.AddDirectory(L"Zebra");
    const std::wstring root = drive.Root();
    const std::wstring fotos = root + L"Fotos";
    const std::wstring urlaub = fotos + L"\\Urlaub";
    ASSERT_TRUE(SetCurrentDirectoryW(root.c_str()));

    MessageBoxRecorder boxes;
    CUmbrixDlg dlg;
    ScriptedUser user(30000);
    // From OK, the first control: Abbruch, the path field, "Liste", the parts, the drive list, the tree.
    auto tabToTree = [](HWND) { EXPECT_TRUE(PressKeys({VK_TAB, VK_TAB, VK_TAB, VK_TAB, VK_TAB, VK_TAB})); };
    auto treeFocused = [](HWND hDirDlg) { return KeysTaken(hDirDlg) && HasFocus(hDirDlg, IDC_DIRECTORY_TREE); };

    user.When(kMainCaption, [](HWND hDlg) { ClickButton(hDlg, IDC_TO_LOWER_CASE); });
    user.WhenReady(kDirectoryCaption, InFront, tabToTree);
    user.WhenReady(kDirectoryCaption, treeFocused, [&](HWND hDirDlg) {
        EXPECT_EQ(PathField(hDirDlg), root);
        EXPECT_TRUE(PressKeys({VK_LEFT, VK_BACK}));  // at the drive: nothing
    });
    user.WhenReady(kDirectoryCaption, KeysTaken, [&](HWND hDirDlg) {
        EXPECT_EQ(PathField(hDirDlg), root);
        EXPECT_EQ(Listing(hDirDlg), (Texts{L"Fotos", L"Zebra"}));
        EXPECT_TRUE(PressKeys({VK_DOWN, VK_RIGHT}));
    });
    user.WhenReady(kDirectoryCaption, FieldShows(fotos), [&](HWND hDirDlg) {
        EXPECT_EQ(Listing(hDirDlg), Texts{L"Urlaub"});
        EXPECT_EQ(Tree(hDirDlg).GetItemText(Tree(hDirDlg).GetSelectedItem()), L"Fotos");
        EXPECT_TRUE(PressKeys({VK_RETURN}));  // the folder the field shows: OK
    });
    user.When(kMainCaption, [&](HWND hDlg) {
        EXPECT_EQ(disk.Names(L"Fotos"), (Texts{L"Urlaub", L"bild.jpg"}));
        EXPECT_EQ(disk.Names(), (Texts{L"Fotos", L"Wurzel.TXT", L"Zebra"}));
        EXPECT_EQ(disk.Names(L"Fotos\\Urlaub"), Texts{L"Strand.png"});
        ClickButton(hDlg, IDC_TO_UPPER_CASE);
    });

    // Opens in Fotos: the tree's access key (Alt+V), Down to Urlaub, Enter goes into it, the
    // next Enter confirms it.
    user.WhenReady(kDirectoryCaption, InFront, [](HWND) { EXPECT_TRUE(PressWith(VK_MENU, 'V')); });
    user.WhenReady(kDirectoryCaption, treeFocused, [&](HWND hDirDlg) {
        EXPECT_EQ(PathField(hDirDlg), fotos);
        EXPECT_TRUE(PressKeys({VK_DOWN, VK_RETURN}));
    });
    user.WhenReady(kDirectoryCaption, FieldShows(urlaub), [&](HWND hDirDlg) {
        EXPECT_TRUE(IsWindowVisible(hDirDlg));  // that Enter entered the folder, it did not confirm
        EXPECT_TRUE(Listing(hDirDlg).empty());
        EXPECT_TRUE(PressKeys({VK_RETURN}));
    });
    user.When(kMainCaption, [&](HWND hDlg) {
        EXPECT_EQ(disk.Names(L"Fotos\\Urlaub"), Texts{L"STRAND.PNG"});
        EXPECT_EQ(disk.Names(L"Fotos"), (Texts{L"Urlaub", L"bild.jpg"}));
        ClickButton(hDlg, IDC_TO_LOWER_CASE);
    });

    // Opens in Urlaub: Backspace goes to Fotos, Left to the drive, as double-clicks there would.
    user.WhenReady(kDirectoryCaption, InFront, tabToTree);
    user.WhenReady(kDirectoryCaption, treeFocused, [&](HWND hDirDlg) {
        EXPECT_EQ(PathField(hDirDlg), urlaub);
        EXPECT_TRUE(PressKeys({VK_BACK}));
    });
    user.WhenReady(kDirectoryCaption, FieldShows(fotos), [&](HWND hDirDlg) {
        EXPECT_EQ(Listing(hDirDlg), Texts{L"Urlaub"});
        EXPECT_TRUE(PressKeys({VK_LEFT}));
    });
    user.WhenReady(kDirectoryCaption, FieldShows(root.substr(0, 2)), [&](HWND hDirDlg) {
        EXPECT_EQ(Listing(hDirDlg), (Texts{L"Fotos", L"Zebra"}));
        EXPECT_TRUE(PressKeys({VK_ESCAPE}));
    });
    user.When(kMainCaption, [](HWND hDlg) { ClickButton(hDlg, IDCANCEL); });

    EXPECT_EQ(RunScripted(dlg, user), IDCANCEL);
    EXPECT_EQ(boxes.Texts(), (Texts{kLowerDone, kUpperDone}));
    AfxSetCurrentDirectory(L"C:\\");
}

namespace {

const std::wstring kListCaption = L"Liste der Umbenennungen";

std::wstring ControlText(HWND hDlg, int nID) { return WideWindowText(GetDlgItem(hDlg, nID)); }

auto CountShows(const std::wstring& line) {
    return [line](HWND hDirDlg) { return KeysTaken(hDirDlg) && ControlText(hDirDlg, IDC_FILE_COUNT) == line; };
}

bool IsChecked(HWND hDlg, int nID) { return IsDlgButtonChecked(hDlg, nID) == BST_CHECKED; }

// Each row of the list as it shows it, its columns separated by tabs.
Texts ListRows(HWND hListDlg) {
    HWND hList = GetDlgItem(hListDlg, IDC_RENAME_LIST);
    Texts rows;
    for (int nRow = 0; nRow < static_cast<int>(SendMessageW(hList, LVM_GETITEMCOUNT, 0, 0)); ++nRow) {
        std::wstring row;
        for (int nColumn = 0; nColumn < 3; ++nColumn) {
            wchar_t text[260] = {};
            LVITEMW item{};
            item.iSubItem = nColumn;
            item.pszText = text;
            item.cchTextMax = 260;
            SendMessageW(hList, LVM_GETITEMTEXTW, static_cast<WPARAM>(nRow), reinterpret_cast<LPARAM>(&item));
            row += (nColumn ? L"\t" : L"") + std::wstring(text);
        }
        rows.push_back(row);
    }
    return rows;
}

void EmptyClipboardOf(HWND hOwner) {
    ASSERT_TRUE(OpenClipboard(hOwner));
    EmptyClipboard();
    CloseClipboard();
}

std::wstring ClipboardText() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE hData = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* pText = static_cast<const wchar_t*>(GlobalLock(hData))) text = pText;
        GlobalUnlock(hData);
    }
    CloseClipboard();
    return text;
}

}  // namespace

// The part chosen by its access key, the count following it, the list opened by its access
// key, its rows selected and copied with Ctrl+A and Ctrl+C and the list closed with Escape, the
// run on Enter doing what the list said; the next dialog opens with that part, and the arrow
// keys choose the next one.
TEST(KeyboardOnly, ThePartAndTheListOfRenamesByKeysAlone) {
    TempDirectory dir;
    dir.AddFilesOnLinux({L"IMG_1234.JPG", L"Rechnung M\u00E4rz.PDF", L"Foto.JPG", L"Foto.jpg", L"LIESMICH"});
    ASSERT_TRUE(SetCurrentDirectoryW(dir.Path().c_str()));
    const Texts rows{L"IMG_1234.JPG\tIMG_1234.jpg\t", L"Rechnung M\u00E4rz.PDF\tRechnung M\u00E4rz.pdf\t",
                     L"Foto.JPG\t\tZwilling von Foto.jpg"};
    const std::wstring wholeCount = L"5 Dateien, davon 3 umzubenennen, 2 davon behalten ihren Namen";
    const std::wstring extensionCount = L"5 Dateien, davon 2 umzubenennen, 1 davon beh\u00E4lt ihren Namen";
    const std::wstring stemCount = L"5 Dateien, davon 3 umzubenennen, 2 davon behalten ihren Namen";

    MessageBoxRecorder boxes;
    CUmbrixDlg dlg;
    ScriptedUser user(60000);
    user.When(kMainCaption, [](HWND hDlg) { ClickButton(hDlg, IDC_TO_LOWER_CASE); });
    user.WhenReady(kDirectoryCaption, CountShows(wholeCount), [](HWND hDirDlg) {
        EXPECT_TRUE(IsChecked(hDirDlg, IDC_PART_WHOLE));
        EXPECT_TRUE(InFront(hDirDlg));
        EXPECT_TRUE(PressWith(VK_MENU, 'E'));
    });
    user.WhenReady(kDirectoryCaption, CountShows(extensionCount), [](HWND hDirDlg) {
        EXPECT_TRUE(IsChecked(hDirDlg, IDC_PART_EXTENSION));
        EXPECT_FALSE(IsChecked(hDirDlg, IDC_PART_WHOLE));
        EXPECT_TRUE(PressWith(VK_MENU, 'L'));
    });
    auto planned = [](HWND hListDlg) {
        return InFront(hListDlg) &&
               ControlText(hListDlg, IDC_RENAME_LIST_STATUS) != L"Dateien werden gez\u00E4hlt \u2026";
    };
    user.WhenReady(kListCaption, planned, [&](HWND hListDlg) {
        EXPECT_EQ(ControlText(hListDlg, IDC_RENAME_LIST_STATUS), extensionCount);
        EXPECT_EQ(ListRows(hListDlg), rows);
        EXPECT_TRUE(HasFocus(hListDlg, IDC_RENAME_LIST));
        EmptyClipboardOf(hListDlg);
        EXPECT_TRUE(PressWith(VK_CONTROL, 'A'));
        EXPECT_TRUE(PressWith(VK_CONTROL, 'C'));
    });
    user.WhenReady(kListCaption, KeysTaken, [&](HWND) {
        EXPECT_EQ(ClipboardText(), rows[0] + L"\r\n" + rows[1] + L"\r\n" + rows[2] + L"\r\n");
        EXPECT_TRUE(PressKeys({VK_ESCAPE}));
    });
    user.WhenReady(kDirectoryCaption, InFront, [](HWND) { EXPECT_TRUE(PressKeys({VK_RETURN})); });
    user.When(kMainCaption, [&](HWND hDlg) {
        EXPECT_EQ(dir.Names(),
                  (Texts{L"Foto.JPG", L"Foto.jpg", L"IMG_1234.jpg", L"LIESMICH", L"Rechnung M\u00E4rz.pdf"}));
        ClickButton(hDlg, IDC_TO_LOWER_CASE);
    });
    // Opened again with "nur Endungen": Tab reaches the group at that button, Right chooses the next.
    user.WhenReady(kDirectoryCaption, InFront, [](HWND hDirDlg) {
        EXPECT_TRUE(IsChecked(hDirDlg, IDC_PART_EXTENSION));
        EXPECT_TRUE(PressKeys({VK_TAB, VK_TAB, VK_TAB, VK_TAB}));
    });
    user.WhenReady(
        kDirectoryCaption, [](HWND hDirDlg) { return KeysTaken(hDirDlg) && HasFocus(hDirDlg, IDC_PART_EXTENSION); },
        [](HWND) { EXPECT_TRUE(PressKeys({VK_RIGHT})); });
    user.WhenReady(kDirectoryCaption, CountShows(stemCount), [](HWND hDirDlg) {
        EXPECT_TRUE(IsChecked(hDirDlg, IDC_PART_STEM));
        EXPECT_FALSE(IsChecked(hDirDlg, IDC_PART_EXTENSION));
        EXPECT_TRUE(PressKeys({VK_ESCAPE}));
    });
    user.When(kMainCaption, [](HWND hDlg) { ClickButton(hDlg, IDCANCEL); });

    EXPECT_EQ(RunScripted(dlg, user), IDCANCEL);
    EXPECT_EQ(dlg.m_part, NamePart::Stem);
    EXPECT_EQ(boxes.Texts(), Texts{std::wstring(kNotAll) + L"\nFoto.JPG"});
    AfxSetCurrentDirectory(L"C:\\");
}

namespace {

// The tests' stand-in for a browser (built beside the link tests) writes one record per start
// into the folder named by UMBRIX_LINK_RECORDS; the shell opens a program's path by starting it.
std::string RecorderPath() {
    char szSelf[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, szSelf, MAX_PATH);
    std::string self = szSelf;
    std::string relative = self.substr(0, self.rfind('\\') + 1) + "..\\hyperlink\\link_recorder.exe";
    char szFull[MAX_PATH] = {};
    GetFullPathNameA(relative.c_str(), MAX_PATH, szFull, nullptr);
    return szFull;
}

std::vector<std::string> Records(const TempDirectory& records) {
    std::vector<std::string> found;
    for (const std::wstring& name : records.Names())
        if (name.size() > 4 && name.substr(name.size() - 4) == L".txt") found.push_back(records.Contents(name));
    return found;
}

bool CuesShown(HWND hWnd) { return !(SendMessageW(hWnd, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS); }

}  // namespace

// Tab reaches the link in the main dialog and in the About box; Enter and Space open it there
// as a click does, and Enter does not end the dialog.
TEST(KeyboardOnly, TabReachesTheLinksAndEnterOrSpaceOpensTheAddress) {
    TempDirectory records;
    SetEnvironmentVariableA("UMBRIX_LINK_RECORDS", records.AnsiPath().c_str());
    const std::string recorder = RecorderPath();

    MessageBoxRecorder boxes;
    CUmbrixDlg dlg;
    AfxGetThread()->m_pMainWnd = &dlg;    // the About box's owner
    HttpsOpener https(recorder);  // the dialog's own address, opened without a browser
    ScriptedUser user(30000);
    // A last run with a file to give back, so that "Rückgängig" takes part.
    RunJournal journal;
    journal.folders.resize(1);
    journal.folders[0].shownDirectory = journal.folders[0].directory = records.Path();
    journal.folders[0].entries = {JournalEntry{L"Brief.DOC", L"brief.doc", FileIdentity{}}};
    ASSERT_TRUE(ReplaceRunJournal(RunJournalPath(), journal));
    // From "Ende", the first control: the two case buttons, "Rückgängig", then the link.
    user.WhenReady(kMainCaption, InFront, [](HWND) { EXPECT_TRUE(PressKeys({VK_TAB, VK_TAB, VK_TAB, VK_TAB})); });
    user.WhenReady(
        kMainCaption, [](HWND hDlg) { return KeysTaken(hDlg) && HasFocus(hDlg, IDC_WEB_LINK); },
        [&](HWND hDlg) {
            EXPECT_TRUE(CuesShown(GetDlgItem(hDlg, IDC_WEB_LINK)));  // so its focus rectangle shows
            EXPECT_TRUE(PressKeys({VK_RETURN}));
        });
    user.WhenReady(
        kMainCaption, [&](HWND) { return Records(records).size() == 1; },
        [&](HWND) {
            EXPECT_TRUE(dlg.m_link.IsVisited());
            EXPECT_TRUE(PressKeys({VK_SPACE}));
        });
    user.WhenReady(
        // The recorder's start may have taken the foreground; the About box opens in front.
        kMainCaption, [&](HWND hDlg) { return Records(records).size() == 2 && InFront(hDlg); },
        [&](HWND hDlg) { PostMessageA(hDlg, WM_SYSCOMMAND, IDM_ABOUTBOX, 0); });
    user.WhenReady(L"Info über Umbrix", InFront, [](HWND) { EXPECT_TRUE(PressKeys({VK_TAB})); });
    user.WhenReady(
        L"Info über Umbrix", [](HWND hAbout) { return KeysTaken(hAbout) && HasFocus(hAbout, IDC_ABOUT_WEB_LINK); },
        [](HWND hAbout) {
            EXPECT_TRUE(CuesShown(GetDlgItem(hAbout, IDC_ABOUT_WEB_LINK)));
            EXPECT_TRUE(PressKeys({VK_ESCAPE}));
        });
    user.When(kMainCaption, [](HWND hDlg) { ClickButton(hDlg, IDCANCEL); });

    EXPECT_EQ(RunScripted(dlg, user), IDCANCEL);
    AfxGetThread()->m_pMainWnd = nullptr;
    std::vector<std::string> found = Records(records);
    ASSERT_EQ(found.size(), 2u);
    for (const std::string& record : found) {
        EXPECT_EQ(record.substr(0, 7), "show 5\n");
        EXPECT_NE(record.find("link_recorder.exe"), std::string::npos) << record;
    }
    EXPECT_TRUE(boxes.Boxes().empty());
    WithdrawRunJournal(RunJournalPath());
}
