#pragma once

#include <cstdio>
#include <cstdlib>

namespace velmora::fuzz {

/// Stops the run as a crash when a rule that must hold for every input does not: libFuzzer then
/// keeps the input that broke it.
inline void require(bool holds, const char* rule) {
    if (!holds) {
        std::fprintf(stderr, "rule broken: %s\n", rule);
        std::abort();
    }
}

} // namespace velmora::fuzz
