#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

// What one album of a download run, or the whole run, came to. Of the pictures listed (total)
// each is saved (its file written whole), failed, skipped (its file was there already) or not
// tried (a stop came first, or cut its transfer): total = saved + failed + skipped + notTried.
struct DownSummary {
    int seconds = 0;
    int total = 0; // listed
    int saved = 0;
    int failed = 0;
    int skipped = 0;
    int notTried = 0;
    // The count the album list showed; -1 where the service gives none (for a run: where an
    // album's was unknown).
    int declared = 0;
    bool stopped = false;
    QStringList failures; // "file name: reason", in list order

    // Of one album: its index in the album list and its name, and why its listing failed (a
    // request, or its folder that cannot be made; empty when it did not).
    int album = -1;
    QString name;
    QString listingError;
    // Of a run: the albums that failed ("name：cause") and that came up short.
    QStringList failedAlbums;
    QStringList shortAlbums;

    bool AllSaved() const { return saved + skipped == total; }
    // Of a run: every picture of every album is on disk (albums only short do not count).
    bool Complete() const { return AllSaved() && failedAlbums.isEmpty(); }
    // An album whose listing failed or one of whose pictures failed.
    bool Failed() const { return !listingError.isEmpty() || failed > 0; }
    // Fewer pictures listed than the album list showed, and none failed: the service's count
    // may be wrong, so this alone fails nothing.
    int Missing() const { return declared > total && !Failed() && !stopped ? declared - total : 0; }
    void Add(const DownSummary& album);
};

// Where a download run stands, as numbers.
struct RunProgress {
    int album = 0;        // 1-based number of the album in the run
    int albums = 0;       // albums in the run
    int picturesDone = 0; // pictures of this album finished: saved, failed or skipped
    int pictures = -1;    // pictures listed for this album; -1 while it is being listed
    int saved = 0;        // so far in the run, this album included
    int failed = 0;
    int skipped = 0;
    QString pauseNote; // a host's pause counting down, or empty
    // This album's pictures in hundredths: the finished ones whole, those on their way by the
    // part of their bytes received; lets a bar move while large pictures arrive.
    int pictureHundredths = 0;
    std::int64_t bytesPerSecond = -1; // the run's speed over the last seconds; -1 while unknown
    int secondsLeft = -1;             // this album's remaining time, estimated; -1 while unknown

    bool Listing() const { return pictures < 0; }
};

// "正在下载第%d/%d个图集": the phase line while an album of a run is listed and downloaded.
QString AlbumPhaseText(const RunProgress& progress);
// "1.2 MB/s，剩余 0:35": the speed and the time left, each left out while unknown.
QString SpeedText(const RunProgress& progress);
// "已下载%d/%d......", with a host's pause in brackets: the count line while pictures arrive.
QString PictureCountText(const RunProgress& progress);
// "已保存%d张，失败%d张，跳过%d张，用时%d秒", with "未尝试%d张" after a stop: what an album or a
// run did with its pictures.
QString DownSummaryText(const DownSummary& summary);
// One album's line: its name, the count shown and listed, then DownSummaryText and the cause of
// a failed listing.
QString AlbumSummaryText(const DownSummary& album);
// The end of a run, when albums failed or came up short: "3个图集未能完整下载".
QString IncompleteAlbumsText(const DownSummary& run);
// "相册显示12张，获取到0张": an album whose listing found fewer pictures than it shows.
QString ShortAlbumText(const DownSummary& album);
// The message shown when no album is ticked.
QString NoAlbumSelectedMessage();
