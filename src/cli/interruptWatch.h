#pragma once

#include "http/CancelToken.h"

#include <memory>
#include <thread>

namespace velmora {

/// Turns Ctrl-C into a stop of the run. SIGINT is blocked in every thread (so create this before any
/// other thread) and taken by a thread of its own with sigwait, which cancels the token: nothing runs
/// in a signal handler, so cancelling may take locks. A second Ctrl-C ends the process at once with
/// the status 130, for a run that does not come to its stop test.
class InterruptWatch {
public:
    InterruptWatch();
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

    /// The token that Ctrl-C cancels.
    const std::shared_ptr<CancelToken>& token() const { return token_; }

private:
    std::shared_ptr<CancelToken> token_ = std::make_shared<CancelToken>();
    std::thread watcher_;
};

} // namespace velmora
