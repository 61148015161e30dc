#include "app/DialogKit.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace DialogKit {

QLineEdit* AddTextRow(QFormLayout* form, const QString& id, const QString& label, const QString& text)
{
    auto* edit = new QLineEdit(text, form->parentWidget());
    edit->setObjectName(id);
    form->addRow(label, edit);
    return edit;
}

QLineEdit* AddNumberRow(QFormLayout* form, const QString& id, const QString& label, int value)
{
    return AddTextRow(form, id, label, QString::number(value));
}

QPushButton* OkButton(QWidget* dialog, const std::function<void()>& onOk)
{
    auto* button = new QPushButton(u"确 定"_s, dialog);
    button->setObjectName(u"1023"_s);
    button->setDefault(true);
    QObject::connect(button, &QPushButton::clicked, dialog, onOk);
    return button;
}

} // namespace DialogKit
