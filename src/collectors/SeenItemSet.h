#pragma once

#include "text/Text.h"

#include <string_view>
#include <unordered_set>
#include <vector>

namespace velmora {

/// The item ids met so far in a shop run, in the order they were first met.
class SeenItemSet {
public:
    /// Adds a key (exact bytes; "" is a key like any other); false when it was already there.
    bool add(std::string_view key);

    /// The keys in insertion order.
    const std::vector<Text>& keys() const { return keys_; }

private:
    std::vector<Text> keys_;
    // A hash index beside the ordered list gives the answers of a linear scan in constant time.
    std::unordered_set<Text> index_;
};

} // namespace velmora
