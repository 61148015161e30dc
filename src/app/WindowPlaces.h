#pragma once

#include "core/ExtraSettings.h"

#include <QObject>
#include <QTimer>

class QWidget;

// What the window keeps of its places between sessions: its size and position, and the save
// folder of the last download. A move or resize is written shortly after it settles.
class CWindowPlaces : public QObject {
public:
    CWindowPlaces(QWidget& window, const QString& appDir);

    // The size and place of the last session, or the first-start size; never larger than the
    // free area of the screen the window opens on, and never outside it.
    void Restore(const QSize& firstSize);
    // Within the screen's free area again, once the window's frame is known.
    void FitToScreen();
    QString LastSavePath() const { return m_settings.LastSavePath(); }
    void RememberSavePath(const QString& path) { m_settings.SetLastSavePath(path); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& m_window;
    CExtraSettings m_settings;
    QTimer m_saveTimer;
};
