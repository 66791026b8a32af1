#pragma once

#include "text/Text.h"

#include <string_view>

namespace velmora {

/// The agent string of every request whose caller gives no User-Agent line.
inline constexpr std::string_view kDefaultAgent =
    "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1; ZV7QK; .NET CLR 2.0.50727; .NET CLR 3.0.04506.648; "
    ".NET CLR 3.5.21022)";

/// The agent for a caller's header text: its User-Agent value (any letter case), else the default.
Text agentFor(std::string_view headers);

/// Completes a caller's header text into the block httpFetch sends: Referer, Accept, Accept-Language
/// and Content-Type when missing (exact search), then a Cookie line for a non-empty `cookies`.
void completeRequestHeaders(Text& headers, std::string_view url, std::string_view cookies);

/// The block httpFetchObject sends when its caller gives no header text.
Text defaultObjectHeaders(std::string_view url);

} // namespace velmora
