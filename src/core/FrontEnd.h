#pragma once

#include <QString>
#include <QStringList>

// The texts the core sets: the phase on the left, counts and progress on the right, and the
// title of the album frame.
enum StatusCtrl : int {
    STATUS_COUNTS = 1006,
    STATUS_PHASE = 1009,
    STATUS_ALBUM_FRAME = 1011,
};

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
    void Add(const DownSummary& album)
    {
        seconds += album.seconds;
        total += album.total;
        saved += album.saved;
        failed += album.failed;
        skipped += album.skipped;
        stopped = stopped || album.stopped;
        failures += album.failures;
    }
};

// How the core reaches whoever shows it: the window or the command line. The core calls these
// from its worker threads; an implementation marshals them to its own thread as it needs.
// Calls that return an answer block the calling worker until the user has answered.
class IFrontEnd {
public:
    virtual ~IFrontEnd() = default;

    virtual void ShowMessage(const QString& text) = 0;
    virtual bool AskYesNo(const QString& text) = 0;
    // Shows the login browser on the address and returns when the user has closed it.
    virtual void OpenLoginPage(const QString& url) = 0;
    virtual void SetStatusText(StatusCtrl ctrl, const QString& text) = 0;
    // Switches the controls between idle and running for the two long operations.
    virtual void SetGetListUi(bool running) = 0;
    virtual void SetDownloadUi(bool running) = 0;
    // A listing is about to clear the album list: stop drawing albums (and any view conversion)
    // and empty the view; the records are cleared when this returns.
    virtual void ResetAlbumView() = 0;
    virtual void AlbumAdded(int index) = 0;
    // One album's pool has ended.
    virtual void DownloadFinished(const DownSummary& album) = 0;
    // The whole download run has ended (after the idle switch): every album's pool added up.
    virtual void RunFinished(const DownSummary& run) = 0;
    virtual void OpenFolder(const QString& path) = 0;
    // The current text of the address box (some services want it as the referring page).
    virtual QString AddressText() = 0;
};
