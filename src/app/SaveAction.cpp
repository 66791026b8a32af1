#include "app/SaveAction.h"

#include "app/ControlOperations.h"
#include "app/FileDialogComponent.h"
#include "app/MainWindow.h"
#include "app/MessageBox.h"
#include "app/activityLog.h"
#include "app/qtText.h"
#include "output/saveRows.h"

#include <QAbstractItemModel>
#include <QFile>
#include <QTableView>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <vector>

namespace velmora {

namespace {

/// The rows of a result table as they stand now, each cell as a code page 936 text.
std::vector<ResultRow> tableRows(const QAbstractItemModel& table) {
    std::vector<ResultRow> rows(static_cast<std::size_t>(table.rowCount()));
    const int columns = std::min(table.columnCount(), static_cast<int>(ResultRow().size()));
    for (int row = 0; row < table.rowCount(); ++row) {
        for (int column = 0; column < columns; ++column) {
            rows[row][column] = toText(table.data(table.index(row, column)).toString());
        }
    }
    return rows;
}

} // namespace

void saveData(MainWindow& window) {
    const std::optional<SaveChoice> choice = window.通用对话框_txt->askSavePath(&window);
    if (!choice) {
        return;
    }
    // Read after the dialog closes: a running worker may have added rows meanwhile, and those are
    // saved too. The worker's changes reach the table only on this thread, so the rows are whole.
    const std::vector<ResultRow> rows = tableRows(*window.超级列表框2shop->model());
    const std::filesystem::path path(QFile::encodeName(choice->path).toStdString());
    if (const WriteError error = saveRows(path, choice->format, rows)) {
        MessageBox::show(QStringLiteral("信息："),
                         QStringLiteral("保存失败：") + QString::fromStdString(*error));
        return;
    }
    ControlOperations operations(window.bridge());
    logMessage(operations,
               toText(QStringLiteral("保存数据：%1 共计：%2 条").arg(choice->path).arg(rows.size())));
}

} // namespace velmora
