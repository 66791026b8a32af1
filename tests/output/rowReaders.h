#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmora::test {

/// Lines of cells, as a reader of the format sees them.
using Records = std::vector<std::vector<std::string>>;

/// RFC 4180 records, CR LF between them; an unclosed quote or stray text after one fails the test.
Records readCsv(std::string_view text);

/// Tab-separated lines ending in LF, with \\, \t, \n and \r undone.
Records readTsv(std::string_view text);

/// One flat JSON object of string values per line, its values in key order; the keys must be `keys`.
Records readJsonLines(std::string_view text, const std::vector<std::string>& keys);

} // namespace velmora::test
