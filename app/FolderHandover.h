#pragma once
// Several folders at once. Explorer starts one copy of the program for each folder chosen; the
// copy whose turn it is (RunTurn) renames them all in one run, one after the other (one
// progress window, one end box, one journal), and the others hand their folder over to it.
//
// A copy hands a folder over by writing a request into the user's folder of the program,
// addressed to the run that the turn's notice names and only when that run takes this kind of
// request. It keeps the request open, marked to go when closed, so that a request whose copy
// has ended goes with it. The run marks in the request what became of the folder: taken,
// begun, done, or not run (the run was stopped before it). The copy that handed it over waits
// for "done" or "not run"; if the turn comes free before, the run ended without the folder: a
// folder not begun is then this copy's to run, one begun is reported as ended. The run takes
// requests only while it holds the turn, and says in the turn's notice when it takes no more,
// after the last of the copies still starting has decided. So no folder is lost or run twice.
#include "app/CaseCommandLine.h"
#include "app/RunFolders.h"
#include "app/RunTurn.h"
#include "filesystem/CUniqueHandle.h"

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// What two requests must share to be one run: the direction and every other switch that
// changes what a run does, and what makes a path name the same folder to both copies and their
// windows show in one place: the session and the logon (its drive letters). Quiet runs never
// hand over.
std::wstring HandoverKind(const CaseCommand& command);

// What became of a folder handed over.
enum class HandoverEnd {
    Done,         // the other copy renamed it, and reported it in its end box
    NotRun,       // its run was stopped before it
    EndedMidway,  // the other copy ended while renaming it
    // The other copy ended before it began: the folder is this copy's to run, with the turn
    // where it came free here, or after waiting for it where another run took it first.
    Yours,
};

class CFolderGiver {
public:
    // Writes the request for the run of that notice; folder: where the turn lives.
    CFolderGiver(const std::wstring& folder, const RunTurnNotice& run, const std::wstring& kind,
                 const std::wstring& directory);
    bool Written() const { return static_cast<bool>(m_request); }
    // Waits (handling the thread's messages) for what becomes of the folder; with Yours, the
    // turn is in turn if this copy has it already.
    HandoverEnd Await(std::optional<CRunTurn>& turn);

private:
    // What the run made of the folder once it holds the turn no longer.
    std::optional<HandoverEnd> FinalState();

    std::wstring m_strFolder;
    std::wstring m_strRunId;
    CFileHandle m_request;
};

class CHandoverDesk {
public:
    // Takes requests of that kind addressed to the run holding runId's turn, adding their
    // folders to folders; a thread of its own looks for new ones a few times a second.
    CHandoverDesk(std::wstring folder, std::wstring runId, std::wstring kind, CRunFolders& folders);
    ~CHandoverDesk();
    CHandoverDesk(const CHandoverDesk&) = delete;
    CHandoverDesk& operator=(const CHandoverDesk&) = delete;

    // What the turn's notice says this run takes: the kind while open, nothing once closed.
    std::wstring Offered() const { return m_bOpen ? m_strKind : std::wstring(); }
    // The run has no folder left. The copies still starting decide first (unless bStop is set);
    // then the notice says no more is taken, and the requests that came meanwhile are taken.
    void Close(CRunTurn& turn, const std::wstring& directory, const std::atomic<bool>& bStop);
    // No request is taken from here on (before the turn is let go).
    void Stop();

private:
    static DWORD WINAPI ThreadMain(LPVOID pParam);
    void TakeRequests();
    void TakeRequest(const std::wstring& path);

    std::wstring m_strFolder;
    std::wstring m_strRunId;
    std::wstring m_strKind;
    CRunFolders& m_folders;
    std::atomic<bool> m_bOpen{true};
    CKernelHandle m_stop;
    CKernelHandle m_thread;
};
