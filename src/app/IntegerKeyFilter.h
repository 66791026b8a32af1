#pragma once

#include <QObject>

namespace velmora {

/// Lets an edit box take only digits and "-" when typed; control keys (Backspace, arrows, Ctrl
/// shortcuts) pass, and so does pasted text.
class IntegerKeyFilter : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace velmora
