#pragma once

#include <QString>
#include <QStringList>

// What one album's pool, or a whole download run, did with the pictures listed. A picture
// counts as saved only once its file was written whole; one whose file already existed is
// skipped; pictures not tried (after a stop) are in none of the three.
struct DownSummary {
    int seconds = 0;
    int total = 0;
    int saved = 0;
    int failed = 0;
    int skipped = 0;
    bool stopped = false;
    QStringList failures; // "file name: reason", in list order

    bool AllSaved() const { return saved + skipped == total; }
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

    bool Listing() const { return pictures < 0; }
};

// "正在下载第%d/%d个图集": the phase line while an album of a run is listed and downloaded.
QString AlbumPhaseText(const RunProgress& progress);
// "已下载%d/%d......", with a host's pause in brackets: the count line while pictures arrive.
QString PictureCountText(const RunProgress& progress);
// "已保存%d张，失败%d张，跳过%d张，用时%d秒": what a pool or a run did.
QString DownSummaryText(const DownSummary& summary);
// The message shown when no album is ticked.
QString NoAlbumSelectedMessage();
