#pragma once

#include <chrono>

namespace velmora {

/// How long an httpFetch exchange may receive nothing before it ends with what it has read.
std::chrono::milliseconds fetchIdleLimit();

/// Sets that limit for the whole process (30 s unless changed). Tests shorten it so that a server
/// which never answers ends an exchange quickly.
void setFetchIdleLimit(std::chrono::milliseconds limit);

} // namespace velmora
