#include "app/DlgDownSet.h"

#include "app/DialogKit.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

CDlgDownSet::CDlgDownSet(ST_DOWNPARAM& param, QWidget* parent) : QDialog(parent), m_pParam(&param)
{
    setObjectName(u"131"_s);
    setWindowTitle(u"设置"_s);
    auto* group = new QGroupBox(u"下载参数设置"_s, this);
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
    ST_DOWNPARAM edited = *m_pParam;
    if (!StoreDownParam(edited, m_threads->text().toInt(), m_timeout->text().toInt(), m_minKB->text().toInt(),
                        m_maxKB->text().toInt())) {
        QMessageBox::warning(this, u"设置"_s, u"参数错误"_s);
        return;
    }
    *m_pParam = edited;
    accept();
}
