#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace velmora::detail {

/// True for a byte of 0x80 or above: it opens a two-byte character that takes the next byte.
inline bool isLeadByte(char c) {
    return static_cast<unsigned char>(c) >= 0x80;
}

/// The offset where the character that starts at `offset` ends (past the text for a lead byte
/// that is the last byte).
inline std::size_t nextCharStart(std::string_view text, std::size_t offset) {
    return offset + (isLeadByte(text[offset]) ? 2 : 1);
}

/// The first character start at or after `target`, walking from the character start `boundary`
/// (at most `target`). Runs of ASCII, all character starts, are stepped over eight bytes at once.
inline std::size_t walkToCharStart(std::string_view text, std::size_t boundary, std::size_t target) {
    while (boundary < target) {
        if (target - boundary >= 8) {
            std::uint64_t word;
            std::memcpy(&word, text.data() + boundary, 8);
            if ((word & 0x8080808080808080ULL) == 0) {
                boundary += 8;
                continue;
            }
        }
        boundary = nextCharStart(text, boundary);
    }
    return boundary;
}

/// Offset of the first occurrence of the non-empty `sought` that starts a character, at or after
/// `from` (itself taken as a character start); npos when there is none.
std::size_t findAtCharStart(std::string_view text, std::string_view sought, std::size_t from);

} // namespace velmora::detail
