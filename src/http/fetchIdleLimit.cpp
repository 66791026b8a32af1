#include "http/fetchIdleLimit.h"

#include <atomic>

namespace velmora {

namespace {

std::atomic<std::chrono::milliseconds::rep> idleLimitMs{30000};

} // namespace

std::chrono::milliseconds fetchIdleLimit() {
    return std::chrono::milliseconds(idleLimitMs.load());
}

void setFetchIdleLimit(std::chrono::milliseconds limit) {
    idleLimitMs.store(limit.count());
}

} // namespace velmora
