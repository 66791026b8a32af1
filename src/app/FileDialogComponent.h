#pragma once

#include "output/saveRows.h"

#include <QObject>
#include <QRect>
#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace velmora {

/// Where the user chose to save the table, and in which format.
struct SaveChoice {
    QString path;
    FileFormat format = FileFormat::Csv;
};

/// The window's file dialog component: part of the form but never drawn. It asks where to save the
/// table; tests put a presenter in place of the dialog so that nothing waits for the user.
class FileDialogComponent : public QObject {
    Q_OBJECT
public:
    /// The place the component holds on the window's form.
    static constexpr QRect kFormPlace{464, 352, 72, 40};

    /// The dialog's filters, in the order offered; the first is the one chosen at first.
    static const QString kCsvFilter;
    static const QString kXlsxFilter;
    static const QString kTsvFilter;

    /// Shows the dialog (or the presenter) and returns the chosen file; nothing when it is cancelled.
    using Presenter = std::function<std::optional<SaveChoice>(QWidget* parent)>;

    using QObject::QObject;

    /// Asks for the file to save to, modal over `parent`; nothing when cancelled. UI thread only.
    std::optional<SaveChoice> askSavePath(QWidget* parent) const;

    /// Replaces the dialog by `presenter`; an empty presenter brings the real dialog back.
    static void setPresenter(Presenter presenter);

    /// The choice for a name picked in the dialog under `selectedFilter`: the filter decides the
    /// format, and a name without an extension gets the format's own.
    static SaveChoice choiceFor(const QString& fileName, const QString& selectedFilter);
};

} // namespace velmora
