#pragma once
// Reads the sub-directories of one directory at a time on a thread of its own, for the
// directory tree, so that a folder of 100,000 files keeps no window waiting while it is read.
// Only the last request counts: a new one, Drop or Stop gives up the listing in hand at once
// (the listing ends between two entries), and a listing given up is never reported. Once the
// listing of the last request is ready and a window has been named, WM_SUBDIRECTORIES_LISTED
// is posted to it with the request's number; Take then hands the listing over.
#include "dirselect/CLatestRequestWorker.h"

#include <windows.h>

#include <atomic>
#include <optional>
#include <string>
#include <vector>

// Posted (never sent) to the window named by NotifyTo.
constexpr UINT WM_SUBDIRECTORIES_LISTED = WM_USER + 12;

class CSubdirectoryLister {
public:
    // The names in the tree's order; none when the directory could not be listed.
    using Subdirectories = std::optional<std::vector<std::wstring>>;

    CSubdirectoryLister();
    CSubdirectoryLister(const CSubdirectoryLister&) = delete;
    CSubdirectoryLister& operator=(const CSubdirectoryLister&) = delete;
    ~CSubdirectoryLister() { Stop(); }

    // Reads path's sub-directories (an exact path, any depth), sorted for locale. Returns the
    // request's number; 0 when no thread could be started (Read then does it on the spot).
    unsigned List(const std::wstring& path, LCID locale);
    // The window that hears of each ready listing, from now on; told at once of one that is
    // ready and was not yet reported.
    void NotifyTo(HWND hWnd);
    // The listing of request nRequest, once, when it is the last request and it is ready.
    std::optional<Subdirectories> Take(unsigned nRequest);
    // Gives up the listing in hand.
    void Drop() { m_worker.Drop(); }
    // The same, and waits for the thread, which ends between two entries; nothing is listed
    // afterwards.
    void Stop() { m_worker.Stop(); }

    // The listing itself, on the caller's thread; pStop ends it early (the result is then not
    // to be used).
    static Subdirectories Read(const std::wstring& path, LCID locale, const std::atomic<bool>* pStop = nullptr);

private:
    struct Request {
        std::wstring path;
        LCID locale = 0;
    };

    void PostIfReady(unsigned nReady);  // under the worker's lock

    // Under the worker's lock.
    HWND m_hNotify = nullptr;
    bool m_bReported = false;  // the ready listing was posted about
    // Last, so that its thread has ended before the members above go.
    CLatestRequestWorker<Request, Subdirectories> m_worker;
};
