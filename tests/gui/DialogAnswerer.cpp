#include "DialogAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>

DialogAnswerer::DialogAnswerer()
{
    m_timer.setInterval(20);
    connect(&m_timer, &QTimer::timeout, this, &DialogAnswerer::Poll);
    m_timer.start();
}

void DialogAnswerer::Poll()
{
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog || !dialog->isVisible() || dialog == m_last) return;
    // Each dialog is handled once; one that stays open (a refused value) waits for the next step.
    m_last = dialog;
    connect(dialog, &QObject::destroyed, this, [this] { m_last = nullptr; });
    connect(dialog, &QDialog::finished, this, [this] { m_last = nullptr; });
    ++m_dialogsSeen;
    // Acted on outside this timer's slot, so that a dialog the action opens is seen in turn.
    if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
        QTimer::singleShot(0, box, [this, box] { Answer(*box); });
        return;
    }
    std::function<void(QDialog&)> handler = [](QDialog& unexpected) { unexpected.reject(); };
    if (!m_handlers.empty()) {
        handler = std::move(m_handlers.front());
        m_handlers.pop_front();
    }
    QTimer::singleShot(0, dialog, [dialog, handler] { handler(*dialog); });
}

void DialogAnswerer::Answer(QMessageBox& box)
{
    m_texts << box.text();
    if (m_messageHook) m_messageHook(box);
    QMessageBox::StandardButton answer = box.button(QMessageBox::No) ? QMessageBox::No : QMessageBox::Ok;
    if (!m_answers.empty()) {
        answer = m_answers.front();
        m_answers.pop_front();
    }
    if (QAbstractButton* button = box.button(answer)) button->click();
}
