#include "app/ResultTableModel.h"

namespace velmora {

namespace {

const std::array<QString, ResultTableModel::kColumns> kTitles = {
    QStringLiteral("序号"), QStringLiteral("宝贝链接"), QStringLiteral("宝贝名称"),
    QStringLiteral("卖家旺旺"), QStringLiteral("月销量")};

constexpr int kLeftAligned = Qt::AlignLeft | Qt::AlignVCenter;

} // namespace

int ResultTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ResultTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant ResultTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return rows_[index.row()][index.column()];
    }
    if (role == Qt::TextAlignmentRole) {
        return kLeftAligned;
    }
    return {};
}

QVariant ResultTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumns) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return kTitles[section];
    }
    if (role == Qt::TextAlignmentRole) {
        return kLeftAligned;
    }
    return {};
}

Qt::ItemFlags ResultTableModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void ResultTableModel::clearRows() {
    beginResetModel();
    rows_.clear();
    endResetModel();
}

int ResultTableModel::appendRow(const QString& number) {
    const int row = rowCount();
    beginInsertRows({}, row, row);
    rows_.push_back({number, {}, {}, {}, {}});
    endInsertRows();
    return row;
}

void ResultTableModel::setCell(int row, int column, const QString& text) {
    if (row < 0 || row >= rowCount() || column < 0 || column >= kColumns) {
        return;
    }
    rows_[row][column] = text;
    const QModelIndex changed = index(row, column);
    emit dataChanged(changed, changed, {Qt::DisplayRole});
}

} // namespace velmora
