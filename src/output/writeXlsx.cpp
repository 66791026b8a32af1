#include "output/writeXlsx.h"

#include "output/utf8Text.h"

#include <xlsxwriter.h>

#include <memory>

namespace velmora {

namespace {

struct WorkbookFree {
    void operator()(lxw_workbook* workbook) const { lxw_workbook_free(workbook); }
};

using WorkbookHandle = std::unique_ptr<lxw_workbook, WorkbookFree>;

constexpr double kColumnWidths[] = {6, 40, 50, 16, 10};

/// Decimal digits without a leading zero, few enough to stay exact as a double.
bool isPlainWholeNumber(std::string_view cell) {
    if (cell.empty() || cell.size() > 15 || (cell.size() > 1 && cell.front() == '0')) {
        return false;
    }
    for (const char c : cell) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

bool isCountColumn(std::size_t column) {
    return column == 0 || column == 4;
}

} // namespace

FillError writeXlsx(const std::filesystem::path& path, const std::vector<ResultRow>& rows) {
    WorkbookHandle workbook(workbook_new(path.c_str()));
    if (!workbook) {
        return lxw_strerror(LXW_ERROR_MEMORY_MALLOC_FAILED);
    }
    lxw_worksheet* sheet = workbook_add_worksheet(workbook.get(), nullptr);
    lxw_format* bold = workbook_add_format(workbook.get());
    if (!sheet || !bold) {
        return lxw_strerror(LXW_ERROR_MEMORY_MALLOC_FAILED);
    }
    format_set_bold(bold);
    worksheet_freeze_panes(sheet, 1, 0);

    for (std::size_t column = 0; column < kColumnTitles.size(); ++column) {
        const auto col = static_cast<lxw_col_t>(column);
        worksheet_set_column(sheet, col, col, kColumnWidths[column], nullptr);
        const std::string title(kColumnTitles[column]);
        if (const lxw_error error = worksheet_write_string(sheet, 0, col, title.c_str(), bold)) {
            return lxw_strerror(error);
        }
    }
    for (std::size_t index = 0; index < rows.size(); ++index) {
        const auto row = static_cast<lxw_row_t>(index + 1);
        for (std::size_t column = 0; column < rows[index].size(); ++column) {
            const Text& cell = rows[index][column];
            const auto col = static_cast<lxw_col_t>(column);
            const lxw_error error =
                isCountColumn(column) && isPlainWholeNumber(cell)
                    ? worksheet_write_number(sheet, row, col, std::stod(cell), nullptr)
                    : worksheet_write_string(sheet, row, col, utf8FromText(cell).c_str(), nullptr);
            if (error) {
                return lxw_strerror(error);
            }
        }
    }
    if (const lxw_error error = workbook_close(workbook.release())) {
        return lxw_strerror(error);
    }
    return std::nullopt;
}

} // namespace velmora
