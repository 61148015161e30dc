#include "app/ComboBox2.h"

#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStringListModel>

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
}

void CComboBox2::AddItem(const QString& text)
{
    m_arrItems.append(text);
    m_matches->setStringList(m_arrItems);
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
