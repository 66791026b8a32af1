#pragma once

#include "text/Text.h"

#include <string_view>

namespace velmora {

/// ASCII A-Z lowered; both bytes of every two-byte character left alone.
Text toLowerCase(std::string_view text);

/// ASCII a-z raised; both bytes of every two-byte character left alone.
Text toUpperCase(std::string_view text);

} // namespace velmora
