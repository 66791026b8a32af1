#include "collectors/pauseWithEvents.h"

#include "http/CancelToken.h"

#include <chrono>
#include <thread>

namespace velmora {

bool pauseWithEvents(int milliseconds) {
    // The worker has no message queue of its own: everything it shows goes through blocking
    // calls to the window, so waiting on the run's token is all the pause has to do.
    const std::chrono::milliseconds duration(milliseconds > 0 ? milliseconds : 0);
    if (const auto& token = currentCancelToken()) {
        token->waitFor(duration);
    } else {
        std::this_thread::sleep_for(duration);
    }
    return true;
}

} // namespace velmora
