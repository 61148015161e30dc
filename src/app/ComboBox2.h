#pragma once

#include <QComboBox>
#include <QStringList>

class QStringListModel;

// An editable combo box over a history: while the user types, a drop-down offers every earlier
// item that contains the typed text in any letter case (never the typed text itself); when the
// user opens the list it shows them all, as stored. Items are added to the history only; the list
// shows them the next time it is opened.
class CComboBox2 : public QComboBox {
    Q_OBJECT
public:
    explicit CComboBox2(QWidget* parent = nullptr);

    void AddItem(const QString& text);
    const QStringList& Items() const { return m_arrItems; }

    void showPopup() override;

Q_SIGNALS:
    // Enter in the field, once for each press.
    void Entered();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The history the drop-down may offer for this text: all of it but the text itself.
    void OfferFor(const QString& typed);
    // A click that closes the drop-down goes on to what was clicked.
    bool PassClickOn(QEvent* event);

    QStringList m_arrItems;
    QStringListModel* m_matches;
};
