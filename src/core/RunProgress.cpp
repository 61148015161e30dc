#include "core/RunProgress.h"

using namespace Qt::StringLiterals;

void DownSummary::Add(const DownSummary& album)
{
    seconds += album.seconds;
    total += album.total;
    saved += album.saved;
    failed += album.failed;
    skipped += album.skipped;
    notTried += album.notTried;
    declared = declared < 0 || album.declared < 0 ? -1 : declared + album.declared;
    stopped = stopped || album.stopped;
    failures += album.failures;
    if (album.Failed())
        failedAlbums << album.name + u"："_s + (album.listingError.isEmpty() ? u"失败%1张"_s.arg(album.failed)
                                                                             : album.listingError);
    else if (album.Missing() > 0)
        shortAlbums << album.name + u"："_s + ShortAlbumText(album);
}

QString AlbumPhaseText(const RunProgress& progress)
{
    return u"正在下载第%1/%2个图集"_s.arg(progress.album).arg(progress.albums);
}

QString SpeedText(const RunProgress& progress)
{
    QStringList parts;
    if (progress.bytesPerSecond >= 0) {
        const double rate = double(progress.bytesPerSecond);
        parts << (rate >= 1024 * 1024 ? u"%1 MB/s"_s.arg(rate / (1024 * 1024), 0, 'f', 1)
                                      : u"%1 KB/s"_s.arg(rate / 1024, 0, 'f', 0));
    }
    if (progress.secondsLeft >= 0) {
        const int seconds = progress.secondsLeft;
        const QString left = seconds >= 3600 ? u"%1:%2:%3"_s.arg(seconds / 3600)
                                                   .arg(seconds / 60 % 60, 2, 10, QChar(u'0'))
                                                   .arg(seconds % 60, 2, 10, QChar(u'0'))
                                             : u"%1:%2"_s.arg(seconds / 60).arg(seconds % 60, 2, 10, QChar(u'0'));
        parts << u"剩余 "_s + left;
    }
    return parts.join(u"，"_s);
}

QString PictureCountText(const RunProgress& progress)
{
    QString text = u"已下载%1/%2......"_s.arg(progress.picturesDone).arg(progress.pictures);
    if (!progress.pauseNote.isEmpty()) text += u"（"_s + progress.pauseNote + u"）"_s;
    return text;
}

QString DownSummaryText(const DownSummary& summary)
{
    const QString notTried = summary.notTried > 0 ? u"未尝试%1张，"_s.arg(summary.notTried) : QString();
    return u"已保存%1张，失败%2张，跳过%3张，%4用时%5秒"_s.arg(summary.saved)
        .arg(summary.failed)
        .arg(summary.skipped)
        .arg(notTried)
        .arg(summary.seconds);
}

QString AlbumSummaryText(const DownSummary& album)
{
    const QString shown = album.declared >= 0 ? u"显示%1张，"_s.arg(album.declared) : QString();
    QString text = u"%1：%2列出%3张，"_s.arg(album.name, shown).arg(album.total) + DownSummaryText(album);
    if (!album.listingError.isEmpty()) text += u"；"_s + album.listingError;
    else if (album.Missing() > 0) text += u"；"_s + ShortAlbumText(album);
    return text;
}

QString IncompleteAlbumsText(const DownSummary& run)
{
    const qsizetype count = run.failedAlbums.size() + run.shortAlbums.size();
    return count > 0 ? u"%1个图集未能完整下载"_s.arg(count) : QString();
}

QString ShortAlbumText(const DownSummary& album)
{
    return u"相册显示%1张，获取到%2张"_s.arg(album.declared).arg(album.total);
}

QString NoAlbumSelectedMessage()
{
    return u"请先在相册列表中选中要下载的相册"_s;
}
