#pragma once

#include <QString>

// The texts the core sets: the phase on the left, counts and progress on the right, and the
// title of the album frame.
enum StatusCtrl : int {
    STATUS_COUNTS = 1006,
    STATUS_PHASE = 1009,
    STATUS_ALBUM_FRAME = 1011,
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
    // One album's pool has ended: elapsed whole seconds and the number of pictures.
    virtual void DownloadFinished(int seconds, int total) = 0;
    virtual void OpenFolder(const QString& path) = 0;
    // The current text of the address box (some services want it as the referring page).
    virtual QString AddressText() = 0;
};
