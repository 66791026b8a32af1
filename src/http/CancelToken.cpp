#include "http/CancelToken.h"

#include <utility>

namespace velmora {

namespace {
thread_local std::shared_ptr<CancelToken> threadToken;
}

void CancelToken::cancel() {
    {
        // Set under the lock so a waiter cannot miss the change between its check and its wait.
        std::lock_guard lock(mutex_);
        cancelled_.store(true, std::memory_order_release);
    }
    changed_.notify_all();
}

bool CancelToken::waitFor(std::chrono::milliseconds duration) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, duration, [this] { return isCancelled(); });
}

CancelScope::CancelScope(std::shared_ptr<CancelToken> token)
    : previous_(std::exchange(threadToken, std::move(token))) {}

CancelScope::~CancelScope() {
    threadToken = std::move(previous_);
}

const std::shared_ptr<CancelToken>& currentCancelToken() {
    return threadToken;
}

} // namespace velmora
