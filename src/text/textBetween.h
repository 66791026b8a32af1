#pragma once

#include "text/Text.h"

#include <string_view>

namespace velmora {

/// The part between the first `leftMarker` at or after `start` and the next `rightMarker`;
/// "" when either is missing. "#引号" (kQuoteMarker) in a marker stands for a double quote.
Text textBetween(std::string_view text, std::string_view leftMarker, std::string_view rightMarker,
                 int start = 1, bool caseSensitive = false);

} // namespace velmora
