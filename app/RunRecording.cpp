#include "app/RunRecording.h"

#include "app/RunJournalPlace.h"
#include "platform/AfxMessageBox.h"

namespace {

std::wstring CannotRecordText(const JournalFault& fault) {
    return AfxToWide("Diese Umbenennung kann nicht aufgezeichnet und daher nicht r\xFC" "ckg\xE4ngig gemacht werden: ") +
           fault.Reason() + L".";
}

}  // namespace

CRunRecording::CRunRecording(RunDisplay display) {
    std::wstring path = RunJournalPath();
    JournalFault fault{ERROR_PATH_NOT_FOUND, L"%LOCALAPPDATA%\\Umbrix"};
    if (!path.empty()) {
        m_writer.emplace(path);
        fault = m_writer->Start();
        if (!fault) {
            m_bMayRun = true;
            return;
        }
        m_writer.reset();
    }
    if (display == RunDisplay::Quiet) {
        // A quiet run has no one to ask: it renames nothing, and standard error says why.
        AfxMessageBox(CannotRecordText(fault) + AfxToWide(" Es wurde nichts umbenannt."), MB_OK | MB_ICONHAND, 0);
        return;
    }
    m_bMayRun = AskToRunUnrecorded(fault) && Withdraw(path);
}

const char* CRunRecording::UnrecordedLine() { return "Diese Umbenennung kann nicht r\xFC" "ckg\xE4ngig gemacht werden."; }

bool CRunRecording::AskToRunUnrecorded(const JournalFault& fault) const {
    std::wstring text = CannotRecordText(fault) + AfxToWide(" Trotzdem umbenennen?");
    return AfxMessageBox(text, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2, 0) == IDYES;
}

// The last run's journal must not be offered for a run it does not describe. Where it can be
// neither replaced nor removed (a read-only volume), the run does not go ahead.
bool CRunRecording::Withdraw(const std::wstring& path) const {
    JournalFault fault = path.empty() ? JournalFault{} : WithdrawRunJournal(path);
    if (!fault) return true;
    std::wstring text = AfxToWide("Das Journal der letzten Umbenennung kann nicht entfernt werden: ") + fault.Reason() +
                        AfxToWide(".\n\nEs bliebe f\xFCr \"R\xFC" "ckg\xE4ngig\" angeboten, geh\xF6rt aber nicht zu dieser "
                                  "Umbenennung. Es wurde nichts umbenannt.");
    AfxMessageBox(text, MB_OK | MB_ICONHAND, 0);
    return false;
}
