#pragma once

#include <QTableView>
#include <QTimer>

#include <vector>

class CAlbumGridModel;
class CPreviewDelegate;

// The album grid (control 1003): list mode with a header row and whole-row selection, or preview
// mode with thumbnail cells selected one by one. Its selection is what a download takes.
class CMyGridCtrl : public QTableView {
    Q_OBJECT
public:
    // The list columns' starting widths (0: hidden); the name column then stretches and the
    // others fit their contents.
    static constexpr int kListWidths[] = {50, 575, 50, 100, 0, 70};
    static constexpr int kNameColumn = 1;

    explicit CMyGridCtrl(QWidget* parent = nullptr);

    void SetAlbumModel(CAlbumGridModel* model);
    // Sets the columns, rows and selection up for the model's current mode.
    void SetupForMode();

    void SelectAllAlbums();
    void ClearAlbumSelection();
    // Adds to the selection the cells from fromCell on whose albums are among albums (sorted).
    void SelectAlbums(const std::vector<int>& albums, int fromCell);
    // The album indexes of the selected cells, in row order (left to right in preview mode).
    std::vector<int> SelectedAlbums() const;

    // Searches go from album to album: by row in list mode, by cell in preview mode, where one
    // row holds several albums and each must be reachable. The focus album's position, or -1
    // when there is none; and the number of positions.
    int FocusPosition() const;
    int PositionCount() const;
    // Searches the positions after (down) or before (up) start for a cell whose text contains the
    // keyword, or equals it when wholeCell. On a match the album is selected, its row scrolled to
    // the top and true returned.
    bool FindRow(int start, const QString& keyword, bool down, bool caseSensitive, bool wholeCell);

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool CellMatches(const QModelIndex& index, const QString& keyword, Qt::CaseSensitivity cs, bool wholeCell) const;
    void SelectFound(const QModelIndex& index);

    CAlbumGridModel* m_model = nullptr;
    QTimer m_fitColumns;
    CPreviewDelegate* m_previewDelegate;
    QAbstractItemDelegate* m_listDelegate;
};
