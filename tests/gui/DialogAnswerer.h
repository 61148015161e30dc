#pragma once

#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>

class QDialog;

// Plays the user in front of modal dialogs: message boxes are answered from a script (No, else
// OK, once the script is used up) and their texts recorded; other dialogs go to the handlers
// queued for them, in order, and are cancelled when none is left.
class DialogAnswerer : public QObject {
    Q_OBJECT
public:
    DialogAnswerer();

    void QueueAnswer(QMessageBox::StandardButton button) { m_answers.push_back(button); }
    void QueueDialogHandler(std::function<void(QDialog&)> handler) { m_handlers.push_back(std::move(handler)); }
    // Runs when a message box appears, before it is answered.
    void OnMessageBox(std::function<void(QMessageBox&)> hook) { m_messageHook = std::move(hook); }

    const QStringList& Texts() const { return m_texts; }
    int DialogsSeen() const { return m_dialogsSeen; }

private:
    void Poll();
    void Answer(QMessageBox& box);

    QTimer m_timer;
    std::deque<QMessageBox::StandardButton> m_answers;
    std::deque<std::function<void(QDialog&)>> m_handlers;
    std::function<void(QMessageBox&)> m_messageHook;
    QStringList m_texts;
    int m_dialogsSeen = 0;
    QObject* m_last = nullptr;
};
