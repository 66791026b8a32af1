#pragma once

#include "text/Text.h"

#include <string_view>

namespace velmora {

/// The bytes of the text ("" gives empty bytes).
Bytes textToBytes(std::string_view text);

/// The bytes up to, not including, the first zero byte.
Text bytesToText(std::string_view bytes);

/// A text of that one byte; 0, and any value beyond a byte, gives "".
Text charFromCode(int code);

/// n ASCII spaces; "" when n < 1.
Text blankText(int n);

} // namespace velmora
