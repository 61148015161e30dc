#include "core/RunProgress.h"

using namespace Qt::StringLiterals;

void DownSummary::Add(const DownSummary& album)
{
    seconds += album.seconds;
    total += album.total;
    saved += album.saved;
    failed += album.failed;
    skipped += album.skipped;
    stopped = stopped || album.stopped;
    failures += album.failures;
}

QString AlbumPhaseText(const RunProgress& progress)
{
    return u"正在下载第%1/%2个图集"_s.arg(progress.album).arg(progress.albums);
}

QString PictureCountText(const RunProgress& progress)
{
    QString text = u"已下载%1/%2......"_s.arg(progress.picturesDone).arg(progress.pictures);
    if (!progress.pauseNote.isEmpty()) text += u"（"_s + progress.pauseNote + u"）"_s;
    return text;
}

QString DownSummaryText(const DownSummary& summary)
{
    return u"已保存%1张，失败%2张，跳过%3张，用时%4秒"_s.arg(summary.saved)
        .arg(summary.failed)
        .arg(summary.skipped)
        .arg(summary.seconds);
}

QString NoAlbumSelectedMessage()
{
    return u"请先在相册列表中勾选要下载的相册"_s;
}
