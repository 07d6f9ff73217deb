// The names assistive technology reads for every control that Tab reaches, in the three
// dialogs: a button or a link by its text, any other control by the label just before it in
// the dialog's order (that is where Windows' accessibility layer looks for it).
#include "app/CUmbrixDlg.h"
#include "app/RunJournalPlace.h"
#include "renaming/RunJournal.h"
#include "res/resource.h"
#include "tests/app/ScriptedUser.h"
#include "tests/support/Observations.h"
#include "tests/support/TempDirectory.h"

#include <gtest/gtest.h>

#include <oleacc.h>

#include <string>
#include <vector>

namespace {

std::wstring ClassOf(HWND hWnd) {
    wchar_t name[64] = {};
    GetClassNameW(hWnd, name, 64);
    return name;
}

// As the name is read: the access-key marker goes.
std::wstring WithoutAccessKey(std::wstring text) {
    size_t at = text.find(L'&');
    if (at != std::wstring::npos) text.erase(at, 1);
    return text;
}

bool NamedByOwnText(HWND hWnd) {
    std::wstring name = ClassOf(hWnd);
    return lstrcmpiW(name.c_str(), L"Button") == 0 || lstrcmpiW(name.c_str(), L"Static") == 0;
}

// The label a control without a text of its own is named by: a visible text static control
// just before it in the dialog's order. Empty when there is none.
std::wstring LabelBefore(HWND hWnd) {
    HWND hLabel = GetWindow(hWnd, GW_HWNDPREV);
    if (!hLabel || lstrcmpiW(ClassOf(hLabel).c_str(), L"Static") != 0 || !IsWindowVisible(hLabel)) return {};
    if ((GetWindowLongW(hLabel, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) return {};
    return WithoutAccessKey(WideWindowText(hLabel));
}

struct NameCheck {
    bool bAnswered = true;                 // the system gave an accessible object at all
    std::vector<std::wstring> unanswered;  // controls it named by their own text, not the label
    int nChecked = 0;
};

// The name of the window's client object as the accessibility layer gives it.
bool AccessibleName(HWND hWnd, std::wstring& name) {
    IAccessible* pAccessible = nullptr;
    // __uuidof: the library's IID_IAccessible links as an import thunk, not as the identifier.
    if (FAILED(AccessibleObjectFromWindow(hWnd, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&pAccessible))) ||
        !pAccessible)
        return false;
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR bstrName = nullptr;
    HRESULT hr = pAccessible->get_accName(self, &bstrName);
    pAccessible->Release();
    name = SUCCEEDED(hr) && bstrName ? std::wstring(bstrName, SysStringLen(bstrName)) : std::wstring();
    SysFreeString(bstrName);
    return SUCCEEDED(hr);
}

void CheckTabStops(HWND hDlg, NameCheck& check) {
    HWND hFirst = GetNextDlgTabItem(hDlg, nullptr, FALSE);
    ASSERT_NE(hFirst, nullptr);
    HWND hControl = hFirst;
    do {
        ++check.nChecked;
        bool bOwnText = NamedByOwnText(hControl);
        std::wstring expected = bOwnText ? WithoutAccessKey(WideWindowText(hControl)) : LabelBefore(hControl);
        EXPECT_FALSE(expected.empty()) << Utf8(ClassOf(hControl)) << " " << GetDlgCtrlID(hControl)
                                       << " has neither a text nor a label before it";
        std::wstring name;
        if (!AccessibleName(hControl, name)) {
            check.bAnswered = false;
        } else if (name != expected) {
            if (!bOwnText && name == WideWindowText(hControl))
                check.unanswered.push_back(ClassOf(hControl));
            else
                ADD_FAILURE() << Utf8(ClassOf(hControl)) << " is named \"" << Utf8(name) << "\", not \""
                              << Utf8(expected) << "\"";
        }
        hControl = GetNextDlgTabItem(hDlg, hControl, FALSE);
    } while (hControl && hControl != hFirst);
}

}  // namespace

TEST(AccessibleNames, EveryControlTabReachesIsNamedByItsTextOrTheLabelBeforeIt) {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    TempDirectory dir;
    dir.AddDirectory(L"Sub");
    ASSERT_TRUE(SetCurrentDirectoryW(dir.Path().c_str()));
    // A last run with a file to give back, so that "Rückgängig" is enabled and reached by Tab.
    RunJournal journal;
    journal.folders.resize(1);
    journal.folders[0].shownDirectory = journal.folders[0].directory = dir.Path();
    journal.folders[0].entries = {JournalEntry{L"Brief.DOC", L"brief.doc", FileIdentity{}}};
    ASSERT_TRUE(ReplaceRunJournal(RunJournalPath(), journal));
    NameCheck check;
    CUmbrixDlg dlg;
    AfxGetThread()->m_pMainWnd = &dlg;
    ScriptedUser user;
    user.When(L"Umbrix", [&](HWND hDlg) {
        CheckTabStops(hDlg, check);
        ClickButton(hDlg, IDC_TO_LOWER_CASE);
    });
    user.When(L"Verzeichnis Auswahl:", [&](HWND hDirDlg) {
        CheckTabStops(hDirDlg, check);
        ClickButton(hDirDlg, IDC_RENAME_LIST_OPEN);
    });
    user.When(L"Liste der Umbenennungen", [&](HWND hListDlg) {
        CheckTabStops(hListDlg, check);
        ClickButton(hListDlg, IDCANCEL);
    });
    user.When(L"Verzeichnis Auswahl:", [](HWND hDirDlg) { ClickButton(hDirDlg, IDCANCEL); });
    user.When(L"Umbrix", [](HWND hDlg) { PostMessageA(hDlg, WM_SYSCOMMAND, IDM_ABOUTBOX, 0); });
    user.When(L"Info über Umbrix", [&](HWND hAbout) {
        CheckTabStops(hAbout, check);
        ClickButton(hAbout, IDOK);
    });
    user.When(L"Umbrix", [](HWND hDlg) { ClickButton(hDlg, IDCANCEL); });
    dlg.DoModal();
    AfxGetThread()->m_pMainWnd = nullptr;
    SetCurrentDirectoryA("C:\\");
    WithdrawRunJournal(RunJournalPath());
    CoUninitialize();
    EXPECT_TRUE(user.Finished()) << "never saw: " << Utf8(user.Pending());
    // Main dialog: Ende, two case buttons, Rückgängig, link; directory dialog: OK, Abbruch, path
    // field, "Liste", the chosen part, drive list, tree; the list: the list, "Schließen"; About
    // box: OK, link.
    EXPECT_EQ(check.nChecked, 5 + 7 + 2 + 2);

    if (!check.bAnswered) GTEST_SKIP() << "the system gave no accessible object for a dialog control";
    if (!check.unanswered.empty()) {
        std::string classes;
        for (const std::wstring& name : check.unanswered) classes += " " + Utf8(name);
        GTEST_SKIP() << "each label stands just before its control, as checked, but the accessibility layer "
                        "here (Wine's reads labels for edit controls only) names these by their own window text:"
                     << classes;
    }
}
