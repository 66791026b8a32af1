#pragma once

#include <cstdint>
#include <string_view>

namespace velmora::market {

/// FNV-1a hash of a byte string; seeds every deterministic catalogue.
inline std::uint64_t hashText(std::string_view text) {
    std::uint64_t hash = 1469598103934665603ull;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}

/// One step of splitmix64: spreads the bits of a seed.
inline std::uint64_t mixBits(std::uint64_t value) {
    value += 0x9e3779b97f4a7c15ull;
    value = (value ^ (value >> 30)) * 0xbf58476d1ce4e5b9ull;
    value = (value ^ (value >> 27)) * 0x94d049bb133111ebull;
    return value ^ (value >> 31);
}

/// Small deterministic generator, so that the same seed always yields the same catalogue.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}

    /// The next 64 random bits.
    std::uint64_t next() {
        state_ += 0x9e3779b97f4a7c15ull;
        return mixBits(state_);
    }

    /// A number in [0, bound); bound must be positive.
    std::uint64_t below(std::uint64_t bound) { return next() % bound; }

    /// Picks one element of a non-empty array.
    template <typename T, std::size_t N> const T& pick(const T (&items)[N]) { return items[below(N)]; }

private:
    std::uint64_t state_;
};

} // namespace velmora::market
