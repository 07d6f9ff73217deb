#include "dirselect/CFileCounter.h"

#include "wine/WineHost.h"

#include <system_error>
#include <utility>

void CFileCounter::Stop() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bEnding = true;
        m_bStop = true;
    }
    m_wake.notify_one();
    if (m_thread.joinable()) m_thread.join();
}

unsigned CFileCounter::Count(HWND hNotify, const CaseChange& change, const std::wstring& directory) {
    // "X:" alone would mean the drive's remembered directory; the field shows the root so.
    std::wstring root = directory.size() == 2 ? directory + L"\\" : directory;
    // The path a run is given, so that the names are matched as the run matches them.
    std::wstring exact = wine::ExactPath(root);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bStop = true;
    m_result.reset();
    m_next = Request{++m_nLastRequest, hNotify, change, std::move(exact)};
    if (!m_thread.joinable()) {
        try {
            m_thread = std::thread(&CFileCounter::Work, this);
        } catch (const std::system_error&) {
            m_next.reset();  // no thread to be had: no count
            return 0;
        }
    }
    m_wake.notify_one();
    return m_nLastRequest;
}

void CFileCounter::Drop() {
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_nLastRequest;
    m_bStop = true;
    m_next.reset();
    m_result.reset();
}

std::optional<RunPreview> CFileCounter::TakeResult(unsigned nRequest) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (nRequest != m_nLastRequest || m_nResultRequest != nRequest) return std::nullopt;
    return std::exchange(m_result, std::nullopt);
}

bool CFileCounter::WaitForRequest(Request& request) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_wake.wait(lock, [this] { return m_bEnding || m_next.has_value(); });
    if (m_bEnding) return false;
    request = std::move(*m_next);
    m_next.reset();
    m_bStop = false;  // a later request sets it again, under the same lock
    return true;
}

void CFileCounter::Work() {
    Request request;
    while (WaitForRequest(request)) {
        RunPreview preview = PreviewRun(request.change, request.directory, m_bStop);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (preview.bStopped || request.nNumber != m_nLastRequest) continue;
            m_result = preview;
            m_nResultRequest = request.nNumber;
        }
        PostMessageW(request.hNotify, WM_FILES_COUNTED, request.nNumber, 0);
    }
}
