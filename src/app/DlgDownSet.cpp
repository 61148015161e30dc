#include "app/DlgDownSet.h"

#include "app/DialogKit.h"
#include "core/SettingsRules.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

CDlgDownSet::CDlgDownSet(ST_DOWNPARAM& param, const QString& service, QWidget* parent)
    : QDialog(parent), m_pParam(&param)
{
    setObjectName(u"131"_s);
    setWindowTitle(u"设置"_s);
    auto* group = new QGroupBox(u"下载参数设置（%1）"_s.arg(service), this);
    auto* form = new QFormLayout(group);
    m_threads = DialogKit::AddNumberRow(form, u"1002"_s, u"线程数(1~15)："_s, param.nThreads);
    m_timeout = DialogKit::AddNumberRow(form, u"1003"_s, u"超时(S, >=10)："_s, param.nTimeout);
    m_minKB = DialogKit::AddNumberRow(form, u"1000"_s, u"图片最小值(K)："_s, param.nMinKB);
    m_maxKB = DialogKit::AddNumberRow(form, u"1001"_s, u"图片最大值(K)："_s, param.nMaxKB);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(DialogKit::OkButton(this, [this] { OnOk(); }), 0, Qt::AlignHCenter);
}

void CDlgDownSet::OnOk()
{
    // A box that holds no number reads as -1, which no field takes.
    const auto number = [](const QLineEdit* edit) {
        bool isNumber = false;
        const int value = edit->text().trimmed().toInt(&isNumber);
        return isNumber ? value : -1;
    };
    const int values[] = {number(m_threads), number(m_timeout), number(m_minKB), number(m_maxKB)};
    if (const auto fault = CheckDownParam(values[0], values[1], values[2], values[3])) {
        const QString fields[] = {u"线程数"_s, u"超时(S)"_s, u"图片最小值(K)"_s, u"图片最大值(K)"_s};
        QMessageBox::warning(this, u"下载参数设置"_s,
                             u"参数错误：%1 应为 %2"_s.arg(fields[int(fault->field)], fault->range));
        return;
    }
    StoreDownParam(*m_pParam, values[0], values[1], values[2], values[3]);
    accept();
}
