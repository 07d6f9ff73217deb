#include "dirselect/CSubdirectoryLister.h"

#include "dirselect/TreeViewOrder.h"
#include "filesystem/DirectoryListing.h"
#include "filesystem/ExtendedPath.h"

#include <utility>

CSubdirectoryLister::CSubdirectoryLister()
    : m_worker([](const Request& request,
                  const std::atomic<bool>& bStop) { return Read(request.path, request.locale, &bStop); },
               [this](unsigned nRequest, const Request&) {
                   m_bReported = false;
                   PostIfReady(nRequest);
               }) {}

unsigned CSubdirectoryLister::List(const std::wstring& path, LCID locale) {
    return m_worker.Ask(Request{path, locale});
}

void CSubdirectoryLister::NotifyTo(HWND hWnd) {
    m_worker.WithReadyRequest([this, hWnd](unsigned nReady) {
        m_hNotify = hWnd;
        PostIfReady(nReady);
    });
}

std::optional<CSubdirectoryLister::Subdirectories> CSubdirectoryLister::Take(unsigned nRequest) {
    return m_worker.Take(nRequest);
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

void CSubdirectoryLister::PostIfReady(unsigned nReady) {
    if (!m_hNotify || m_bReported || nReady == 0) return;
    m_bReported = PostMessageW(m_hNotify, WM_SUBDIRECTORIES_LISTED, nReady, 0) != FALSE;
}
