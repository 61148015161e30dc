#include "app/AlbumGridModel.h"

#include "app/Thumbnails.h"

#include <algorithm>

using namespace Qt::StringLiterals;

CAlbumGridModel::CAlbumGridModel(const CThumbnailList& thumbnails, QObject* parent)
    : QAbstractTableModel(parent), m_thumbnails(thumbnails)
{
}

void CAlbumGridModel::SetPreview(bool preview)
{
    beginResetModel();
    m_bPreview = preview;
    m_cells.clear();
    m_pixmaps.clear();
    endResetModel();
}

void CAlbumGridModel::Clear()
{
    SetPreview(m_bPreview);
}

int CAlbumGridModel::RowsFor(int cells) const
{
    return m_bPreview ? (cells + kPreviewColumns - 1) / kPreviewColumns : cells;
}

void CAlbumGridModel::Append(std::vector<AlbumCell> cells)
{
    if (cells.empty()) return;
    const int oldCells = CellCount();
    const int oldRows = RowsFor(oldCells);
    const int newRows = RowsFor(oldCells + int(cells.size()));
    // In preview mode the last row may already stand and only gain cells.
    const bool fillsOpenRow = m_bPreview && oldCells % kPreviewColumns != 0;
    if (newRows > oldRows) beginInsertRows({}, oldRows, newRows - 1);
    for (AlbumCell& cell : cells)
        m_cells.push_back(std::move(cell));
    if (newRows > oldRows) endInsertRows();
    if (fillsOpenRow) {
        const int row = oldRows - 1;
        Q_EMIT dataChanged(index(row, oldCells % kPreviewColumns), index(row, kPreviewColumns - 1));
    }
}

int CAlbumGridModel::CellIndex(const QModelIndex& index) const
{
    if (!index.isValid()) return -1;
    const int cell = m_bPreview ? index.row() * kPreviewColumns + index.column() : index.row();
    return cell < CellCount() ? cell : -1;
}

QModelIndex CAlbumGridModel::IndexOfCell(int cell) const
{
    if (cell < 0 || cell >= CellCount()) return {};
    return m_bPreview ? index(cell / kPreviewColumns, cell % kPreviewColumns) : index(cell, 0);
}

int CAlbumGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : RowsFor(CellCount());
}

int CAlbumGridModel::columnCount(const QModelIndex& parent) const
{
    if (parent.isValid()) return 0;
    return m_bPreview ? kPreviewColumns : kListColumns;
}

QString CAlbumGridModel::CellText(const AlbumCell& cell, int column) const
{
    if (m_bPreview) return u"%1.%2"_s.arg(cell.album + 1).arg(cell.name);
    switch (column) {
    case 0:
        return cell.number;
    case 1:
        return cell.name;
    case 2:
        return cell.count;
    case 3:
        return cell.privacy;
    case kStatusColumn:
        return Status(cell.album).Text();
    default:
        return {};
    }
}

QPixmap CAlbumGridModel::Thumbnail(int image) const
{
    if (image < 0) return {};
    auto found = m_pixmaps.find(image);
    if (found == m_pixmaps.end()) found = m_pixmaps.insert(image, QPixmap::fromImage(m_thumbnails.At(image)));
    return *found;
}

QVariant CAlbumGridModel::ToolTip(const AlbumCell& cell, int column) const
{
    if (!m_bPreview && column == kStatusColumn) {
        const QString tip = Status(cell.album).tip;
        if (!tip.isEmpty()) return tip;
    }
    return cell.name;
}

void CAlbumGridModel::SetStatus(int album, const AlbumStatus& status)
{
    m_statuses.insert(album, status);
    StatusChanged(album);
}

void CAlbumGridModel::ClearStatuses()
{
    m_statuses.clear();
    if (!m_bPreview && CellCount() > 0)
        Q_EMIT dataChanged(index(0, kStatusColumn), index(CellCount() - 1, kStatusColumn));
}

void CAlbumGridModel::StatusChanged(int album)
{
    if (m_bPreview) return;
    // Album i is row i unless the rows came in another order.
    int row = album >= 0 && album < CellCount() && m_cells[size_t(album)].album == album ? album : -1;
    if (row < 0) {
        const auto found = std::ranges::find(m_cells, album, &AlbumCell::album);
        if (found == m_cells.end()) return;
        row = int(found - m_cells.begin());
    }
    const QModelIndex cell = index(row, kStatusColumn);
    Q_EMIT dataChanged(cell, cell);
}

QVariant CAlbumGridModel::data(const QModelIndex& index, int role) const
{
    const int cellIndex = CellIndex(index);
    if (cellIndex < 0) return {};
    const AlbumCell& cell = m_cells[size_t(cellIndex)];
    switch (role) {
    case Qt::DisplayRole:
        return CellText(cell, index.column());
    case Qt::ToolTipRole:
        return ToolTip(cell, index.column());
    case kAlbumRole:
        return cell.album;
    case Qt::DecorationRole:
        return m_bPreview ? QVariant(Thumbnail(cell.image)) : QVariant();
    case Qt::TextAlignmentRole:
        return m_bPreview || index.column() == 1 ? QVariant() : QVariant(Qt::AlignCenter);
    default:
        return {};
    }
}

QVariant CAlbumGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const QString kHeaders[kListColumns] = {u"序号"_s, u"名称"_s, u"数量"_s, u"备注"_s, {}, u"状态"_s};
    if (m_bPreview || orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return section >= 0 && section < kListColumns ? kHeaders[section] : QString();
}

Qt::ItemFlags CAlbumGridModel::flags(const QModelIndex& index) const
{
    // The empty cells after the last album of a preview take no selection.
    return CellIndex(index) < 0 ? Qt::NoItemFlags : Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}
