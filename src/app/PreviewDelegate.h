#pragma once

#include <QStyledItemDelegate>

// Draws a preview cell: the cover thumbnail with the album's "%d.%s" label on a band across its
// foot, a frame in the selection colour when the cell is selected.
class CPreviewDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int kCellMargin = 4;

    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
