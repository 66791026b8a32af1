#pragma once

#include "text/Text.h"

#include <string_view>

namespace velmora {

// Cutting counts plain bytes and may split a two-byte character.

/// The first min(n, length) bytes; "" when n <= 0.
Text textLeft(std::string_view text, int n);

/// The last min(n, length) bytes; "" when n <= 0.
Text textRight(std::string_view text, int n);

/// n bytes from the 1-based byte position `start`; "" when start is outside the text or n <= 0.
Text textMid(std::string_view text, int start, int n);

} // namespace velmora
