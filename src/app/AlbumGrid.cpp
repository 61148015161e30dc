#include "app/AlbumGrid.h"

#include "app/AlbumGridModel.h"
#include "app/PreviewDelegate.h"
#include "app/Thumbnails.h"

#include <QHeaderView>
#include <QPainter>

#include <algorithm>

CMyGridCtrl::CMyGridCtrl(QWidget* parent)
    : QTableView(parent), m_previewDelegate(new CPreviewDelegate(this)), m_listDelegate(itemDelegate())
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    verticalHeader()->hide();
    // Rows are as high as the mode says; measuring each of thousands of rows would stall.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    // Fitting a column measures the rows in view and this many more, not the whole list.
    horizontalHeader()->setResizeContentsPrecision(200);
    // The header fits its columns when the view resizes, not when rows arrive: albums listed
    // one by one are measured once they stop coming in a burst.
    m_fitColumns.setSingleShot(true);
    m_fitColumns.setInterval(50);
    connect(&m_fitColumns, &QTimer::timeout, this, [this] {
        // Setting a column's mode again makes the header measure all of them anew.
        if (m_model && !m_model->IsPreview())
            horizontalHeader()->setSectionResizeMode(kNameColumn, QHeaderView::Stretch);
    });
}

void CMyGridCtrl::SetAlbumModel(CAlbumGridModel* model)
{
    m_model = model;
    setModel(model);
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(model, signal, &m_fitColumns, qOverload<>(&QTimer::start));
    connect(model, &QAbstractItemModel::modelReset, &m_fitColumns, qOverload<>(&QTimer::start));
    connect(model, &QAbstractItemModel::dataChanged, &m_fitColumns, qOverload<>(&QTimer::start));
}

void CMyGridCtrl::SetupForMode()
{
    const bool preview = m_model->IsPreview();
    setItemDelegate(preview ? static_cast<QAbstractItemDelegate*>(m_previewDelegate) : m_listDelegate);
    setSelectionBehavior(preview ? QAbstractItemView::SelectItems : QAbstractItemView::SelectRows);
    setShowGrid(!preview);
    QHeaderView* header = horizontalHeader();
    header->setVisible(!preview);
    if (preview) {
        // Thumbnail cells keep their size; the columns do not share out the width.
        header->setSectionResizeMode(QHeaderView::Interactive);
        verticalHeader()->setDefaultSectionSize(kThumbHeight + 10);
        for (int column = 0; column < CAlbumGridModel::kPreviewColumns; ++column) {
            setColumnHidden(column, false);
            setColumnWidth(column, kThumbWidth + 2 * CPreviewDelegate::kCellMargin);
        }
        return;
    }
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    for (int column = 0; column < CAlbumGridModel::kListColumns; ++column) {
        setColumnHidden(column, kListWidths[column] == 0);
        setColumnWidth(column, kListWidths[column]);
        // The name takes whatever width the short columns leave, at any window size.
        header->setSectionResizeMode(column,
                                     column == kNameColumn ? QHeaderView::Stretch : QHeaderView::ResizeToContents);
    }
}

void CMyGridCtrl::SelectAllAlbums()
{
    const int cells = m_model->CellCount();
    if (cells == 0) return;
    QItemSelection all;
    if (!m_model->IsPreview()) {
        all.select(m_model->index(0, 0), m_model->index(cells - 1, CAlbumGridModel::kListColumns - 1));
    } else {
        const int columns = CAlbumGridModel::kPreviewColumns;
        const int fullRows = cells / columns;
        if (fullRows > 0) all.select(m_model->index(0, 0), m_model->index(fullRows - 1, columns - 1));
        if (cells % columns != 0)
            all.select(m_model->index(fullRows, 0), m_model->index(fullRows, cells % columns - 1));
    }
    selectionModel()->select(all, QItemSelectionModel::ClearAndSelect);
}

void CMyGridCtrl::ClearAlbumSelection()
{
    selectionModel()->clearSelection();
    selectionModel()->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
}

