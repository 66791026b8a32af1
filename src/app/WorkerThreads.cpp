#include "app/WorkerThreads.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace velmora {

namespace {

// How long the program's end waits for a worker that was told to stop.
constexpr std::chrono::seconds kEndBound{2};

} // namespace

WorkerThreads::WorkerThreads() : ends_(std::make_shared<Ends>()) {}

WorkerThreads::~WorkerThreads() {
    if (!joinAll(kEndBound)) {
        // The thread owns shares of everything it uses, so letting it finish alone is safe.
        for (std::thread& thread : threads_) {
            thread.detach();
        }
    }
}

bool WorkerThreads::start(std::function<void()> body) {
    std::unique_lock lock(ends_->mutex);
    joinEnded(lock);
    try {
        threads_.emplace_back([ends = ends_, body = std::move(body)] {
            body();
            {
                std::lock_guard endLock(ends->mutex);
                ends->ended.push_back(std::this_thread::get_id());
            }
            ends->changed.notify_all();
        });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

bool WorkerThreads::joinAll(std::chrono::milliseconds bound) {
    std::unique_lock lock(ends_->mutex);
    ends_->changed.wait_for(lock, bound, [this] { return ends_->ended.size() >= threads_.size(); });
    joinEnded(lock);
    return threads_.empty();
}

void WorkerThreads::joinEnded(std::unique_lock<std::mutex>& lock) {
    std::vector<std::thread::id>& ended = ends_->ended;
    std::vector<std::thread> finished;
    for (auto thread = threads_.begin(); thread != threads_.end();) {
        const auto found = std::find(ended.begin(), ended.end(), thread->get_id());
        if (found == ended.end()) {
            ++thread;
            continue;
        }
        ended.erase(found);
        finished.push_back(std::move(*thread));
        thread = threads_.erase(thread);
    }
    // These threads are past their last step; joining them only collects their exit.
    lock.unlock();
    for (std::thread& thread : finished) {
        thread.join();
    }
    lock.lock();
}

} // namespace velmora
