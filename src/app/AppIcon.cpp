#include "app/AppIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {
// The picture of talvoria.svg on its 64 by 64 grid: a blue tile, a photo with a mountain and a
// sun, and a download arrow.
QPixmap DrawIcon(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x2b, 0x6c, 0xb0));
    painter.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(QRectF(10, 12, 44, 32), 3, 3);
    painter.setBrush(QColor(0x4c, 0xaf, 0x50));
    QPainterPath mountain;
    mountain.moveTo(12, 42);
    mountain.lineTo(26, 24);
    mountain.lineTo(36, 36);
    mountain.lineTo(42, 30);
    mountain.lineTo(52, 42);
    mountain.closeSubpath();
    painter.drawPath(mountain);
    painter.setBrush(QColor(0xff, 0xc1, 0x07));
    painter.drawEllipse(QPointF(44, 20), 4, 4);
    painter.setBrush(Qt::white);
    QPainterPath arrow;
    arrow.addRect(29, 46, 6, 6);
    arrow.moveTo(22, 51);
    arrow.lineTo(42, 51);
    arrow.lineTo(32, 60);
    arrow.closeSubpath();
    painter.drawPath(arrow.simplified());
    return pixmap;
}
} // namespace

QIcon AppIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128})
        icon.addPixmap(DrawIcon(size));
    return icon;
}
