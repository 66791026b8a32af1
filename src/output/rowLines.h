#pragma once

#include "output/ResultRow.h"

#include <string>
#include <string_view>

namespace velmora {

// Rows as lines of UTF-8 text, one line per row, so that a row can be written out the moment it
// is complete.
//
// - CSV: RFC 4180. A cell holding a comma, a double quote, a carriage return or a line feed is put
//   in double quotes, its double quotes doubled; every line, the last one too, ends with CR LF.
// - TSV: cells joined by tabs, lines ending with LF. A cell cannot hold a tab or a line break, so a
//   backslash is written "\\", a tab "\t", a line feed "\n" and a carriage return "\r" (the escapes
//   of PostgreSQL's text format and of "linear TSV"); every other byte stays as it is.
// - JSON lines: one object per line, ending with LF, whose keys are kColumnKeys and whose values are
//   the cells as JSON strings (the cells are texts: "1.2万" is a sales figure too); no header line.

/// The text formats of rows.
enum class LineFormat { Csv, Tsv, JsonLines };

/// The UTF-8 byte-order mark: without it spreadsheet programs read a CSV file in the local code page.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

/// What a file in the format begins with: the byte-order mark for CSV, nothing for the others. A
/// stream such as standard output gets no mark: programs that read it take UTF-8 as it comes.
std::string_view fileStart(LineFormat format);

/// The header line with its line end: the column titles for CSV and TSV, "" for JSON lines.
std::string headerLine(LineFormat format);

/// One row as a UTF-8 line with its line end.
std::string rowLine(LineFormat format, const ResultRow& row);

} // namespace velmora
