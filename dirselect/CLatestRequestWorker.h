#pragma once
// Works through requests on a thread of its own, of which only the last counts: a new request,
// Drop or Stop gives up the work in hand at once (the work sees its stop flag and ends between
// two steps), and work given up is never handed over. The directory dialog's count and its
// tree's listings both go this way, so that neither keeps a window waiting.
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

template <typename Request, typename Result>
class CLatestRequestWorker {
public:
    // The work, on the worker's thread; once bStop is set its result is not wanted.
    using Work = std::function<Result(const Request& request, const std::atomic<bool>& bStop)>;
    // On the worker's thread, under the worker's lock: the result of request nRequest, the last
    // one, is ready to be taken.
    using Ready = std::function<void(unsigned nRequest, const Request& request)>;

    CLatestRequestWorker(Work work, Ready ready) : m_work(std::move(work)), m_ready(std::move(ready)) {}
    CLatestRequestWorker(const CLatestRequestWorker&) = delete;
    CLatestRequestWorker& operator=(const CLatestRequestWorker&) = delete;
    ~CLatestRequestWorker() { Stop(); }

    // Returns the request's number; 0 when no thread could be started (nothing is done then).
    unsigned Ask(Request request) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bStop = true;
        m_result.reset();
        m_next.emplace(++m_nLastRequest, std::move(request));
        if (!m_thread.joinable()) {
            try {
                m_thread = std::thread(&CLatestRequestWorker::Run, this);
            } catch (const std::system_error&) {
                m_next.reset();
                return 0;
            }
        }
        m_wake.notify_one();
        return m_nLastRequest;
    }

    // Gives up the work in hand and any result not yet taken.
    void Drop() {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_nLastRequest;
        m_bStop = true;
        m_next.reset();
        m_result.reset();
    }

    // The same, and waits for the thread; nothing is done afterwards.
    void Stop() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_bEnding = true;
            m_bStop = true;
        }
        m_wake.notify_one();
        if (m_thread.joinable()) m_thread.join();
    }

    // The result of request nRequest, once, when it is the last request and it is ready.
    std::optional<Result> Take(unsigned nRequest) {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (nRequest == 0 || nRequest != m_nLastRequest || m_nResultRequest != nRequest) return std::nullopt;
        return std::exchange(m_result, std::nullopt);
    }

    // Calls f under the worker's lock (the lock Ready is called under) with the number of the
    // request whose result waits to be taken; 0 when none does.
    template <typename F>
    void WithReadyRequest(F f) {
        std::lock_guard<std::mutex> lock(m_mutex);
        f(m_result && m_nResultRequest == m_nLastRequest ? m_nResultRequest : 0u);
    }

private:
    using Numbered = std::pair<unsigned, Request>;

    std::optional<Numbered> WaitForRequest() {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_wake.wait(lock, [this] { return m_bEnding || m_next.has_value(); });
        if (m_bEnding) return std::nullopt;
        m_bStop = false;  // a later request sets it again, under the same lock
        return std::exchange(m_next, std::nullopt);
    }

    void Run() {
        while (std::optional<Numbered> request = WaitForRequest()) {
            Result result = m_work(request->second, m_bStop);
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_bStop || request->first != m_nLastRequest) continue;
            m_result = std::move(result);
            m_nResultRequest = request->first;
            m_ready(request->first, request->second);
        }
    }

    const Work m_work;
    const Ready m_ready;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::thread m_thread;            // started with the first request
    unsigned m_nLastRequest = 0;     // the only request whose result is wanted
    std::optional<Numbered> m_next;  // not yet taken by the thread
    std::optional<Result> m_result;
    unsigned m_nResultRequest = 0;
    bool m_bEnding = false;
    std::atomic<bool> m_bStop{false};  // the work in hand is no longer wanted
};
