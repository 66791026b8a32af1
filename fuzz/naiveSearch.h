#pragma once

#include "text/Text.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

// The scanning rules of texts written the plainest way, one candidate character at a time, to
// check the library's faster search against: a candidate is tried only at a character start,
// and a byte of 0x80 or above takes the byte after it into its character.
namespace velmora::fuzz {

inline char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline bool sameBytes(std::string_view text, std::size_t at, std::string_view sought, bool ignoreCase) {
    if (text.size() - at < sought.size()) {
        return false;
    }
    for (std::size_t k = 0; k < sought.size(); ++k) {
        const char a = text[at + k];
        const char b = sought[k];
        if (ignoreCase ? lowerAscii(a) != lowerAscii(b) : a != b) {
            return false;
        }
    }
    return true;
}

inline std::size_t charLength(char c) {
    return static_cast<unsigned char>(c) >= 0x80 ? 2 : 1;
}

/// 1-based position of the first `sought` at a character start at or after `start`, or -1.
inline int naiveFindText(std::string_view text, std::string_view sought, int start, bool ignoreCase) {
    const std::size_t from = start > 1 ? static_cast<std::size_t>(start) - 1 : 0;
    if (sought.empty()) {
        return from < text.size() ? 1 : -1;
    }
    for (std::size_t o = from; o < text.size(); o += charLength(text[o])) {
        if (sameBytes(text, o, sought, ignoreCase)) {
            return static_cast<int>(o) + 1;
        }
    }
    return -1;
}

/// 1-based position of the last exact `sought` at a character start, or -1; "" gives -1.
inline int naiveFindTextReverse(std::string_view text, std::string_view sought) {
    int last = -1;
    if (sought.empty()) {
        return last;
    }
    for (std::size_t o = 0; o < text.size(); o += charLength(text[o])) {
        if (sameBytes(text, o, sought, false)) {
            last = static_cast<int>(o) + 1;
        }
    }
    return last;
}

/// Every exact `sought` at a character start replaced, left to right, never searched again.
inline Text naiveReplaceText(std::string_view text, std::string_view sought, std::string_view replacement) {
    if (text.empty() || sought.empty()) {
        return Text(text);
    }
    Text result;
    for (std::size_t o = 0; o < text.size();) {
        if (sameBytes(text, o, sought, false)) {
            result.append(replacement);
            o += sought.size();
        } else {
            const std::size_t length = std::min(charLength(text[o]), text.size() - o);
            result.append(text.substr(o, length));
            o += length;
        }
    }
    return result;
}

/// The pieces between exact delimiters at character starts; no empty last piece.
inline TextList naiveSplitText(std::string_view text, std::string_view delimiter) {
    TextList pieces;
    if (text.empty()) {
        return pieces;
    }
    if (delimiter.empty()) {
        pieces.emplace_back(text);
        return pieces;
    }
    std::size_t pieceStart = 0;
    for (std::size_t o = 0; o < text.size();) {
        if (sameBytes(text, o, delimiter, false)) {
            pieces.emplace_back(text.substr(pieceStart, o - pieceStart));
            o += delimiter.size();
            pieceStart = o;
        } else {
            o += charLength(text[o]);
        }
    }
    if (pieceStart < text.size()) {
        pieces.emplace_back(text.substr(pieceStart));
    }
    return pieces;
}

} // namespace velmora::fuzz
