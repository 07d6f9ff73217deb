#include "app/CCaseRun.h"

#include "platform/AfxGetMessage.h"
#include "platform/CWinThread.h"

#include <utility>

namespace {

CCaseRun*& CurrentRun() {
    thread_local CCaseRun* s_pRun = nullptr;
    return s_pRun;
}

}  // namespace

CCaseRun::CCaseRun(const CaseChange& change, std::wstring directory, CRunJournalWriter* pJournal,
                   std::wstring shownDirectory)
    : CCaseRun([change, directory = std::move(directory), pJournal,
                shown = std::move(shownDirectory)](CaseRunControl& control) {
          CaseRunOutcome outcome = ChangeCaseOnDisk(change, directory, &control, pJournal, shown);
          // The journal may be written anew as a whole at the end: not on the windows' thread.
          if (pJournal) pJournal->Finish();
          return outcome;
      }) {}

CCaseRun::CCaseRun(Work work) : m_work(std::move(work)), m_pOuter(std::exchange(CurrentRun(), this)) { Start(); }

void CCaseRun::Start() {
    m_thread = CKernelHandle(CreateThread(nullptr, 0, &ThreadMain, this, 0, nullptr));
    if (!m_thread) ThreadMain(this);
}

CCaseRun::~CCaseRun() {
    RequestStop();
    WaitForEnd();
    CurrentRun() = m_pOuter;
}

CCaseRun* CCaseRun::Current() { return CurrentRun(); }

DWORD WINAPI CCaseRun::ThreadMain(LPVOID pParam) {
    auto* pRun = static_cast<CCaseRun*>(pParam);
    // A fault must not unwind out of the thread, which would end the process on the spot: it
    // goes to the thread that reads the outcome, as if the run had been made there.
    try {
        pRun->m_outcome = pRun->m_work(pRun->m_control);
    } catch (...) {
        pRun->m_fault = std::current_exception();
    }
    return 0;
}

bool CCaseRun::HasEnded() const { return !m_thread || WaitForSingleObject(m_thread.Get(), 0) == WAIT_OBJECT_0; }

bool CCaseRun::PumpUntilEnded(DWORD dwMilliseconds) {
    ULONGLONG nDeadline = GetTickCount64() + dwMilliseconds;
    while (!HasEnded()) {
        ULONGLONG nNow = GetTickCount64();
        if (dwMilliseconds != INFINITE && nNow >= nDeadline) return false;
        DWORD dwLeft = dwMilliseconds == INFINITE ? INFINITE : static_cast<DWORD>(nDeadline - nNow);
        MSG msg;
        switch (AfxWaitForMessageOrObject(msg, m_thread.Get(), dwLeft)) {
        case AfxWaited::Message:
            AfxPumpMessage(msg);
            break;
        case AfxWaited::Quit:
            // The program is told to end: the run stops first, the quit goes to the outer loop.
            StopForProgramEndAndWait();
            PostQuitMessage(static_cast<int>(msg.wParam));
            return true;
        case AfxWaited::Failed:
            // No more messages to be had: the run is only waited for.
            WaitForEnd();
            return true;
        case AfxWaited::Signalled:
        case AfxWaited::TimedOut:
            break;
        }
    }
    return true;
}

const CaseRunOutcome& CCaseRun::Outcome() const {
    if (m_fault) std::rethrow_exception(m_fault);
    return m_outcome;
}

void CCaseRun::RequestStop() { m_control.bStopRequested = true; }

void CCaseRun::StopForProgramEnd() {
    m_bProgramEnding = true;
    RequestStop();
}

void CCaseRun::StopForProgramEndAndWait() {
    StopForProgramEnd();
    WaitForEnd();
}

// The run's thread touches no window, so this thread may block on it.
void CCaseRun::WaitForEnd() {
    if (m_thread) WaitForSingleObject(m_thread.Get(), INFINITE);
}
