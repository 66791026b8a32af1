#include "app/appIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace velmora {

QIcon appIcon() {
    QPixmap picture(32, 32);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 80, 0));
    painter.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);

    // The bag: body and handle.
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(QRectF(6, 11, 16, 15), 2, 2);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::white, 2));
    painter.drawArc(QRectF(9, 5, 10, 11), 0, 180 * 16);

    // The magnifier over the bag's corner.
    painter.setPen(QPen(QColor(40, 40, 40), 2.5));
    painter.setBrush(QColor(255, 220, 120));
    painter.drawEllipse(QRectF(16, 15, 9, 9));
    painter.drawLine(QPointF(24, 23), QPointF(29, 28));
    painter.end();

    return QIcon(picture);
}

} // namespace velmora
