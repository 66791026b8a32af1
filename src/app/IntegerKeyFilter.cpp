#include "app/IntegerKeyFilter.h"

#include <QKeyEvent>

#include <algorithm>

namespace velmora {

namespace {

bool isRefused(QChar typed) {
    return typed.unicode() >= 32 && typed != u'-' && !(typed >= u'0' && typed <= u'9');
}

} // namespace

bool IntegerKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const QString typed = static_cast<QKeyEvent*>(event)->text();
        if (std::any_of(typed.begin(), typed.end(), isRefused)) {
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace velmora
