#pragma once

#include "text/Text.h"

#include <string_view>

namespace velmora {

/// Decodes %XX escapes (a "%" without two hex digits stays); with `fromUtf8` the result is
/// then converted from UTF-8 to code page 936.
Text percentDecode(std::string_view text, bool fromUtf8 = false);

} // namespace velmora
