#include "text/letterCase.h"

#include "text/charScan.h"

namespace velmora {

namespace {

/// Adds `shift` to every ASCII letter in [first, last] that starts a character.
Text shiftLetters(std::string_view text, char first, char last, int shift) {
    Text result(text);
    for (std::size_t o = 0; o < result.size(); o = detail::nextCharStart(result, o)) {
        if (result[o] >= first && result[o] <= last) {
            result[o] = static_cast<char>(result[o] + shift);
        }
    }
    return result;
}

} // namespace

Text toLowerCase(std::string_view text) {
    return shiftLetters(text, 'A', 'Z', 'a' - 'A');
}

Text toUpperCase(std::string_view text) {
    return shiftLetters(text, 'a', 'z', 'A' - 'a');
}

} // namespace velmora
