#include "app/PreviewDelegate.h"

#include "app/Thumbnails.h"

#include <QPainter>

void CPreviewDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (!(index.flags() & Qt::ItemIsEnabled)) return;
    painter->save();
    const bool selected = option.state & QStyle::State_Selected;
    const QRect image(option.rect.left() + kCellMargin, option.rect.top() + kCellMargin, kThumbWidth, kThumbHeight);
    const QPixmap thumbnail = index.data(Qt::DecorationRole).value<QPixmap>();
    if (thumbnail.isNull())
        painter->fillRect(image, option.palette.color(QPalette::Midlight));
    else
        painter->drawPixmap(image, thumbnail);

    const int bandHeight = option.fontMetrics.height() + 4;
    const QRect band(image.left(), image.bottom() + 1 - bandHeight, image.width(), bandHeight);
    painter->fillRect(band, QColor(0, 0, 0, 150));
    painter->setPen(Qt::white);
    const QString label =
        option.fontMetrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight, band.width() - 6);
    painter->drawText(band.adjusted(3, 0, -3, 0), Qt::AlignVCenter | Qt::AlignLeft, label);

    if (selected) {
        painter->setPen(QPen(option.palette.color(QPalette::Highlight), 3));
        painter->drawRect(image.adjusted(-2, -2, 1, 1));
    }
    painter->restore();
}

QSize CPreviewDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const
{
    return {kThumbWidth + 2 * kCellMargin, kThumbHeight + 10};
}
