#pragma once

#include <QObject>
#include <QRect>

namespace velmora {

/// The window's file dialog component: part of the form but never drawn, and nothing opens a dialog
/// through it yet.
class FileDialogComponent : public QObject {
    Q_OBJECT
public:
    /// The place the component holds on the window's form.
    static constexpr QRect kFormPlace{464, 352, 72, 40};

    using QObject::QObject;
};

} // namespace velmora
