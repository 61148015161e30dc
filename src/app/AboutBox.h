#pragma once

#include <QDialog>

// The about box: the program's icon, version and a line on what it does.
class CAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit CAboutBox(QWidget* parent = nullptr);
};
