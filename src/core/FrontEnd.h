#pragma once

#include "core/RunProgress.h"

#include <QString>
#include <QStringList>

// The texts the core sets: the phase on the left, counts on the right, and the title of the
// album frame.
enum class StatusLine { Counts, Phase, AlbumFrame };

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
    virtual void SetStatusText(StatusLine line, const QString& text) = 0;
    // Where a download run stands: when an album starts listing and as its pictures finish. The
    // phase and count texts of a download are drawn from these numbers (AlbumPhaseText,
    // PictureCountText).
    virtual void Progress(const RunProgress& progress) = 0;
    // Switches the controls between idle and running for the two long operations.
    virtual void SetGetListUi(bool running) = 0;
    virtual void SetDownloadUi(bool running) = 0;
    // A listing is about to clear the album list: stop drawing albums (and any view conversion)
    // and empty the view; the records are cleared when this returns.
    virtual void ResetAlbumView() = 0;
    virtual void AlbumAdded(int index) = 0;
    // One album's pool has ended; folder is where its pictures went.
    virtual void DownloadFinished(const DownSummary& album, const QString& folder) = 0;
    // The whole download run has ended (after the idle switch): every album's pool added up.
    virtual void RunFinished(const DownSummary& run) = 0;
    virtual void OpenFolder(const QString& path) = 0;
};