void CMyGridCtrl::SelectAlbums(const std::vector<int>& albums, int fromCell)
{
    QItemSelection cells;
    for (int cell = fromCell; cell < m_model->CellCount(); ++cell) {
        const QModelIndex index = m_model->IndexOfCell(cell);
        const int album = index.data(CAlbumGridModel::kAlbumRole).toInt();
        if (std::binary_search(albums.begin(), albums.end(), album)) cells.select(index, index);
    }
    QItemSelectionModel::SelectionFlags how = QItemSelectionModel::Select;
    if (!m_model->IsPreview()) how |= QItemSelectionModel::Rows;
    if (!cells.isEmpty()) selectionModel()->select(cells, how);
}

std::vector<int> CMyGridCtrl::SelectedAlbums() const
{
    std::vector<int> cells;
    for (const QModelIndex& index : selectionModel()->selectedIndexes()) {
        if (!m_model->IsPreview() && index.column() != 0) continue;
        const int cell = m_model->CellIndex(index);
        if (cell >= 0) cells.push_back(cell);
    }
    std::sort(cells.begin(), cells.end());
    cells.erase(std::unique(cells.begin(), cells.end()), cells.end());
    std::vector<int> albums;
    for (int cell : cells)
        albums.push_back(m_model->IndexOfCell(cell).data(CAlbumGridModel::kAlbumRole).toInt());
    return albums;
}

int CMyGridCtrl::FocusPosition() const
{
    const QModelIndex focus = currentIndex();
    if (!focus.isValid()) return -1;
    return m_model->IsPreview() ? m_model->CellIndex(focus) : focus.row();
}

int CMyGridCtrl::PositionCount() const
{
    return m_model->IsPreview() ? m_model->CellCount() : m_model->rowCount();
}

bool CMyGridCtrl::CellMatches(const QModelIndex& index, const QString& keyword, Qt::CaseSensitivity cs,
                              bool wholeCell) const
{
    if (m_model->CellIndex(index) < 0) return false;
    const QString text = index.data(Qt::DisplayRole).toString();
    return wholeCell ? text.compare(keyword, cs) == 0 : text.contains(keyword, cs);
}

bool CMyGridCtrl::FindRow(int start, const QString& keyword, bool down, bool caseSensitive, bool wholeCell)
{
    const Qt::CaseSensitivity cs = caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const bool preview = m_model->IsPreview();
    const int columns = preview ? 1 : m_model->columnCount();
    const int step = down ? 1 : -1;
    for (int position = start + step; position >= 0 && position < PositionCount(); position += step) {
        for (int column = 0; column < columns; ++column) {
            const QModelIndex index = preview ? m_model->IndexOfCell(position) : m_model->index(position, column);
            if (!CellMatches(index, keyword, cs, wholeCell)) continue;
            SelectFound(index);
            return true;
        }
    }
    return false;
}

void CMyGridCtrl::SelectFound(const QModelIndex& index)
{
    // In list mode the row is the album; in preview mode the matching cell is.
    QItemSelectionModel::SelectionFlags how = QItemSelectionModel::ClearAndSelect;
    if (!m_model->IsPreview()) how |= QItemSelectionModel::Rows;
    selectionModel()->setCurrentIndex(index, how);
    scrollTo(index, QAbstractItemView::PositionAtTop);
}

void CMyGridCtrl::paintEvent(QPaintEvent* event)
{
    QTableView::paintEvent(event);
    if (!hasFocus()) return;
    // The style marks only the focus cell, which may be scrolled away or not be set at all.
    QPainter painter(viewport());
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    painter.drawRect(viewport()->rect().adjusted(1, 1, -1, -1));
}

void CMyGridCtrl::focusInEvent(QFocusEvent* event)
{
    QTableView::focusInEvent(event);
    viewport()->update();
}

void CMyGridCtrl::focusOutEvent(QFocusEvent* event)
{
    QTableView::focusOutEvent(event);
    viewport()->update();
}
