#pragma once

#include "output/ResultRow.h"
#include "output/replaceFile.h"

#include <filesystem>
#include <vector>

namespace velmora {

/// Writes an Excel workbook of one sheet to `path` (a FileFiller for replaceFile): a bold header row
/// of the column titles, then one row per table row. 序号 and 月销量 cells that are plain whole
/// numbers become numbers, so that the sheet sorts them as such; every other cell is a string.
FillError writeXlsx(const std::filesystem::path& path, const std::vector<ResultRow>& rows);

} // namespace velmora
