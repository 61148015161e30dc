#include "app/DlgFind.h"

#include "app/AlbumGrid.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
QPushButton* MakeButton(const QString& id, const QString& text, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(id);
    button->setAutoDefault(false);
    return button;
}
} // namespace

CDlgFind::CDlgFind(CMyGridCtrl& grid, QWidget* parent)
    : QFrame(parent, Qt::Tool | Qt::FramelessWindowHint), m_grid(grid)
{
    setObjectName(u"704"_s);
    setFrameShape(QFrame::Box);
    auto* title = new QLabel(u"相册搜索"_s, this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    QPushButton* hide = MakeButton(u"1699"_s, u"×"_s, this);
    hide->setFlat(true);
    hide->setFixedWidth(28);
    m_keyword = new QLineEdit(this);
    m_keyword->setObjectName(u"1639"_s);
    m_caseSensitive = new QCheckBox(u"区分大小写"_s, this);
    m_caseSensitive->setObjectName(u"1033"_s);
    m_wholeCell = new QCheckBox(u"全字匹配"_s, this);
    m_wholeCell->setObjectName(u"1034"_s);
    QPushButton* previous = MakeButton(u"1701"_s, u"上一个"_s, this);
    QPushButton* next = MakeButton(u"1006"_s, u"下一个"_s, this);
    m_notFound = new QLabel(this);
    m_notFound->setObjectName(u"notFound"_s);

    auto* layout = new QGridLayout(this);
    layout->addWidget(title, 0, 0, 1, 3);
    layout->addWidget(hide, 0, 3, Qt::AlignRight);
    layout->addWidget(new QLabel(u"关键字:"_s, this), 1, 0);
    layout->addWidget(m_keyword, 1, 1, 1, 3);
    layout->addWidget(m_caseSensitive, 2, 0, 1, 2);
    layout->addWidget(m_wholeCell, 2, 2, 1, 2);
    layout->addWidget(previous, 3, 1);
    layout->addWidget(next, 3, 2, 1, 2);
    layout->addWidget(m_notFound, 4, 0, 1, 4);

    connect(hide, &QPushButton::clicked, this, &QWidget::hide);
    connect(previous, &QPushButton::clicked, this, &CDlgFind::FindPrevious);
    connect(next, &QPushButton::clicked, this, &CDlgFind::FindNext);
    connect(m_keyword, &QLineEdit::textEdited, m_notFound, &QLabel::clear);
}

void CDlgFind::ShowBesideGrid()
{
    adjustSize();
    move(PlaceBeside(*parentWidget()->window()));
    show();
    raise();
    activateWindow();
    m_keyword->setFocus();
}

QPoint CDlgFind::PlaceBeside(const QWidget& main) const
{
    constexpr int kGap = 8;
    const QRect window = main.frameGeometry();
    const QScreen* screen = main.screen();
    const QRect room = screen ? screen->availableGeometry() : window.adjusted(-width(), 0, width(), 0);
    const int top = std::clamp(window.top(), room.top(), std::max(room.top(), room.bottom() - height()));
    if (window.right() + kGap + width() <= room.right()) return {window.right() + kGap, top};
    if (window.left() - kGap - width() >= room.left()) return {window.left() - kGap - width(), top};
    // No room on either side: the corner over the status row and the check boxes.
    return window.bottomRight() - QPoint(width() + kGap, height() + kGap);
}

bool CDlgFind::FindNext()
{
    return Find(true);
}
bool CDlgFind::FindPrevious()
{
    return Find(false);
}

bool CDlgFind::Find(bool down)
{
    const QString keyword = m_keyword->text().trimmed();
    if (keyword.isEmpty()) {
        QMessageBox::information(this, u"相册搜索"_s, u"关键字不能为空"_s);
        return true;
    }
    const bool caseSensitive = m_caseSensitive->isChecked();
    const bool wholeCell = m_wholeCell->isChecked();
    m_notFound->clear();
    if (m_grid.FindRow(m_grid.FocusPosition(), keyword, down, caseSensitive, wholeCell)) return true;
    // Not found on this side of the focus: once more from the other end.
    const int wrapStart = down ? -1 : m_grid.PositionCount();
    if (m_grid.FindRow(wrapStart, keyword, down, caseSensitive, wholeCell)) return true;
    // The last match no longer answers this keyword; leaving it marked would look like one.
    m_grid.ClearAlbumSelection();
    m_notFound->setText(u"未找到"_s);
    return false;
}

void CDlgFind::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) m_dragOffset = event->globalPosition().toPoint() - pos();
    QFrame::mousePressEvent(event);
}

void CDlgFind::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton) move(event->globalPosition().toPoint() - m_dragOffset);
    QFrame::mouseMoveEvent(event);
}

void CDlgFind::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        hide();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // "下一个" is the default button: Enter searches on from the keyword and the check boxes.
        FindNext();
        return;
    default:
        QFrame::keyPressEvent(event);
    }
}
