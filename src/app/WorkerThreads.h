#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace velmora {

/// The worker threads of the runs. A thread starts at once and is joined once it has ended, at the
/// next start or at joinAll; a stopped run's thread never holds up a new one. No thread is killed.
class WorkerThreads {
public:
    WorkerThreads();
    /// Joins what ends within a short bound; a thread still running then is left to finish alone.
    ~WorkerThreads();
    WorkerThreads(const WorkerThreads&) = delete;
    WorkerThreads& operator=(const WorkerThreads&) = delete;

    /// Runs `body` on a new thread; false when the system gives no thread.
    bool start(std::function<void()> body);

    /// Waits up to `bound` for every thread to end and joins them; true when none is left.
    bool joinAll(std::chrono::milliseconds bound);

private:
    struct Ends {
        std::mutex mutex;
        std::condition_variable changed;
        std::vector<std::thread::id> ended;
    };

    void joinEnded(std::unique_lock<std::mutex>& lock);

    // Shared with the threads, which report their end here even after this object is gone.
    std::shared_ptr<Ends> ends_;
    std::vector<std::thread> threads_;
};

} // namespace velmora
