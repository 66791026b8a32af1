#include "app/FileDialogComponent.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

#include <utility>

namespace velmora {

const QString FileDialogComponent::kCsvFilter = QStringLiteral("CSV (UTF-8) (*.csv)");
const QString FileDialogComponent::kXlsxFilter = QStringLiteral("Excel (*.xlsx)");
const QString FileDialogComponent::kTsvFilter = QStringLiteral("Tab-separated text (*.tsv *.txt)");

namespace {

FileDialogComponent::Presenter& presenter() {
    static FileDialogComponent::Presenter current;
    return current;
}

std::optional<SaveChoice> showDialog(QWidget* parent) {
    const QStringList filters = {FileDialogComponent::kCsvFilter, FileDialogComponent::kXlsxFilter,
                                 FileDialogComponent::kTsvFilter};
    QString selectedFilter = filters.front();
    const QString fileName = QFileDialog::getSaveFileName(
        parent, QStringLiteral("保存数据"), QString(), filters.join(QStringLiteral(";;")), &selectedFilter);
    if (fileName.isEmpty()) {
        return std::nullopt;
    }
    return FileDialogComponent::choiceFor(fileName, selectedFilter);
}

} // namespace

std::optional<SaveChoice> FileDialogComponent::askSavePath(QWidget* parent) const {
    return presenter() ? presenter()(parent) : showDialog(parent);
}

void FileDialogComponent::setPresenter(Presenter replacement) {
    presenter() = std::move(replacement);
}

SaveChoice FileDialogComponent::choiceFor(const QString& fileName, const QString& selectedFilter) {
    SaveChoice choice{fileName, FileFormat::Csv};
    QString extension = QStringLiteral(".csv");
    if (selectedFilter == kXlsxFilter) {
        choice.format = FileFormat::Xlsx;
        extension = QStringLiteral(".xlsx");
    } else if (selectedFilter == kTsvFilter) {
        choice.format = FileFormat::Tsv;
        extension = QStringLiteral(".tsv");
    }
    // The dialog hands back what was typed; a bare name would leave the file without a type that
    // other programs recognise.
    if (QFileInfo(fileName).suffix().isEmpty()) {
        choice.path += extension;
    }
    return choice;
}

} // namespace velmora
