#include "text/spaces.h"

#include "text/charScan.h"

#include <algorithm>

namespace velmora {

namespace {

/// The length of the space that starts at `offset`: 1 for an ASCII space, 2 for the full-width
/// space A1 A1, 0 when the character there is no space.
std::size_t spaceLength(std::string_view text, std::size_t offset) {
    if (text[offset] == ' ') {
        return 1;
    }
    if (text[offset] == '\xA1' && offset + 1 < text.size() && text[offset + 1] == '\xA1') {
        return 2;
    }
    return 0;
}

} // namespace

Text trimSpaces(std::string_view text) {
    std::size_t begin = 0;
    while (begin < text.size()) {
        const std::size_t space = spaceLength(text, begin);
        if (space == 0) {
            break;
        }
        begin += space;
    }
    // Trailing spaces can only be found walking forward: a byte pair A1 A1 may be the second
    // byte of one character and the first of the next.
    std::size_t end = begin;
    for (std::size_t o = begin; o < text.size();) {
        const std::size_t space = spaceLength(text, o);
        if (space != 0) {
            o += space;
        } else {
            o = detail::nextCharStart(text, o);
            end = std::min(o, text.size());
        }
    }
    return Text(text.substr(begin, end - begin));
}

Text removeSpaces(std::string_view text) {
    Text result;
    result.reserve(text.size());
    for (std::size_t o = 0; o < text.size();) {
        const std::size_t space = spaceLength(text, o);
        if (space != 0) {
            o += space;
            continue;
        }
        const std::size_t next = std::min(detail::nextCharStart(text, o), text.size());
        result.append(text.substr(o, next - o));
        o = next;
    }
    return result;
}

} // namespace velmora
