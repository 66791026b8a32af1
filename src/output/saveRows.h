#pragma once

#include "output/ResultRow.h"
#include "output/replaceFile.h"

#include <filesystem>
#include <vector>

namespace velmora {

/// The file formats the result table can be saved in.
enum class FileFormat {
    Csv,       ///< CSV in UTF-8 with a byte-order mark (see rowLines.h)
    Tsv,       ///< tab-separated text in UTF-8, tabs and line breaks in cells escaped (see rowLines.h)
    JsonLines, ///< one JSON object per row (see rowLines.h)
    Xlsx,      ///< an Excel workbook (see writeXlsx.h)
};

/// Writes the table, header first, to `path` as a whole or not at all (replaceFile): on failure the
/// error text, and the file that was there before is untouched.
WriteError saveRows(const std::filesystem::path& path, FileFormat format, const std::vector<ResultRow>& rows);

} // namespace velmora
