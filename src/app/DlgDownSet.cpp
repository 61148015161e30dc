#include "app/DlgDownSet.h"

#include "app/DialogKit.h"
#include "core/SettingsRules.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

CDlgDownSet::CDlgDownSet(ST_DOWNPARAM& param, ServiceExtras& extras, const QString& service, QWidget* parent)
    : QDialog(parent), m_pParam(&param), m_pExtras(&extras)
{
    setObjectName(u"131"_s);
    setWindowTitle(u"设置"_s);
    auto* group = new QGroupBox(u"下载参数设置（%1）"_s.arg(service), this);
    auto* form = new QFormLayout(group);
    m_threads = DialogKit::AddNumberRow(form, u"1002"_s, u"线程数(1~15)："_s, param.nThreads);
    m_timeout = DialogKit::AddNumberRow(form, u"1003"_s, u"超时(S, >=10)："_s, param.nTimeout);
    m_minKB = DialogKit::AddNumberRow(form, u"1000"_s, u"图片最小值(K)："_s, param.nMinKB);
    m_maxKB = DialogKit::AddNumberRow(form, u"1001"_s, u"图片最大值(K)："_s, param.nMaxKB);
    auto* restraint = new QGroupBox(u"对网站的克制"_s, this);
    auto* polite = new QFormLayout(restraint);
    m_sleepRequest = DialogKit::AddTextRow(polite, u"sleepRequest"_s, u"同一主机请求间隔(秒)："_s,
                                           QString::number(extras.sleepRequestMs / 1000.0));
    m_maxPerHost = DialogKit::AddNumberRow(polite, u"maxPerHost"_s, u"每个主机的连接数(0=线程数)："_s, extras.maxPerHost);
    // Rounded up: a cap below a kilobyte a second stays a cap when the dialog is saved.
    m_limitKB = DialogKit::AddTextRow(polite, u"limitRate"_s, u"总限速(KB/s, 0=不限)："_s,
                                      QString::number((extras.limitRate + 1023) / 1024));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(restraint);
    m_keepServerTimes = new QCheckBox(u"图片的修改时间取自服务器（Last-Modified）"_s, this);
    m_keepServerTimes->setObjectName(u"keepServerTimes"_s);
    m_keepServerTimes->setChecked(extras.keepServerTimes);
    layout->addWidget(m_keepServerTimes);
    m_writeMetadata = new QCheckBox(u"写入图集信息文件 album.json（地址、描述、大小、时间、结果）"_s, this);
    m_writeMetadata->setObjectName(u"writeMetadata"_s);
    m_writeMetadata->setChecked(extras.writeMetadata);
    layout->addWidget(m_writeMetadata);
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
    ServiceExtras extras;
    if (!ReadExtras(extras)) return;
    StoreDownParam(*m_pParam, values[0], values[1], values[2], values[3]);
    *m_pExtras = extras;
    accept();
}

bool CDlgDownSet::ReadExtras(ServiceExtras& extras)
{
    const auto refuse = [this](const QString& field, const QString& range) {
        QMessageBox::warning(this, u"下载参数设置"_s, u"参数错误：%1 应为 %2"_s.arg(field, range));
        return false;
    };
    bool ok = false;
    const double seconds = m_sleepRequest->text().trimmed().toDouble(&ok);
    if (!ok || !(seconds >= 0) || seconds * 1000 > ServiceExtras::kMaxSleepRequestMs)
        return refuse(u"请求间隔(秒)"_s, u"0~3600"_s);
    const int perHost = m_maxPerHost->text().trimmed().toInt(&ok);
    if (!ok || perHost < 0 || perHost > ServiceExtras::kMaxPerHost) return refuse(u"每个主机的连接数"_s, u"0~15"_s);
    const qint64 kilobytes = m_limitKB->text().trimmed().toLongLong(&ok);
    if (!ok || kilobytes < 0 || kilobytes > qint64(1) << 30) return refuse(u"总限速(KB/s)"_s, u"0~1073741824"_s);
    extras.sleepRequestMs = int(seconds * 1000 + 0.5);
    extras.maxPerHost = perHost;
    extras.limitRate = kilobytes * 1024;
    extras.keepServerTimes = m_keepServerTimes->isChecked();
    extras.writeMetadata = m_writeMetadata->isChecked();
    return true;
}
