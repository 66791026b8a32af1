#pragma once

#include "text/Text.h"

#include <string_view>

namespace velmora {

/// Percent-encodes every byte but ASCII letters, digits, "-", "." and "_" (upper-case hex);
/// a space becomes `spaceChar`.
Text urlEncode(std::string_view text, std::string_view spaceChar);

} // namespace velmora
