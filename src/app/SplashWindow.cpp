#include "app/SplashWindow.h"

#include "app/AppIcon.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPropertyAnimation>
#include <QScreen>

using namespace Qt::StringLiterals;

namespace {
constexpr int kFadeMs = 200;
const QRect kTextRect(QPoint(30, 50), QPoint(291, 160));
} // namespace

CSplashWindow::CSplashWindow() : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(u"splash"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    resize(321, 190);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void CSplashWindow::FadeOut()
{
    auto* fade = new QPropertyAnimation(this, "windowOpacity", this);
    fade->setDuration(kFadeMs);
    fade->setStartValue(1.0);
    fade->setEndValue(0.0);
    connect(fade, &QPropertyAnimation::finished, this, &QWidget::close);
    fade->start();
}

void CSplashWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient background(0, 0, 0, height());
    background.setColorAt(0, QColor(0x2b, 0x6c, 0xb0));
    background.setColorAt(1, QColor(0x16, 0x3a, 0x63));
    painter.fillRect(rect(), background);
    painter.drawPixmap(width() - 74, 10, AppIcon().pixmap(64, 64));

    QFont title = font();
    title.setPointSize(title.pointSize() + 8);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(Qt::white);
    painter.drawText(QRect(30, 14, 220, 36), Qt::AlignLeft | Qt::AlignVCenter, u"Talvoria"_s);
    painter.setFont(font());
    painter.drawText(kTextRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                     u"相册批量下载工具\n\n正在启动，请稍候……"_s);
}
