#pragma once

#include "text/Text.h"

#include <string_view>

namespace velmora {

// A space is the ASCII space or the full-width space (A1 A1); tabs and line breaks are not.

/// The text without its leading and trailing spaces.
Text trimSpaces(std::string_view text);

/// The text without any space.
Text removeSpaces(std::string_view text);

} // namespace velmora
