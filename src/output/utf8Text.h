#pragma once

#include <string>
#include <string_view>

namespace velmora {

/// A code page 936 text in UTF-8; a byte pair that is not a character becomes U+FFFD.
std::string utf8FromText(std::string_view text);

} // namespace velmora
