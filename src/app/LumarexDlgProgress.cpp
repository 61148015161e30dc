// The download's progress in the window: two bars beside the status texts, the run's summary,
// and a word to the user when a long run ends behind other windows.
#include "app/LumarexDlg.h"

#include "app/AlbumStatus.h"
#include "app/AlbumView.h"
#include "app/ElidedLabel.h"
#include "core/FrontEnd.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {
// A run shorter than this ends while the user is still looking.
constexpr qint64 kAttentionAfterMs = 5000;
constexpr int kNotificationMs = 10000;
// The albums and the picture failures listed in the summary's tip; the rest are counted.
constexpr int kAlbumsShown = 10;
constexpr int kFailuresShown = 20;

void SetCounts(QProgressBar* bar, int done, int total)
{
    bar->setRange(0, std::max(total, 0));
    bar->setValue(std::clamp(done, 0, std::max(total, 0)));
}

// The picture bar moves by the bytes of the pictures on their way; its text counts the finished.
void SetPictureBar(QProgressBar* bar, const RunProgress& progress)
{
    SetCounts(bar, progress.pictureHundredths, progress.pictures * 100);
    bar->setFormat(u"图片 %1/%2"_s.arg(progress.picturesDone).arg(progress.pictures));
}

// The run's share done, in percent: whole albums and the part of the current one.
int RunPercent(const RunProgress& progress)
{
    if (progress.albums <= 0) return 0;
    const double album = progress.pictures > 0 ? double(progress.pictureHundredths) / (progress.pictures * 100) : 0;
    return std::clamp(int((progress.album - 1 + album) * 100 / progress.albums), 0, 100);
}
} // namespace

void CLumarexDlg::ShowProgress(bool running)
{
    // Hidden bars keep the run's last counts; a new run starts them afresh.
    for (QProgressBar* bar : {m_albumProgress, m_pictureProgress}) {
        if (running) SetCounts(bar, 0, 0);
        bar->setVisible(running);
    }
    m_speed->SetFullText(QString());
    m_speed->setVisible(running);
    setWindowTitle(u"Talvoria"_s);
    if (running) m_runClock.start();
}

void CLumarexDlg::ApplyProgress(const RunProgress& progress)
{
    const bool bars = m_pictureProgress->isVisible();
    if (progress.Listing()) {
        m_view->Statuses().AlbumStarted(progress.album);
        ApplyStatusText(StatusLine::Phase, AlbumPhaseText(progress));
        ApplyStatusText(StatusLine::Counts, u"......"_s);
        if (!bars) return;
        SetCounts(m_albumProgress, progress.album - 1, progress.albums);
        SetCounts(m_pictureProgress, 0, 0); // busy while the album's pictures are listed
        return;
    }
    ApplyStatusText(StatusLine::Counts, PictureCountText(progress));
    if (!bars) return;
    SetPictureBar(m_pictureProgress, progress);
    m_speed->SetFullText(SpeedText(progress));
    setWindowTitle(u"%1% - Talvoria"_s.arg(RunPercent(progress)));
}

void CLumarexDlg::ApplyAlbumFinished(const DownSummary& album)
{
    m_view->Statuses().AlbumEnded(album);
    if (!m_albumProgress->isVisible()) return;
    m_albumProgress->setValue(std::min(m_albumProgress->value() + 1, m_albumProgress->maximum()));
}

void CLumarexDlg::ApplyRunFinished(const DownSummary& run)
{
    m_view->Statuses().EndRun(run.stopped);
    UpdateRetryButton();
    QString summary = DownSummaryText(run);
    const QString incomplete = IncompleteAlbumsText(run);
    if (!incomplete.isEmpty()) summary += u"；"_s + incomplete;
    m_counts->SetFullText(summary);
    // What failed and why, then the whole line, which a narrow window may cut.
    QStringList tip;
    if (!incomplete.isEmpty()) tip << TipLines(run.failedAlbums + run.shortAlbums, kAlbumsShown, u"个图集"_s);
    if (!run.failures.isEmpty()) tip << TipLines(run.failures, kFailuresShown, u"张"_s);
    tip << summary;
    m_counts->setToolTip(tip.join(u'\n'));
    const bool longRun = m_runClock.isValid() && m_runClock.elapsed() >= kAttentionAfterMs;
    m_runClock.invalidate();
    if (longRun && !isActiveWindow()) AskForAttention(summary);
}

void CLumarexDlg::UpdateRetryButton()
{
    m_retryFailed->setEnabled(CanRetryFailed());
    m_retryFailed->setVisible(m_retryFailed->isEnabled());
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
