#pragma once

#include "text/Text.h"

#include <cstdint>
#include <string_view>

namespace velmora {

/// Decimal digits with "-" before negative values.
Text intToText(std::int64_t value);

/// printf "%.13g": 44.0 gives "44", 0.5 gives "0.5".
Text numberToText(double value);

/// Leading integer after white space and an optional sign, full-width forms folded; 0 when none.
std::int32_t textToInt(std::string_view text);

/// Leading decimal number (fraction and exponent allowed), full-width forms folded; 0 when none.
double textToNumber(std::string_view text);

} // namespace velmora
