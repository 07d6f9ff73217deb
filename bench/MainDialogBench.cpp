// Opening the main dialog when the last run's journal names 100,000 files, against opening it
// with no journal: "Rückgängig" is enabled from the journal's start alone, so the two must take
// the same time. Taken turn about (which goes first alternates), in blocks of 20 rounds until
// the ratios of the bests over the odd and over the even blocks lie less than half the 5 %
// allowed apart (at least 40 rounds, at most 400). Checks that the button is enabled with the
// journal and disabled without it.
//
//   main_dialog_bench.exe [FILES]     default 100000
#include "app/CSplashWindow.h"
#include "app/CUmbrixDlg.h"
#include "app/RunJournalPlace.h"
#include "bench/Stopwatch.h"
#include "filesystem/ExtendedPath.h"
#include "renaming/RunJournal.h"
#include "res/resource.h"
#include "tests/support/TempDirectory.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr UINT WM_BENCH_SHOWN = WM_APP + 2;

// Notes when it stands drawn, and whether "Rückgängig" is enabled, then closes.
class CShownMainDlg : public CUmbrixDlg {
public:
    Stopwatch m_clock;  // from construction, just before DoModal
    double m_dShown = 0;
    bool m_bUndoEnabled = false;

protected:
    BOOL OnInitDialog() override {
        BOOL result = CUmbrixDlg::OnInitDialog();
        PostMessage(WM_BENCH_SHOWN);  // handled once the dialog is shown
        return result;
    }
    BOOL PreTranslateMessage(MSG* pMsg) override {
        if (pMsg->message != WM_BENCH_SHOWN) return CUmbrixDlg::PreTranslateMessage(pMsg);
        ::UpdateWindow(m_hWnd);
        m_dShown = m_clock.Seconds();
        m_bUndoEnabled = ::IsWindowEnabled(::GetDlgItem(m_hWnd, IDC_UNDO)) != FALSE;
        EndDialog(IDCANCEL);
        return TRUE;
    }
};

[[noreturn]] void Fail(const std::string& what) {
    std::printf("FAILED: %s\n", what.c_str());
    std::fflush(stdout);
    std::exit(1);
}

// A journal as a run over that many files leaves it, in the folder given.
void WriteJournal(const std::wstring& folder, int count) {
    std::vector<JournalEntry> entries;
    for (int i = 0; i < count; ++i) {
        std::wstring number = std::to_wstring(100000 + i);
        entries.push_back(JournalEntry{L"Report-" + number + L".Txt", L"report-" + number + L".txt",
                                       FileIdentity{uint64_t(i + 1), 0x5A000000u, 1, 0x01DD87B61258ECC5ull}});
    }
    CRunJournalWriter writer(AfxJoinPath(folder, L"Letzter Lauf.umbrix-journal"));
    if (writer.Start()) Fail("the journal cannot be started");
    writer.BeginFolder(L"C:\\Fotos", L"C:\\Fotos", CaseDirection::Lower, VolumeKeeps{});
    if (!writer.WriteBatch(entries)) Fail("the journal cannot be written");
    writer.EndFolder(entries, entries.size());
    writer.Finish();
    if (ReadRunJournal(AfxJoinPath(folder, L"Letzter Lauf.umbrix-journal")).journal.EntryCount() != size_t(count))
        Fail("the journal does not name every file");
}

struct Bests {
    double without[2] = {1e9, 1e9};  // over the even and over the odd blocks of rounds
    double with[2] = {1e9, 1e9};

    double Without() const { return std::min(without[0], without[1]); }
    double With() const { return std::min(with[0], with[1]); }
    double Ratio() const { return With() / Without(); }
    // How far the ratios of the two sets of blocks lie apart, against the ratio of all.
    double Noise() const { return std::abs(with[0] / without[0] - with[1] / without[1]) / Ratio(); }
};

double OpenDialog(const std::wstring& journalFolder, bool bEnabledExpected) {
    SetRunJournalFolder(journalFolder);
    CShownMainDlg dlg;
    dlg.DoModal();
    if (dlg.m_bUndoEnabled != bEnabledExpected)
        Fail(bEnabledExpected ? "\"Rückgängig\" disabled with a journal" : "\"Rückgängig\" enabled without a journal");
    return dlg.m_dShown;
}

}  // namespace

int main(int argc, char** argv) {
    int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    if (count <= 0) Fail("not a number of files");
    CSplashWindow::SetAllowed(FALSE);
    TempDirectory withJournal, withoutJournal;
    std::wstring with = AfxExtendedPath(withJournal.Path()), without = AfxExtendedPath(withoutJournal.Path());
    WriteJournal(with, count);
    Bests best;
    int rounds = 0;
    while (rounds < 40 || (best.Noise() >= 0.025 && rounds < 400)) {
        for (int i = 0; i < 20; ++i, ++rounds) {
            // The two take turns going first.
            bool bWithFirst = rounds % 2 != 0;
            double first = OpenDialog(bWithFirst ? with : without, bWithFirst);
            double second = OpenDialog(bWithFirst ? without : with, !bWithFirst);
            double& w = best.with[(rounds / 20) % 2];
            double& wo = best.without[(rounds / 20) % 2];
            w = std::min(w, bWithFirst ? first : second);
            wo = std::min(wo, bWithFirst ? second : first);
        }
    }
    SetRunJournalFolder(std::wstring());
    double ratio = best.Ratio();
    std::printf(
        "Main dialog (open until drawn, best of %d rounds): without a journal %7.4f s   with a journal of "
        "%d files %7.4f s   ratio %5.3f (at most 1.05) %s   noise %4.1f %%\n",
        rounds, best.Without(), count, best.With(), ratio, ratio <= 1.05 ? "met" : "MISSED", 100.0 * best.Noise());
    return 0;
}
