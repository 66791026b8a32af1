#pragma once

#include "http/CancelToken.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <shared_mutex>

class QThread;

namespace velmora {

class MainWindow;

/// Carries calls from any thread to the window on its UI thread and waits for them, while the UI
/// thread never waits for a caller. A call of a cancelled run is dropped: the caller stops waiting as
/// soon as the run's token is cancelled (or the window is gone), and the UI thread skips a call whose
/// token is cancelled by the time it comes to it. Shared by the window and the callers.
class WindowBridge : public std::enable_shared_from_this<WindowBridge> {
public:
    /// Binds the bridge to `window`, which lives on the calling (UI) thread.
    explicit WindowBridge(MainWindow& window);
    WindowBridge(const WindowBridge&) = delete;
    WindowBridge& operator=(const WindowBridge&) = delete;

    /// Runs `operation` with the window on the UI thread and returns once it has run (true) or was
    /// dropped (false). On the UI thread itself it runs at once. `token` may be null.
    bool call(const std::function<void(MainWindow&)>& operation,
              const std::shared_ptr<const CancelToken>& token);

    /// Wakes every waiting caller to look at its token again; call it after cancelling a token.
    void wakeCallers();

    /// How many callers on other threads are waiting for their call now.
    int waitingCallers() const;

    /// How many calls of other threads the UI thread has carried out so far.
    long servedCalls() const;

    /// Forgets the window (its destructor calls this): waiting and later calls are dropped.
    void detach();

private:
    enum class CallState { Waiting, Running, Done, Dropped, Abandoned };
    struct PendingCall {
        CallState state = CallState::Waiting;
        std::atomic<bool> settled{false}; ///< Done or Dropped; read without the lock
    };

    bool awaitCall(std::unique_lock<std::mutex>& lock, PendingCall& pending, const CancelToken* token);
    void serve(PendingCall& pending, const std::function<void(MainWindow&)>& operation,
               const CancelToken* token);
    void settle(PendingCall& pending);
    bool callHere(const std::function<void(MainWindow&)>& operation, const CancelToken* token);

    QThread* const uiThread_;

    // Held shared while a call is posted and exclusively to detach: the window cannot go away
    // between a caller's check and its post.
    std::shared_mutex windowLock_;
    MainWindow* window_;

    std::atomic<long> servedCalls_{0};

    // Guards the states of the pending calls, `detached_` and `waitingCallers_`.
    mutable std::mutex stateLock_;
    std::condition_variable stateChanged_;
    bool detached_ = false;
    int waitingCallers_ = 0;
};

} // namespace velmora
