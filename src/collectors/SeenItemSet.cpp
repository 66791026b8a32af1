#include "collectors/SeenItemSet.h"

namespace velmora {

bool SeenItemSet::add(std::string_view key) {
    auto [position, inserted] = index_.emplace(key);
    if (inserted) {
        keys_.push_back(*position);
    }
    return inserted;
}

} // namespace velmora
