#pragma once

#include "DialogAnswerer.h"
#include "app/LumarexDlg.h"
#include "support/FakeServiceTest.h"
#include "support/TempFolder.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QPushButton;

// The real main window against the fake QQ Zone: an application folder and a save folder of its
// own, the window started and ready, and a user answering its dialogs.
class WindowTest : public FakeServiceTest {
protected:
    WindowTest();
    ~WindowTest() override;

    // Creates and starts the window and waits until it is ready.
    void StartWindow();
    // Serves a QQ Zone album list of these names (covers at /psb?/V10a<i>/cover.jpg).
    void ServeAlbums(const QStringList& names);
    // Every cover answers with a small picture, after delayMs.
    void ServeCovers(int delayMs = 0);
    // The three pictures stop after their first bytes for three seconds, so that a download is
    // still running when it is looked at or stopped.
    void ServeSlowPictures();

    template <class Widget> Widget* Control(const QString& id) const { return window->findChild<Widget*>(id); }
    QString Text(const QString& id) const; // of a label, button, group box or combo
    void Click(const QString& id);
    void TypeAddress(const QString& text);
    // Presses get-albums with the address and waits until the listing has ended.
    void GetAlbums(const QString& address = QStringLiteral("12345678"));
    // Ticks every album, presses download and waits until the first album's pictures are coming.
    void DownloadAllUntilPicturesCome();
    bool WaitFor(const std::function<bool()>& done, int timeoutMs = 15000);
    QByteArray SoftDataBytes() const;

    TempFolder appDir;
    TempFolder saveDir;
    DialogAnswerer answerer;
    std::unique_ptr<CLumarexDlg> window;
};

// A picture the thumbnail code can decode: a JPEG of a single colour.
QByteArray CoverJpeg(int seed);
