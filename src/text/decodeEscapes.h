#pragma once

#include "text/Text.h"

#include <string_view>

namespace velmora {

/// Reads the text as the body of a single-quoted script string literal, applies ECMAScript
/// unescape and converts to code page 936; "" where such a literal would not compile (a lone
/// line feed or carriage return, a final single backslash). The literal follows the old browser
/// engine: \v is "v", \x and \u without enough hexadecimal digits read as the letter, a
/// backslash before a line break continues the line; a decoded zero character is dropped.
Text decodeEscapes(std::string_view text);

} // namespace velmora
