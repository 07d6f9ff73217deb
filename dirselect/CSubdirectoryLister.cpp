#include "dirselect/CSubdirectoryLister.h"

#include "dirselect/TreeViewOrder.h"
#include "filesystem/DirectoryListing.h"
#include "filesystem/ExtendedPath.h"

#include <system_error>
#include <utility>

unsigned CSubdirectoryLister::List(const std::wstring& path, LCID locale) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bStop = true;
    m_result.reset();
    m_next = Request{++m_nLastRequest, path, locale};
    if (!m_thread.joinable()) {
        try {
            m_thread = std::thread(&CSubdirectoryLister::Work, this);
        } catch (const std::system_error&) {
            m_next.reset();  // no thread to be had: the caller lists on the spot
            return 0;
        }
    }
    m_wake.notify_one();
    return m_nLastRequest;
}

void CSubdirectoryLister::NotifyTo(HWND hWnd) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_hNotify = hWnd;
    PostIfReady();
}

std::optional<CSubdirectoryLister::Subdirectories> CSubdirectoryLister::Take(unsigned nRequest) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (nRequest == 0 || nRequest != m_nLastRequest || m_nResultRequest != nRequest) return std::nullopt;
    return std::exchange(m_result, std::nullopt);
}

void CSubdirectoryLister::Drop() {
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_nLastRequest;
    m_bStop = true;
    m_next.reset();
    m_result.reset();
}

void CSubdirectoryLister::Stop() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bEnding = true;
        m_bStop = true;
    }
    m_wake.notify_one();
    if (m_thread.joinable()) m_thread.join();
}

// The extended path lists exactly the folder named, at any depth: "Music." is not "Music" here.
// In the order of TVI_SORT: sorted insertion compares with every sibling already there, which
// is quadratic for big directories; sorting first and appending gives the same order.
CSubdirectoryLister::Subdirectories CSubdirectoryLister::Read(const std::wstring& path, LCID locale,
                                                             const std::atomic<bool>* pStop) {
    DirectoryListing listing = ReadDirectoryListing(AfxExtendedPath(path), ListingDetail::Directories, pStop);
    if (!listing.started || listing.Failed()) return std::nullopt;
    std::vector<std::wstring> names;
    names.reserve(listing.entries.size());
    for (ListingEntry& entry : listing.entries) names.push_back(std::move(entry.name));
    LCID own = GetThreadLocale();
    SetThreadLocale(locale);
    SortLikeTreeView(names);
    SetThreadLocale(own);
    return names;
}

bool CSubdirectoryLister::WaitForRequest(Request& request) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_wake.wait(lock, [this] { return m_bEnding || m_next.has_value(); });
    if (m_bEnding) return false;
    request = std::move(*m_next);
    m_next.reset();
    m_bStop = false;  // a later request sets it again, under the same lock
    return true;
}

void CSubdirectoryLister::Work() {
    Request request;
    while (WaitForRequest(request)) {
        Subdirectories names = Read(request.path, request.locale, &m_bStop);
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_bStop || request.nNumber != m_nLastRequest) continue;
        m_result = std::move(names);
        m_nResultRequest = request.nNumber;
        m_bReported = false;
        PostIfReady();
    }
}

void CSubdirectoryLister::PostIfReady() {
    if (!m_hNotify || m_bReported || !m_result || m_nResultRequest != m_nLastRequest) return;
    m_bReported = PostMessageW(m_hNotify, WM_SUBDIRECTORIES_LISTED, m_nResultRequest, 0) != FALSE;
}
