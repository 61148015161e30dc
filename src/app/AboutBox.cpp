#include "app/AboutBox.h"

#include "app/AppIcon.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>

using namespace Qt::StringLiterals;

CAboutBox::CAboutBox(QWidget* parent) : QDialog(parent)
{
    setObjectName(u"100"_s);
    setWindowTitle(u"关于"_s);
    auto* icon = new QLabel(this);
    icon->setPixmap(AppIcon().pixmap(64, 64));
    auto* version = new QLabel(u"版本号：13.10.21.01"_s, this);
    version->setObjectName(u"1014"_s);
    auto* about = new QLabel(u"Talvoria 相册批量下载工具\n获取相册列表，选中相册，一键下载全部图片。"_s, this);
    about->setObjectName(u"1015"_s);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(version, 0, 1);
    layout->addWidget(about, 1, 1);
    layout->addWidget(buttons, 2, 0, 1, 2);
}
