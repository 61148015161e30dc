#pragma once

#include "core/SoftData.h"

#include <QDialog>

class QLineEdit;

// "下载参数设置": thread count, time-out and size limits of one service. "确 定" stores the values
// into the slot only when they are valid; any other way of closing leaves the slot as it was.
class CDlgDownSet : public QDialog {
    Q_OBJECT
public:
    // service: the family whose settings these are, named in the dialog.
    CDlgDownSet(ST_DOWNPARAM& param, const QString& service, QWidget* parent = nullptr);

    // The button "确 定".
    void OnOk();

private:
    ST_DOWNPARAM* m_pParam;
    QLineEdit* m_threads;
    QLineEdit* m_timeout;
    QLineEdit* m_minKB;
    QLineEdit* m_maxKB;
};
