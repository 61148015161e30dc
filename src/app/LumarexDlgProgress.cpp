// The download's progress in the window: two bars beside the status texts, the run's summary,
// and a word to the user when a long run ends behind other windows.
#include "app/LumarexDlg.h"

#include "core/FrontEnd.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QSystemTrayIcon>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {
// A run shorter than this ends while the user is still looking.
constexpr qint64 kAttentionAfterMs = 5000;
constexpr int kNotificationMs = 10000;
// The failures listed in the summary's tip; the rest are counted.
constexpr int kFailuresShown = 20;

void SetCounts(QProgressBar* bar, int done, int total)
{
    bar->setRange(0, std::max(total, 0));
    bar->setValue(std::clamp(done, 0, std::max(total, 0)));
}
} // namespace

void CLumarexDlg::ShowProgress(bool running)
{
    // Hidden bars keep the run's last counts; a new run starts them afresh.
    for (QProgressBar* bar : {m_albumProgress, m_pictureProgress}) {
        if (running) SetCounts(bar, 0, 0);
        bar->setVisible(running);
    }
    if (running) m_runClock.start();
}

void CLumarexDlg::ApplyProgress(const RunProgress& progress)
{
    const bool bars = m_pictureProgress->isVisible();
    if (progress.Listing()) {
        ApplyStatusText(StatusLine::Phase, AlbumPhaseText(progress));
        ApplyStatusText(StatusLine::Counts, u"......"_s);
        if (!bars) return;
        SetCounts(m_albumProgress, progress.album - 1, progress.albums);
        SetCounts(m_pictureProgress, 0, 0); // busy while the album's pictures are listed
        return;
    }
    ApplyStatusText(StatusLine::Counts, PictureCountText(progress));
    if (bars) SetCounts(m_pictureProgress, progress.picturesDone, progress.pictures);
}

void CLumarexDlg::ApplyAlbumFinished()
{
    if (!m_albumProgress->isVisible()) return;
    m_albumProgress->setValue(std::min(m_albumProgress->value() + 1, m_albumProgress->maximum()));
}

void CLumarexDlg::ApplyRunFinished(const QString& summary, const QStringList& failures)
{
    m_counts->setText(summary);
    QString tip;
    for (qsizetype i = 0; i < std::min<qsizetype>(failures.size(), kFailuresShown); ++i)
        tip += (i > 0 ? u"\n"_s : QString()) + failures[i];
    if (failures.size() > kFailuresShown) tip += u"\n……另有%1张"_s.arg(failures.size() - kFailuresShown);
    m_counts->setToolTip(tip);
    const bool longRun = m_runClock.isValid() && m_runClock.elapsed() >= kAttentionAfterMs;
    m_runClock.invalidate();
    if (longRun && !isActiveWindow()) AskForAttention(summary);
}

void CLumarexDlg::AskForAttention(const QString& summary)
{
    ++m_attentionRequests;
    QApplication::alert(this);
    // Desktops without a tray get the taskbar's sign only.
    if (!QSystemTrayIcon::isSystemTrayAvailable()) return;
    if (!m_tray) {
        m_tray = new QSystemTrayIcon(windowIcon(), this);
        connect(m_tray, &QSystemTrayIcon::messageClicked, this, [this] {
            showNormal();
            raise();
            activateWindow();
        });
    }
    m_tray->show();
    m_tray->showMessage(u"下载完毕"_s, summary, QSystemTrayIcon::Information, kNotificationMs);
    QTimer::singleShot(kNotificationMs, m_tray, &QSystemTrayIcon::hide);
}
