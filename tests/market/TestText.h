#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::market::test {

/// Every match of a pattern as the collectors run it (letter case ignored, multi-line); per match,
/// the groups from 1 on.
std::vector<std::vector<std::string>> matchAll(std::string_view pattern, std::string_view subject);

/// Whether the bytes are well-formed UTF-8.
bool isValidUtf8(std::string_view bytes);

/// The code page 936 bytes as UTF-8, or nothing when a byte sequence is invalid.
std::optional<std::string> strictGbkToUtf8(std::string_view gbk);

/// A keyword as the search box sends it: code page 936, percent-encoded, "+" for a space.
std::string encodeKeyword(std::string_view utf8);

/// Undoes "%XX" escapes.
std::string percentDecoded(std::string_view text);

/// The text with every backslash removed, as the shop collector reads its item pages.
std::string withoutBackslashes(std::string text);

} // namespace velmora::market::test
