#pragma once

#include <QFrame>
#include <QPoint>

class CMyGridCtrl;
class QCheckBox;
class QLabel;
class QLineEdit;

// The find box: a small frameless box beside the main window that searches the album grid's cell
// texts up or down from the focus cell, wrapping around once. Dragging its body moves it.
class CDlgFind : public QFrame {
    Q_OBJECT
public:
    CDlgFind(CMyGridCtrl& grid, QWidget* parent);

    // Shows the box beside the main window, where it hides none of the grid's rows: right of it
    // when the screen has room, else left, else over the window's bottom-right corner.
    void ShowBesideGrid();
    // The buttons "下一个" and "上一个": true when a cell matched (or the keyword was empty).
    bool FindNext();
    bool FindPrevious();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool Find(bool down);
    QPoint PlaceBeside(const QWidget& main) const;

    CMyGridCtrl& m_grid;
    QLineEdit* m_keyword;
    QCheckBox* m_caseSensitive;
    QCheckBox* m_wholeCell;
    QLabel* m_notFound;
    QPoint m_dragOffset;
};
