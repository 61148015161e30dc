#pragma once

#include <QString>
#include <QStringList>

#include <vector>

class CAlbumGridModel;
struct DownSummary;

// Where an album stands after the download runs since its listing, as the grid's 状态 cell says.
struct AlbumStatus {
    enum Kind { None, Waiting, Busy, Done, PicturesFailed, ListingFailed, Short, Stopped };
    Kind kind = None;
    int count = 0; // the pictures that failed or are missing
    QString tip;   // why, where the cell's word is not the whole story

    QString Text() const;
    // Another run may bring the rest: pictures failed, the listing failed, the album came up short
    // or a stop left pictures untried.
    bool WantsRetry() const;
};

// What an album's ended pool came to.
AlbumStatus StatusOf(const DownSummary& album);

// Tool-tip lines: the first shown of them, then how many more (counted in unit) there are.
QString TipLines(const QStringList& lines, int shown, const QString& unit);

// The 状态 column through the download runs of one listing: every album of a run from the grid
// waits, is busy while it is listed and downloaded, then shows what it came to. GUI thread only.
class CAlbumStatuses {
public:
    explicit CAlbumStatuses(CAlbumGridModel& model) : m_model(model) {}

    // A new listing: the statuses and the last run are forgotten.
    void Clear();
    // A download run of these albums, in run order. A run of no albums is one the grid did not
    // start (an import replaces the albums the statuses are about), which forgets them too.
    void BeginRun(std::vector<int> albums);
    // The run's album at this 1-based position is being listed.
    void AlbumStarted(int position);
    void AlbumEnded(const DownSummary& album);
    // The run has ended; albums it never finished were left by a stop (or only listed to a file).
    void EndRun(bool stopped);
    // The albums of the last run worth running again, in run order.
    std::vector<int> AlbumsToRetry() const;

private:
    bool InRun(int album) const;

    CAlbumGridModel& m_model;
    std::vector<int> m_run;
};
