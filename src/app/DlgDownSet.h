#pragma once

#include "core/ExtraSettings.h"
#include "core/SoftData.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;

// "下载参数设置": thread count, time-out and size limits of one service, and its restraint toward
// the hosts (an interval between requests, transfers per host, a bandwidth cap). "确 定" stores
// the values only when all are valid; any other way of closing leaves them as they were.
class CDlgDownSet : public QDialog {
    Q_OBJECT
public:
    // service: the family whose settings these are, named in the dialog.
    CDlgDownSet(ST_DOWNPARAM& param, ServiceExtras& extras, const QString& service, QWidget* parent = nullptr);

    // The button "确 定".
    void OnOk();

private:
    // The restraint rows; false, with the message shown, when one holds no valid value.
    bool ReadExtras(ServiceExtras& extras);

    ST_DOWNPARAM* m_pParam;
    ServiceExtras* m_pExtras;
    QLineEdit* m_threads;
    QLineEdit* m_timeout;
    QLineEdit* m_minKB;
    QLineEdit* m_maxKB;
    QLineEdit* m_sleepRequest;
    QLineEdit* m_maxPerHost;
    QLineEdit* m_limitKB;
    QCheckBox* m_keepServerTimes;
    QCheckBox* m_writeMetadata;
};
