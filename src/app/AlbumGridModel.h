#pragma once

#include "app/AlbumStatus.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QPixmap>
#include <QString>

#include <vector>

class CThumbnailList;

// One album as the grid shows it: the texts of its list row, and its thumbnail in preview mode.
struct AlbumCell {
    int album = -1; // index in the album list: the cell's item data
    QString number; // "%04d" of index + 1
    QString name;
    QString count;
    QString privacy;
    int image = -1; // index in the thumbnail list, -1 for none
};

// The album grid's contents. In list mode one row per album with the columns 序号, 名称, 数量, 备注,
// an empty one and 状态; in preview mode the albums fill kPreviewColumns cells per row, left to
// right. Cells arrive in batches, so a long listing inserts rows without redrawing the whole grid.
// The statuses belong to the albums, not the cells: they outlive a change of mode.
class CAlbumGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kListColumns = 6;
    static constexpr int kPreviewColumns = 6;
    static constexpr int kStatusColumn = 5;
    static constexpr int kAlbumRole = Qt::UserRole;

    explicit CAlbumGridModel(const CThumbnailList& thumbnails, QObject* parent = nullptr);

    void SetPreview(bool preview);
    bool IsPreview() const { return m_bPreview; }
    void Clear();
    void Append(std::vector<AlbumCell> cells);
    int CellCount() const { return int(m_cells.size()); }
    // The position of a model index among the albums shown, or -1 for an empty or header cell.
    int CellIndex(const QModelIndex& index) const;
    QModelIndex IndexOfCell(int cell) const;

    void SetStatus(int album, const AlbumStatus& status);
    AlbumStatus Status(int album) const { return m_statuses.value(album); }
    void ClearStatuses();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    int RowsFor(int cells) const;
    QString CellText(const AlbumCell& cell, int column) const;
    QPixmap Thumbnail(int image) const;
    QVariant ToolTip(const AlbumCell& cell, int column) const;
    void StatusChanged(int album);

    const CThumbnailList& m_thumbnails;
    bool m_bPreview = false;
    std::vector<AlbumCell> m_cells;
    QHash<int, AlbumStatus> m_statuses; // by album index
    mutable QHash<int, QPixmap> m_pixmaps;
};
