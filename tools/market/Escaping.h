#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora::market {

/// The inside of a JSON string as the marketplace's encoder writes it: quotes, backslashes and control
/// characters escaped, and < > & = ' written as \u003c \u003e \u0026 \u003d \u0027; other bytes as they are.
std::string jsonEscape(std::string_view text);

/// Text made safe for HTML content and double-quoted attribute values.
std::string htmlEscape(std::string_view text);

/// Percent-encoding as a browser's encodeURIComponent does it, with upper-case hexadecimal digits.
std::string percentEncode(std::string_view bytes);

/// Undoes percent-encoding byte for byte; with plusIsSpace a "+" becomes a space. Broken escapes stay as they
/// are.
std::string percentDecode(std::string_view text, bool plusIsSpace);

/// The name=value pairs of a query (after "?"), in order and still encoded.
std::vector<std::pair<std::string, std::string>> splitQuery(std::string_view query);

/// The still-encoded value of the first query pair with that name, or "" when absent.
std::string queryValue(std::string_view query, std::string_view name);

/// Whether the query holds a pair with that name.
bool hasQueryKey(std::string_view query, std::string_view name);

} // namespace velmora::market
