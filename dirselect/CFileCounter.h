#pragma once
// Counts on a thread of its own what a run would do in a directory, for the directory dialog's
// status line. Only the last directory asked about counts: a new request, or Drop, gives up the
// count in hand at once (the listing stops between two entries), and a count that has been
// given up is never reported. When a count is ready, WM_FILES_COUNTED is posted to the window
// that asked, with the request's number as wParam; TakeResult then hands it over.
#include "dirselect/CLatestRequestWorker.h"
#include "renaming/CaseChange.h"
#include "renaming/RunPreview.h"

#include <windows.h>

#include <optional>
#include <string>

// Posted (never sent) to the window that asked for a count.
constexpr UINT WM_FILES_COUNTED = WM_USER + 11;

class CFileCounter {
public:
    CFileCounter();
    CFileCounter(const CFileCounter&) = delete;
    CFileCounter& operator=(const CFileCounter&) = delete;
    ~CFileCounter() { Stop(); }

    // Gives up the count in hand and waits for its thread, which ends between two entries;
    // no count is made afterwards.
    void Stop() { m_worker.Stop(); }

    // directory: as the path field shows it ("X:\dir", "X:" for a drive's root). Returns the
    // request's number, the one the message will carry; 0 when no thread could be started.
    unsigned Count(HWND hNotify, const CaseChange& change, const std::wstring& directory);
    void Drop() { m_worker.Drop(); }
    // The count of request nRequest, once, when it is the last request and it is ready.
    std::optional<RunPreview> TakeResult(unsigned nRequest) { return m_worker.Take(nRequest); }

private:
    struct Request {
        HWND hNotify = nullptr;
        CaseChange change = CaseDirection::Lower;
        std::wstring directory;  // exact path
    };

    CLatestRequestWorker<Request, RunPreview> m_worker;
};
