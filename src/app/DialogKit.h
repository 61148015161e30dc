#pragma once

#include <QString>

#include <functional>

class QFormLayout;
class QLineEdit;
class QPushButton;
class QWidget;

// Pieces the two settings dialogs share.
namespace DialogKit {

// An edit named id with a label in front of it, showing value as a signed decimal number.
QLineEdit* AddNumberRow(QFormLayout* form, const QString& id, const QString& label, int value);
// An edit named id with a label in front of it, showing text.
QLineEdit* AddTextRow(QFormLayout* form, const QString& id, const QString& label, const QString& text);
// The button "确 定" (1023), the dialog's default button, running onOk when pressed.
QPushButton* OkButton(QWidget* dialog, const std::function<void()>& onOk);

} // namespace DialogKit
