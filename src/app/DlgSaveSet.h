#pragma once

#include "core/SoftData.h"

#include <QDialog>

class QButtonGroup;
class QLineEdit;

// "文件名设置": how one service names picture files and album folders. "确 定" copies the texts
// (38 characters each at most) and the two choices into the block; any other way of closing
// leaves it as it was.
class CDlgSaveSet : public QDialog {
    Q_OBJECT
public:
    // service: the family whose settings these are, named in the dialog.
    CDlgSaveSet(ST_NAMESET& nameSet, const QString& service, QWidget* parent = nullptr);

    // The button "确 定".
    void OnOk();

private:
    QWidget* MakeFileGroup();
    QWidget* MakeFolderGroup();

    ST_NAMESET* m_pNameSet;
    int m_nNameChoice;
    int m_nDirChoice;
    QLineEdit* m_prefix = nullptr;
    QLineEdit* m_suffix = nullptr;
    QLineEdit* m_replaceFrom = nullptr;
    QLineEdit* m_replaceTo = nullptr;
    QLineEdit* m_dirPrefix = nullptr;
    QLineEdit* m_dirSuffix = nullptr;
    QButtonGroup* m_nameChoices = nullptr;
    QButtonGroup* m_dirChoices = nullptr;
};
