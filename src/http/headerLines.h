#pragma once

#include "text/Text.h"

#include <string_view>

namespace velmora {

/// The text before the first ":" of a header line, trimmed; "" without a ":".
Text headerName(std::string_view line);

/// The text after the first ":" of a header line, trimmed; "" without a ":".
Text headerValue(std::string_view line);

} // namespace velmora
