#pragma once
// How a run as the user starts it is recorded: its journal is started before the run, so that
// no file is renamed without its record. Where no journal can be started, a run with windows
// asks whether to rename all the same, unrecorded; a quiet run renames nothing and says why.
#include "app/RunWatch.h"
#include "renaming/RunJournal.h"

#include <optional>
#include <string>

class CRunRecording {
public:
    // Starts the journal, or asks (windows) or tells (quiet) why there is none.
    explicit CRunRecording(RunDisplay display);

    // Whether the run may go ahead: false when the user said "Nein", a quiet run found no
    // journal to write, or the last run's journal could not be taken out of offer.
    bool MayRun() const { return m_bMayRun; }
    // The started journal, for the run; null when the run goes unrecorded.
    CRunJournalWriter* Writer() { return m_writer ? &*m_writer : nullptr; }
    // The run goes ahead without a record, as the user agreed.
    bool Unrecorded() const { return m_bMayRun && !m_writer; }

    // The line the end box of an unrecorded run adds.
    static const char* UnrecordedLine();

private:
    bool AskToRunUnrecorded(const JournalFault& fault) const;
    bool Withdraw(const std::wstring& path) const;

    std::optional<CRunJournalWriter> m_writer;
    bool m_bMayRun = false;
};
