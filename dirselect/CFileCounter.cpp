#include "dirselect/CFileCounter.h"

#include "wine/WineHost.h"

#include <utility>

CFileCounter::CFileCounter()
    : m_worker([](const Request& request,
                  const std::atomic<bool>& bStop) { return PreviewRun(request.change, request.directory, bStop); },
               [](unsigned nRequest, const Request& request) {
                   PostMessageW(request.hNotify, WM_FILES_COUNTED, nRequest, 0);
               }) {}

unsigned CFileCounter::Count(HWND hNotify, const CaseChange& change, const std::wstring& directory) {
    // "X:" alone would mean the drive's remembered directory; the field shows the root so.
    std::wstring root = directory.size() == 2 ? directory + L"\\" : directory;
    // The path a run is given, so that the names are matched as the run matches them.
    return m_worker.Ask(Request{hNotify, change, wine::ExactPath(root)});
}
