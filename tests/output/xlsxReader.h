#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace velmora::test {

/// One cell of a sheet as a spreadsheet program reads it.
struct SheetCell {
    std::string text; ///< the string, or the number as written
    bool number = false;
};

/// The cells of the first sheet of an .xlsx file, row by row; missing cells are empty strings.
/// Fails the test when the file is not a workbook.
std::vector<std::vector<SheetCell>> readFirstSheet(const std::filesystem::path& path);

} // namespace velmora::test
