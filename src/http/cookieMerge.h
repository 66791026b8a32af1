#pragma once

#include "text/Text.h"

#include <string_view>

namespace velmora {

/// Appends the cookie part of one Set-Cookie line and "; " to `receivedCookies`.
void collectSetCookie(Text& receivedCookies, std::string_view line);

/// Merges received cookies into `cookies` (received first, same names replaced, "=deleted"
/// dropped, duplicates removed); removes the spaces of `receivedCookies`.
void mergeCookies(Text& cookies, Text& receivedCookies);

/// The text before the first "=" of a cookie item, trimmed (the whole item without "=").
Text cookieName(std::string_view item);

/// The text with exact duplicate items removed, first occurrences kept.
Text uniqueItems(std::string_view text, std::string_view separator);

} // namespace velmora
