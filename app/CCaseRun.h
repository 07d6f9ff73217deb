#pragma once
// One rename run on a thread of its own, so that the windows keep answering while it lasts.
// The thread makes no window calls; it shares with the user-interface thread only the counts
// and the stop request of its CaseRunControl, and its outcome, read once it has ended.
#include "filesystem/CUniqueHandle.h"
#include "renaming/CaseChange.h"
#include "renaming/CaseRunControl.h"
#include "renaming/ChangeCaseOnDisk.h"

#include <exception>
#include <functional>
#include <string>

class CCaseRun {
public:
    // What the run's thread does: a forward run, or one that takes back the last.
    using Work = std::function<CaseRunOutcome(CaseRunControl&)>;

    // Starts the run over the directory (an exact path), recorded in pJournal where given (a
    // started journal, finished on the run's thread when the run has ended); shownDirectory: the
    // directory as the user chose it. Where no thread can be started, the run is made here and now.
    CCaseRun(const CaseChange& change, std::wstring directory, CRunJournalWriter* pJournal = nullptr,
             std::wstring shownDirectory = {});
    // Starts the work on the run's thread, the same way.
    explicit CCaseRun(Work work);
    // A run still going is stopped and waited for: no file may stay under a waiting name.
    ~CCaseRun();
    CCaseRun(const CCaseRun&) = delete;
    CCaseRun& operator=(const CCaseRun&) = delete;

    // The run of this thread that has not been waited for to its end, if any.
    static CCaseRun* Current();

    const CaseRunControl& Control() const { return m_control; }
    // Signalled once the run has ended; null when it ran without a thread.
    HANDLE EndedHandle() const { return m_thread.Get(); }
    bool HasEnded() const;
    // Handles this thread's messages until the run has ended or dwMilliseconds (or INFINITE)
    // have passed; true when it has ended.
    bool PumpUntilEnded(DWORD dwMilliseconds);

    // The user's stop: the run ends after the file in hand.
    void RequestStop();
    // The program is to end: the run stops after the file in hand, and nobody waits for a report.
    void StopForProgramEnd();
    // The same, waiting for the run's end without handling messages (the process may be ended
    // as soon as the caller returns).
    void StopForProgramEndAndWait();
    bool IsProgramEnding() const { return m_bProgramEnding; }

    // Valid once the run has ended. What the run threw is thrown here, on the caller's thread.
    const CaseRunOutcome& Outcome() const;

private:
    static DWORD WINAPI ThreadMain(LPVOID pParam);
    void WaitForEnd();

    void Start();

    Work m_work;
    CaseRunControl m_control;
    CaseRunOutcome m_outcome;    // written by the run's thread before it ends
    std::exception_ptr m_fault;  // the same
    CKernelHandle m_thread;
    CCaseRun* m_pOuter;
    bool m_bProgramEnding = false;
};
