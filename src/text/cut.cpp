#include "text/cut.h"

#include <algorithm>

namespace velmora {

Text textLeft(std::string_view text, int n) {
    return n <= 0 ? Text() : Text(text.substr(0, static_cast<std::size_t>(n)));
}

Text textRight(std::string_view text, int n) {
    if (n <= 0) {
        return Text();
    }
    const std::size_t count = std::min(text.size(), static_cast<std::size_t>(n));
    return Text(text.substr(text.size() - count));
}

Text textMid(std::string_view text, int start, int n) {
    if (start < 1 || static_cast<std::size_t>(start) > text.size() || n <= 0) {
        return Text();
    }
    return Text(text.substr(static_cast<std::size_t>(start) - 1, static_cast<std::size_t>(n)));
}

} // namespace velmora
