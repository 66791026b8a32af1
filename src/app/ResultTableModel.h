#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <array>
#include <vector>

namespace velmora {

/// The rows of the result table: number, item address, title, seller handle, monthly sales.
/// Read-only to the user; only the operations below change it.
class ResultTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kColumns = 5;

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    /// Deletes every row.
    void clearRows();
    /// Appends a row with `number` in column 0 and "" elsewhere; returns its 0-based index.
    int appendRow(const QString& number);
    /// Replaces a cell's text; a row or column that does not exist is left alone.
    void setCell(int row, int column, const QString& text);

private:
    std::vector<std::array<QString, kColumns>> rows_;
};

} // namespace velmora
