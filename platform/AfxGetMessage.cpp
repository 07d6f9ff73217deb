#include "platform/AfxGetMessage.h"

#include <utility>

namespace {

MessageFetcher& Fetcher() {
    static MessageFetcher s_fetcher;
    return s_fetcher;
}

}  // namespace

MessageFetcher AfxSetMessageFetcher(MessageFetcher fetcher) { return std::exchange(Fetcher(), std::move(fetcher)); }

AfxFetched AfxGetMessage(MSG& msg) {
    BOOL result = Fetcher() ? Fetcher()(&msg) : GetMessageW(&msg, nullptr, 0, 0);
    if (result == -1) return AfxFetched::Failed;
    return result ? AfxFetched::Message : AfxFetched::Quit;
}
