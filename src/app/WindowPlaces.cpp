#include "app/WindowPlaces.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace {
constexpr int kSaveDelayMs = 500;
} // namespace

CWindowPlaces::CWindowPlaces(QWidget& window, const QString& appDir)
    : QObject(&window), m_window(window), m_settings(appDir)
{
    m_saveTimer.setSingleShot(true);
    m_saveTimer.setInterval(kSaveDelayMs);
    connect(&m_saveTimer, &QTimer::timeout, this,
            [this] { m_settings.SetWindowGeometry(m_window.saveGeometry()); });
    m_window.installEventFilter(this);
}

void CWindowPlaces::Restore(const QSize& firstSize)
{
    if (!m_window.restoreGeometry(m_settings.WindowGeometry())) m_window.resize(firstSize);
    FitToScreen();
}

void CWindowPlaces::FitToScreen()
{
    QScreen* screen = m_window.screen() ? m_window.screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    // The frame the window manager adds is known only once the window has been shown.
    const QSize frame = m_window.frameGeometry().size() - m_window.size();
    const QSize room = (area.size() - frame).expandedTo(QSize(1, 1));
    m_window.resize(m_window.size().boundedTo(room));
    const QRect outer = m_window.frameGeometry();
    const int x = std::clamp(outer.x(), area.left(), std::max(area.left(), area.right() + 1 - outer.width()));
    const int y = std::clamp(outer.y(), area.top(), std::max(area.top(), area.bottom() + 1 - outer.height()));
    m_window.move(x, y);
}

bool CWindowPlaces::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_window && (event->type() == QEvent::Move || event->type() == QEvent::Resize) &&
        m_window.isVisible())
        m_saveTimer.start();
    return QObject::eventFilter(watched, event);
}
