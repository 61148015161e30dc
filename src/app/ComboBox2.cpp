#include "app/ComboBox2.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QStringListModel>
#include <QWindow>

CComboBox2::CComboBox2(QWidget* parent) : QComboBox(parent), m_matches(new QStringListModel(this))
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // A completer filters without taking the keyboard from the field, so typing goes on while
    // the matches show.
    auto* completer = new QCompleter(m_matches, this);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setFilterMode(Qt::MatchContains);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    setCompleter(completer);
    // The field tells of an edit before the completer filters on it.
    connect(lineEdit(), &QLineEdit::textEdited, this, &CComboBox2::OfferFor);
    // The completer eats the click that closes its list; this filter, installed after its own,
    // sees the click first. Qt's own replay is off, so that no platform gets it twice.
    completer->popup()->setAttribute(Qt::WA_NoMouseReplay);
    completer->popup()->installEventFilter(this);
}

void CComboBox2::AddItem(const QString& text)
{
    m_arrItems.append(text);
    OfferFor(currentText());
}

void CComboBox2::OfferFor(const QString& typed)
{
    QStringList offered = m_arrItems;
    offered.removeIf([&typed](const QString& item) { return item.compare(typed.trimmed(), Qt::CaseInsensitive) == 0; });
    m_matches->setStringList(offered);
}

void CComboBox2::showPopup()
{
    const QString text = currentText();
    const int caret = lineEdit()->cursorPosition();
    {
        const QSignalBlocker quiet(this);
        clear();
        addItems(m_arrItems);
        setCurrentIndex(-1);
        setEditText(text);
    }
    lineEdit()->setCursorPosition(caret);
    QComboBox::showPopup();
}

void CComboBox2::keyPressEvent(QKeyEvent* event)
{
    // The field passes Enter on to the combo, which would hand it back to the field: its
    // returnPressed comes twice.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        Q_EMIT Entered();
        return;
    }
    QComboBox::keyPressEvent(event);
}

bool CComboBox2::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == completer()->popup() && event->type() == QEvent::MouseButtonPress) return PassClickOn(event);
    return QComboBox::eventFilter(watched, event);
}

bool CComboBox2::PassClickOn(QEvent* event)
{
    QAbstractItemView* popup = completer()->popup();
    const auto* press = static_cast<QMouseEvent*>(event);
    const QPoint global = press->globalPosition().toPoint();
    if (popup->rect().contains(popup->mapFromGlobal(global))) return false; // a choice in the list
    popup->hide();
    QWidget* below = QApplication::topLevelAt(global);
    QWindow* target = below ? below->windowHandle() : nullptr;
    if (!target) return true;
    // Sent at once, while the button is still down, so that its release reaches the same widget.
    const QPointF local = target->mapFromGlobal(press->globalPosition());
    QMouseEvent replay(QEvent::MouseButtonPress, local, local, press->globalPosition(), press->button(),
                       press->buttons(), press->modifiers(), press->pointingDevice());
    QCoreApplication::sendEvent(target, &replay);
    return true;
}
