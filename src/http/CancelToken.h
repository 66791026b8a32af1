#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace velmora {

/// The stop signal of one run. Cancelling is final; waits on the token end at once.
class CancelToken {
public:
    /// Cancels the run: every wait ends and later checks see it.
    void cancel();

    /// True once cancel() was called.
    bool isCancelled() const { return cancelled_.load(std::memory_order_acquire); }

    /// Waits up to `duration`; true when the token was (or became) cancelled meanwhile.
    bool waitFor(std::chrono::milliseconds duration) const;

private:
    std::atomic<bool> cancelled_{false};
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
};

/// Binds a token to the calling thread for the scope's lifetime: the HTTP exchanges made
/// on this thread meanwhile observe it.
class CancelScope {
public:
    explicit CancelScope(std::shared_ptr<CancelToken> token);
    ~CancelScope();
    CancelScope(const CancelScope&) = delete;
    CancelScope& operator=(const CancelScope&) = delete;

private:
    std::shared_ptr<CancelToken> previous_;
};

/// The token bound to the calling thread, or null outside any CancelScope.
const std::shared_ptr<CancelToken>& currentCancelToken();

} // namespace velmora
