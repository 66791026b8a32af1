#pragma once

#include <string_view>

namespace velmora {

/// "#引号" in code page 936: stands for a double quote in the markers of textBetween and, when
/// asked, in patterns.
inline constexpr std::string_view kQuoteMarker = "#\xD2\xFD\xBA\xC5";

} // namespace velmora
