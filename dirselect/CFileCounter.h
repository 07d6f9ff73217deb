#pragma once
// Counts on a thread of its own what a run would do in a directory, for the directory dialog's
// status line. Only the last directory asked about counts: a new request, or Drop, gives up the
// count in hand at once (the listing stops between two entries), and a count that has been
// given up is never reported. When a count is ready, WM_FILES_COUNTED is posted to the window
// that asked, with the request's number as wParam; TakeResult then hands it over.
#include "renaming/CaseChange.h"
#include "renaming/RunPreview.h"

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

// Posted (never sent) to the window that asked for a count.
constexpr UINT WM_FILES_COUNTED = WM_USER + 11;

class CFileCounter {
public:
    CFileCounter() = default;
    CFileCounter(const CFileCounter&) = delete;
    CFileCounter& operator=(const CFileCounter&) = delete;
    ~CFileCounter() { Stop(); }

    // Gives up the count in hand and waits for its thread, which ends between two entries;
    // no count is made afterwards.
    void Stop();

    // directory: as the path field shows it ("X:\dir", "X:" for a drive's root). Returns the
    // request's number, the one the message will carry; 0 when no thread could be started.
    unsigned Count(HWND hNotify, const CaseChange& change, const std::wstring& directory);
    void Drop();
    // The count of request nRequest, once, when it is the last request and it is ready.
    std::optional<RunPreview> TakeResult(unsigned nRequest);

private:
    struct Request {
        unsigned nNumber = 0;
        HWND hNotify = nullptr;
        CaseChange change = CaseDirection::Lower;
        std::wstring directory;  // exact path
    };

    void Work();
    bool WaitForRequest(Request& request);

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::thread m_thread;           // started with the first request
    unsigned m_nLastRequest = 0;    // the only request whose count is wanted
    std::optional<Request> m_next;  // not yet taken by the thread
    std::optional<RunPreview> m_result;
    unsigned m_nResultRequest = 0;
    bool m_bEnding = false;
    std::atomic<bool> m_bStop{false};  // the count in hand is no longer wanted
};
