#include "app/WindowBridge.h"

#include "app/MainWindow.h"

#include <QMetaObject>
#include <QThread>

#include <chrono>
#include <thread>

namespace velmora {

namespace {

// A token cancelled without a following wakeCallers() is still noticed this soon.
constexpr std::chrono::milliseconds kRecheck{50};

// How long a caller looks for the answer before it sleeps.
constexpr std::chrono::microseconds kSpin{50};

bool isCancelled(const CancelToken* token) {
    return token != nullptr && token->isCancelled();
}

} // namespace

WindowBridge::WindowBridge(MainWindow& window) : uiThread_(QThread::currentThread()), window_(&window) {}

bool WindowBridge::call(const std::function<void(MainWindow&)>& operation,
                        const std::shared_ptr<const CancelToken>& token) {
    if (QThread::currentThread() == uiThread_) {
        return callHere(operation, token.get());
    }

    auto pending = std::make_shared<PendingCall>();
    {
        std::shared_lock windowAlive(windowLock_);
        if (window_ == nullptr || isCancelled(token.get())) {
            return false;
        }
        // The posted functor holds the only references to `guard`: when Qt discards it unrun (the
        // window was destroyed first), settle() tells the caller that the call was dropped.
        std::shared_ptr<PendingCall> guard(
            pending.get(), [self = shared_from_this(), pending](PendingCall*) { self->settle(*pending); });
        QMetaObject::invokeMethod(
            window_,
            [self = shared_from_this(), guard = std::move(guard), &operation, token] {
                self->serve(*guard, operation, token.get());
            },
            Qt::QueuedConnection);
    }

    // The UI thread usually answers within microseconds; looking for the answer a little while
    // before sleeping spares both threads a wake-up through the kernel.
    const auto spinEnd = std::chrono::steady_clock::now() + kSpin;
    while (!pending->settled.load(std::memory_order_acquire) && std::chrono::steady_clock::now() < spinEnd) {
        std::this_thread::yield();
    }

    std::unique_lock lock(stateLock_);
    ++waitingCallers_;
    const bool done = awaitCall(lock, *pending, token.get());
    --waitingCallers_;
    return done;
}

bool WindowBridge::awaitCall(std::unique_lock<std::mutex>& lock, PendingCall& pending,
                             const CancelToken* token) {
    for (;;) {
        switch (pending.state) {
        case CallState::Done:
            return true;
        case CallState::Dropped:
        case CallState::Abandoned:
            return false;
        case CallState::Waiting:
            // Not yet begun: a stopped run leaves at once, and the UI thread will skip the call.
            if (isCancelled(token) || detached_) {
                pending.state = CallState::Abandoned;
                return false;
            }
            break;
        case CallState::Running:
            // The UI thread is using the operation; it finishes without waiting for anyone.
            break;
        }
        stateChanged_.wait_for(lock, kRecheck);
    }
}

int WindowBridge::waitingCallers() const {
    std::lock_guard lock(stateLock_);
    return waitingCallers_;
}

long WindowBridge::servedCalls() const {
    return servedCalls_.load(std::memory_order_relaxed);
}

bool WindowBridge::callHere(const std::function<void(MainWindow&)>& operation, const CancelToken* token) {
    if (window_ == nullptr || isCancelled(token)) {
        return false;
    }
    operation(*window_);
    return true;
}

void WindowBridge::serve(PendingCall& pending, const std::function<void(MainWindow&)>& operation,
                         const CancelToken* token) {
    {
        std::lock_guard lock(stateLock_);
        if (pending.state != CallState::Waiting) {
            return;
        }
        if (window_ == nullptr || isCancelled(token)) {
            pending.state = CallState::Dropped;
            pending.settled.store(true, std::memory_order_release);
            stateChanged_.notify_all();
            return;
        }
        pending.state = CallState::Running;
    }
    servedCalls_.fetch_add(1, std::memory_order_relaxed);
    window_->holdRepaintsBriefly();
    operation(*window_);
    {
        std::lock_guard lock(stateLock_);
        pending.state = CallState::Done;
        pending.settled.store(true, std::memory_order_release);
    }
    stateChanged_.notify_all();
}

void WindowBridge::settle(PendingCall& pending) {
    {
        std::lock_guard lock(stateLock_);
        if (pending.state != CallState::Waiting) {
            return;
        }
        pending.state = CallState::Dropped;
        pending.settled.store(true, std::memory_order_release);
    }
    stateChanged_.notify_all();
}

void WindowBridge::wakeCallers() {
    {
        // Taking the lock orders this wake after any caller's check of its token.
        std::lock_guard lock(stateLock_);
    }
    stateChanged_.notify_all();
}

void WindowBridge::detach() {
    {
        std::unique_lock windowGone(windowLock_);
        window_ = nullptr;
    }
    {
        std::lock_guard lock(stateLock_);
        detached_ = true;
    }
    stateChanged_.notify_all();
}

} // namespace velmora
