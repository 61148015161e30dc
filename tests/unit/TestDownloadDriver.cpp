#include "download/DownloadDriver.h"
#include "download/History.h"
#include "download/HostGate.h"
#include "download/ImportList.h"
#include "run/RunController.h"
#include "support/AdapterTest.h"
#include "support/PictureHost.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <dlfcn.h>
#include <functional>
#include <pthread.h>
#include <thread>

using namespace Qt::StringLiterals;

namespace {
// While set, threads started from this thread fail as they do when the system runs out of them.
thread_local bool t_refuseThreads = false;

struct RefuseThreads {
    RefuseThreads() { t_refuseThreads = true; }
    ~RefuseThreads() { t_refuseThreads = false; }
};

// Runs once, in this thread, just before the next thread it starts.
thread_local std::function<void()> t_beforeNextThread;
} // namespace

// Stands in for the C library's thread start in this test program (std::thread comes here).
extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attr, void* (*start)(void*), void* arg) noexcept
{
    if (t_refuseThreads) return EAGAIN;
    if (t_beforeNextThread) std::exchange(t_beforeNextThread, nullptr)();
    using Create = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);
    static const auto real = reinterpret_cast<Create>(dlsym(RTLD_NEXT, "pthread_create"));
    return real(thread, attr, start, arg);
}

namespace {

class DownloadDriverTest : public AdapterTest {
protected:
    DownloadDriverTest()
    {
        core.m_nSourceKind = 0;
        {
            CListing listing = core.Listing();
            listing.m_strOwnerName = u"owner/"_s;
            core.SetListing(listing);
        }
    }
    // Albums "A", "B", ... whose photo lister lists the given picture numbers, newest first.
    void MakeAlbums(int count)
    {
        for (int i = 0; i < count; ++i) {
            ST_PERLISTRECORD album;
            album.strName = QString(QChar(u'A' + i));
            core.AddAlbumRecord(album);
        }
    }
    void ServePictures(int count, int size = 2048, int delayMs = 0)
    {
        for (int i = 1; i <= count; ++i) {
            FakeReply reply = FakeReply::Ok(FakePicture(i, size), "image/jpeg");
            if (delayMs > 0) reply.PauseAt(size / 2, delayMs);
            service.Route(kPictureHost, "/p/" + QByteArray::number(i) + ".jpg", reply);
        }
    }
    bool Run(std::vector<int> albums, std::vector<std::vector<int>> pictures)
    {
        listedAlbums.clear();
        const auto lister = [this, pictures](CPhotoListing& target, int album) {
            listedAlbums.push_back(album);
            for (int number : pictures[size_t(album)]) {
                target.AddPicture(PictureUrl(number), u"p%1"_s.arg(number), {}, album);
                if (target.Stopped()) return;
                if (duringListing) duringListing(album, target.PictureCount());
            }
        };
        core.States().BeginDownload();
        return DownloadDriver(core, core.Listing(), saveRoot.path(), albums, FillWith(lister));
    }
    // One album of the given addresses, picture i named names[i].
    bool RunAddresses(const QStringList& urls, const QStringList& names)
    {
        MakeAlbums(1);
        const auto lister = [&](CPhotoListing& target, int album) {
            for (qsizetype i = 0; i < urls.size(); ++i)
                target.AddPicture(urls[i], names[i], {}, album);
        };
        core.States().BeginDownload();
        return DownloadDriver(core, core.Listing(), saveRoot.path(), {0}, FillWith(lister));
    }
    void SetThreads(int threads)
    {
        core.EditSoft([&](ST_SOFTDATA& soft) { soft.down[0].nThreads = std::uint16_t(threads); });
    }
    std::vector<int> listedAlbums;
    // Called on the listing's thread after each picture an album's lister added.
    std::function<void(int album, int listed)> duringListing;
    // The buttons, for the presses that stop a run.
    CRunController runs{core};
};

// Answers first, once, then the picture: a host busy for a moment. Times of the requests go to
// received.
FakeHandler BusyOnce(FakeReply first, QByteArray picture,
                     std::shared_ptr<std::vector<std::chrono::steady_clock::time_point>> received)
{
    auto mutex = std::make_shared<std::mutex>();
    return [=](const FakeRequest&) {
        std::lock_guard guard(*mutex);
        received->push_back(std::chrono::steady_clock::now());
        return received->size() == 1 ? first : FakeReply::Ok(picture, "image/jpeg");
    };
}

std::vector<int> Range(int first, int last)
{
    std::vector<int> numbers;
    for (int i = first; i <= last; ++i)
        numbers.push_back(i);
    return numbers;
}
} // namespace

TEST_F(DownloadDriverTest, FewerPicturesThanThreadsStartOneTransferEach)
{
    MakeAlbums(1);
    ServePictures(3, 4096, 150);
    SetThreads(5);
    ASSERT_TRUE(Run({0}, {Range(1, 3)}));
    EXPECT_EQ(service.RequestCount(), 3);
    EXPECT_EQ(service.MaxInFlight(), 3);
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(SavedBytes(u"owner/A/p%1.jpg"_s.arg(i)), FakePicture(i, 4096));
}

TEST_F(DownloadDriverTest, WorkersKeepTheirConnectionsAndOutliveAServerThatClosesThem)
{
    MakeAlbums(2);
    ServePictures(30);
    for (int i = 31; i <= 50; ++i) {
        FakeReply reply = FakeReply::Ok(FakePicture(i, 2048), "image/jpeg");
        reply.closeAfter = true; // says keep-alive, hangs up all the same
        service.Route(kPictureHost, "/p/" + QByteArray::number(i) + ".jpg", reply);
    }
    SetThreads(3);
    const int before = service.ConnectionsOpened();
    ASSERT_TRUE(Run({0}, {Range(1, 30), {}}));
    // One connection per worker, give or take one replaced when the run began.
    EXPECT_LE(service.ConnectionsOpened() - before, 4);
    for (int i = 1; i <= 30; ++i)
        EXPECT_EQ(SavedBytes(u"owner/A/p%1.jpg"_s.arg(i)), FakePicture(i, 2048)) << i;

    // A kept connection the server closed is replaced, never counted as the picture's failure.
    ASSERT_TRUE(Run({1}, {{}, Range(31, 50)}));
    for (int i = 31; i <= 50; ++i)
        EXPECT_EQ(SavedBytes(u"owner/B/p%1.jpg"_s.arg(i)), FakePicture(i, 2048)) << i;
    EXPECT_EQ(service.RequestCount(), 50);
}

TEST_F(DownloadDriverTest, FortyPicturesNeverExceedTheThreadCount)
{
    MakeAlbums(2);
    ServePictures(40, 4096, 40);
    SetThreads(5);
    ASSERT_TRUE(Run({0}, {Range(1, 40), Range(1, 6)}));
    EXPECT_EQ(service.RequestCount(), 40);
    EXPECT_LE(service.MaxInFlight(), 5);
    EXPECT_GE(service.MaxInFlight(), 2);
    const QStringList counts = frontEnd.StatusHistory(StatusLine::Counts);
    EXPECT_TRUE(counts.contains(u"已下载40/40......"_s));
    EXPECT_EQ(frontEnd.Status(StatusLine::Phase), u"下载完毕"_s);
    // Pictures start in list order: with one thread they are fetched strictly in order.
    service.ClearRequests();
    SetThreads(1);
    ASSERT_TRUE(Run({1}, {Range(1, 40), Range(1, 6)}));
    const QList<FakeRequest> requests = service.Requests();
    ASSERT_EQ(requests.size(), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(requests[i].path(), "/p/" + QByteArray::number(i + 1) + ".jpg");
}

TEST_F(DownloadDriverTest, StopLeavesNoHistoryMarkAndListsNoFurtherAlbum)
{
    MakeAlbums(2);
    ServePictures(10, 4096, 400);
    SetThreads(2);
    std::thread stopper([this] {
        while (service.RequestCount() == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        runs.OnDownload({}, {}); // the button's second press
    });
    ASSERT_TRUE(Run({0, 1}, {Range(1, 10), Range(1, 10)}));
    stopper.join();
    // Album B may have been listed ahead before the stop; none of its pictures was fetched.
    ASSERT_FALSE(listedAlbums.empty());
    EXPECT_EQ(listedAlbums.front(), 0);
    EXPECT_LT(service.RequestCount(), 10);
    EXPECT_FALSE(QFile::exists(SavedFile(u"owner/A/.pic.zrv"_s)));
    EXPECT_TRUE(QDir(SavedFile(u"owner/B"_s)).entryList(QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_FALSE(core.States().IsDownloading());
    // The pictures the stop cut or never reached are not tried, none failed, and all are counted.
    EXPECT_EQ(frontEnd.Status(StatusLine::Phase), u"已停止"_s);
    const DownSummary run = frontEnd.LastRun();
    EXPECT_EQ(run.total, 10 * int(listedAlbums.size()));
    EXPECT_EQ(run.failed, 0);
    EXPECT_GT(run.notTried, 0);
    EXPECT_EQ(run.saved + run.failed + run.skipped + run.notTried, run.total);
    // A cut transfer leaves nothing under a picture's name.
    for (const QString& name : QDir(SavedFile(u"owner/A"_s)).entryList(QDir::Files)) {
        const int number = name.mid(1, name.indexOf(u'.') - 1).toInt();
        EXPECT_EQ(SavedBytes(u"owner/A/"_s + name), FakePicture(number, 4096)) << name.toStdString();
    }
}

TEST_F(DownloadDriverTest, SecondRunFetchesOnlyThePicturesAboveTheHistoryMark)
{
    SetOptions(OPT_SKIP_OLD);
    MakeAlbums(2);
    ServePictures(8);
    ASSERT_TRUE(Run({0, 1}, {Range(3, 5), Range(1, 2)}));
    EXPECT_EQ(ReadHistoryMark(SavedFile(u"owner/A/"_s)), PictureUrl(3));
    EXPECT_EQ(service.RequestCount(), 5);

    service.ClearRequests();
    // Two new pictures on top of album A; album B has nothing new and is skipped.
    ASSERT_TRUE(Run({0, 1}, {{1, 2, 3, 4, 5}, Range(1, 2)}));
    const QList<FakeRequest> requests = service.Requests();
    ASSERT_EQ(requests.size(), 2);
    EXPECT_EQ(ReadHistoryMark(SavedFile(u"owner/A/"_s)), PictureUrl(1));
    EXPECT_EQ(ReadHistoryMark(SavedFile(u"owner/B/"_s)), PictureUrl(1));
    EXPECT_EQ(listedAlbums, (std::vector<int>{0, 1}));
}

TEST_F(DownloadDriverTest, ListOnlyWritesOneListPerAlbumAndFetchesNothing)
{
    SetOptions(OPT_LIST_ONLY | OPT_OPEN_FOLDER);
    MakeAlbums(2);
    ASSERT_TRUE(Run({0, 1}, {Range(1, 3), Range(4, 5)}));
    EXPECT_EQ(service.RequestCount(), 0);
    EXPECT_EQ(SavedBytes(u"owner/A/A.lst"_s),
              (PictureUrl(1) + u"\r\n"_s + PictureUrl(2) + u"\r\n"_s + PictureUrl(3) + u"\r\n"_s).toLatin1());
    EXPECT_EQ(SavedBytes(u"owner/B/B.lst"_s).count('\n'), 2);
    EXPECT_EQ(frontEnd.OpenedFolders(), QStringList{SavedFile(u"owner/B/"_s)});
}

TEST_F(DownloadDriverTest, FailedPicturesAreCountedNeverSavedAndFetchedAgainNextRun)
{
    SetOptions(OPT_SKIP_OLD);
    MakeAlbums(2);
    ServePictures(8);
    // What servers answer in place of a picture: each is a failure with its reason, never a file.
    const std::pair<int, FakeReply> faults[] = {
        {1, FakeReply::Status(404, "<html><body>Not Found</body></html>")},
        {2, FakeReply::Status(500, "<html>busy</html>")},
        {4, FakeReply::Ok("")},
        {5, FakeReply::Ok("\r\n <!DOCTYPE html><html><head><title>login</title></head></html>")},
        {6, FakeReply::Ok(FakePicture(6), "image/jpeg").AnnounceLength(4096)},
    };
    for (const auto& [number, reply] : faults)
        service.Route(kPictureHost, "/p/" + QByteArray::number(number) + ".jpg", reply);
    ASSERT_TRUE(Run({0, 1}, {Range(1, 7), Range(8, 8)}));

    const DownSummary run = frontEnd.LastRun();
    EXPECT_EQ(run.total, 8);
    EXPECT_EQ(run.saved, 3);
    EXPECT_EQ(run.failed, 5);
    EXPECT_EQ(run.skipped, 0);
    EXPECT_FALSE(run.stopped);
    EXPECT_EQ(run.failures, (QStringList{u"p1.jpg: HTTP 404"_s, u"p2.jpg: HTTP 500"_s, u"p4.jpg: 空的应答"_s,
                                         u"p5.jpg: 不是图片（64字节，Content-Type text/html; charset=utf-8）"_s,
                                         u"p6.jpg: 传输中断"_s}));
    for (int number : {1, 2, 4, 5, 6})
        EXPECT_FALSE(QFile::exists(SavedFile(u"owner/A/p%1.jpg"_s.arg(number)))) << number;
    EXPECT_EQ(QDir(SavedFile(u"owner/A"_s)).entryList(QDir::Files), (QStringList{u"p3.jpg"_s, u"p7.jpg"_s}));
    // Only the album that saved every picture moves its mark.
    EXPECT_TRUE(ReadHistoryMark(SavedFile(u"owner/A/"_s)).isEmpty());
    EXPECT_EQ(ReadHistoryMark(SavedFile(u"owner/B/"_s)), PictureUrl(8));

    // Once the server answers, the same run fetches exactly what is missing.
    ServePictures(8);
    service.ClearRequests();
    ASSERT_TRUE(Run({0}, {Range(1, 7), Range(8, 8)}));
    QStringList fetched;
    for (const FakeRequest& request : service.Requests())
        fetched << QString::fromLatin1(request.path());
    fetched.sort();
    EXPECT_EQ(fetched, (QStringList{u"/p/1.jpg"_s, u"/p/2.jpg"_s, u"/p/4.jpg"_s, u"/p/5.jpg"_s, u"/p/6.jpg"_s}));
    EXPECT_EQ(frontEnd.LastRun().saved, 5);
    EXPECT_EQ(frontEnd.LastRun().skipped, 2);
    EXPECT_TRUE(frontEnd.LastRun().AllSaved());
    EXPECT_EQ(ReadHistoryMark(SavedFile(u"owner/A/"_s)), PictureUrl(1));
    for (int number = 1; number <= 7; ++number)
        EXPECT_EQ(SavedBytes(u"owner/A/p%1.jpg"_s.arg(number)), FakePicture(number)) << number;
}

TEST_F(DownloadDriverTest, AFolderInAPicturesPlaceIsNoPictureOnDisk)
{
    MakeAlbums(1);
    ServePictures(2);
    ASSERT_TRUE(QDir().mkpath(SavedFile(u"owner/A/p1.jpg"_s)));
    ASSERT_TRUE(Run({0}, {{1, 2}}));
    EXPECT_EQ(frontEnd.LastRun().skipped, 0);
    EXPECT_EQ(frontEnd.LastRun().saved, 1);
    EXPECT_EQ(frontEnd.LastRun().failed, 1);
    EXPECT_TRUE(ReadHistoryMark(SavedFile(u"owner/A/"_s)).isEmpty());
}

TEST_F(DownloadDriverTest, PictureUnderTheMinimumLeavesNoFileButCountsAsDone)
{
    core.EditSoft([](ST_SOFTDATA& soft) { soft.down[0].nMinKB = 50; });
    MakeAlbums(1);
    service.Route(kPictureHost, "/p/1.jpg", FakeReply::Ok(FakePicture(1, 20 * 1024), "image/jpeg"));
    service.Route(kPictureHost, "/p/2.jpg", FakeReply::Ok(FakePicture(2, 60 * 1024), "image/jpeg"));
    ASSERT_TRUE(Run({0}, {Range(1, 2)}));
    EXPECT_FALSE(QFile::exists(SavedFile(u"owner/A/p1.jpg"_s)));
    EXPECT_EQ(SavedBytes(u"owner/A/p2.jpg"_s), FakePicture(2, 60 * 1024));
    EXPECT_TRUE(frontEnd.StatusHistory(StatusLine::Counts).contains(u"已下载2/2......"_s));
    EXPECT_EQ(QDir(SavedFile(u"owner/A"_s)).entryList(QDir::Files).size(), 1);
}

TEST_F(DownloadDriverTest, SavePathProblemsEndTheRunIdle)
{
    MakeAlbums(1);
    ASSERT_TRUE(core.States().BeginDownload());
    EXPECT_FALSE(DownloadDriver(core, core.Listing(), u"   "_s, {0}, {}));
    EXPECT_EQ(frontEnd.Messages(), QStringList{u"请先设置保存路径"_s});
    EXPECT_FALSE(core.States().IsDownloading());

    QFile blocker(SavedFile(u"file"_s));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ASSERT_TRUE(core.States().BeginDownload());
    EXPECT_FALSE(DownloadDriver(core, core.Listing(), SavedFile(u"file/sub"_s), {0}, {}));
    EXPECT_EQ(frontEnd.Messages().mid(1), (QStringList{SavedFile(u"file"_s), u"请检测设置的保存路径是否有误"_s}));
    EXPECT_FALSE(core.States().IsDownloading());
}

TEST_F(DownloadDriverTest, FixStepsRunAfterTheAlbum)
{
    SetOptions(OPT_FIX_FORMAT | OPT_FIX_ORDER);
    MakeAlbums(1);
    const QByteArray gif = FakeReply::File(FixturePath(u"pictures/tiny.gif"_s)).body;
    QByteArray otherGif = gif;
    otherGif[13] = '\0'; // the first colour of its table
    service.Route(kPictureHost, "/p/1.jpg", FakeReply::Ok(gif, "image/gif"));
    service.Route(kPictureHost, "/p/2.jpg", FakeReply::Ok(otherGif, "image/gif"));
    ASSERT_TRUE(Run({0}, {{1, 2}}));
    EXPECT_EQ(SavedBytes(u"owner/A/p1.gif"_s), gif);
    EXPECT_EQ(SavedBytes(u"owner/A/p2.gif"_s), otherGif);
    // The order step stamps the renamed files a minute apart: the list followed the new names.
    const QDateTime first = QFileInfo(SavedFile(u"owner/A/p1.gif"_s)).lastModified();
    EXPECT_EQ(first.secsTo(QFileInfo(SavedFile(u"owner/A/p2.gif"_s)).lastModified()), -60);
}

TEST_F(DownloadDriverTest, AStopPressedBeforeTheDownloadStartsIsKept)
{
    MakeAlbums(2);
    ServePictures(2);
    StopDownload(); // the button's second press came before the controls switched
    const auto lister = [this](CPhotoListing& target, int album) {
        listedAlbums.push_back(album);
        target.AddPicture(PictureUrl(1), u"p1"_s, {}, album);
    };
    EXPECT_TRUE(DownloadDriver(core, core.Listing(), saveRoot.path(), {0, 1}, FillWith(lister)));
    EXPECT_TRUE(listedAlbums.empty());
    EXPECT_EQ(service.RequestCount(), 0);
    EXPECT_FALSE(core.States().IsDownloading());
    EXPECT_EQ(frontEnd.Status(StatusLine::Phase), u"已停止"_s);
}

TEST_F(DownloadDriverTest, AStopBetweenTheListingAndThePoolEndsTheRun)
{
    MakeAlbums(2);
    ServePictures(5);
    // The second press lands as the album's last picture is listed, before the pool has it.
    duringListing = [this](int, int listed) {
        if (listed == 5) runs.OnDownload({}, {});
    };
    ASSERT_TRUE(Run({0, 1}, {Range(1, 5), Range(1, 5)}));
    EXPECT_EQ(listedAlbums, std::vector<int>{0});
    EXPECT_EQ(service.RequestCount(), 0);
    EXPECT_TRUE(frontEnd.LastRun().stopped);
    EXPECT_EQ(frontEnd.LastRun().saved, 0);
    EXPECT_FALSE(QFile::exists(SavedFile(u"owner/A/.pic.zrv"_s)));
    EXPECT_FALSE(core.States().IsDownloading());
}

TEST_F(DownloadDriverTest, TheNextAlbumIsListedAndFetchedWhileTheOneBeforeStillArrives)
{
    MakeAlbums(3);
    ServePictures(18, 4096, 300); // every picture pauses 300 ms half-way
    SetThreads(4);
    // Album B's lister asks a question (as for a password) while album A's pictures arrive.
    std::atomic<int> savedWhenAsked{-1};
    frontEnd.QueueAnswer(true);
    duringListing = [&](int album, int listed) {
        if (album != 1 || listed != 1) return;
        savedWhenAsked = int(QDir(SavedFile(u"owner/A"_s)).entryList(QDir::Files).size());
        EXPECT_TRUE(core.FrontEnd().AskYesNo(u"相册B需要密码"_s));
    };
    ASSERT_TRUE(Run({0, 1, 2}, {Range(1, 6), Range(7, 12), Range(13, 18)}));
    EXPECT_EQ(listedAlbums, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(savedWhenAsked, 0);
    EXPECT_EQ(frontEnd.Questions(), QStringList{u"相册B需要密码"_s});

    // The pool does not drain at an album's end: B's first picture is asked for while A's last
    // one is still on its way (one pool per album would wait 300 ms for it).
    const auto receivedAt = [&](int picture) {
        return service.RequestsFor(kPictureHost, "/p/" + QByteArray::number(picture) + ".jpg").value(0).received;
    };
    EXPECT_LT(receivedAt(7) - receivedAt(6), std::chrono::milliseconds(150));

    // Per album everything is as before: files, marks, one summary each, messages in album order.
    for (int album = 0; album < 3; ++album) {
        const QString folder = u"owner/"_s + QChar(u'A' + album) + u'/';
        EXPECT_EQ(ReadHistoryMark(SavedFile(folder)), PictureUrl(album * 6 + 1));
        for (int i = album * 6 + 1; i <= album * 6 + 6; ++i)
            EXPECT_EQ(SavedBytes(folder + u"p%1.jpg"_s.arg(i)), FakePicture(i, 4096)) << i;
    }
    EXPECT_EQ(frontEnd.FinishedPools(), 3);
    const DownSummary run = frontEnd.LastRun();
    EXPECT_EQ(run.saved, 18);
    EXPECT_EQ(run.total, 18);
    int album = 0;
    for (const RunProgress& progress : frontEnd.ProgressHistory()) {
        EXPECT_GE(progress.album, album);
        album = progress.album;
    }
    EXPECT_EQ(album, 3);
}

TEST_F(DownloadDriverTest, AStopWhileTheNextAlbumIsListedEndsBoth)
{
    MakeAlbums(3);
    ServePictures(8, 4096, 400);
    SetThreads(4);
    qsizetype requestsAtStop = -1;
    // The stop comes while B is listed and A's four pictures are all on their way.
    duringListing = [&](int album, int listed) {
        if (album != 1 || listed != 2) return;
        while (service.RequestCount() < 4)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        requestsAtStop = service.RequestCount();
        runs.OnDownload({}, {});
    };
    ASSERT_TRUE(Run({0, 1, 2}, {Range(1, 4), Range(5, 8), Range(1, 4)}));
    EXPECT_EQ(listedAlbums, (std::vector<int>{0, 1}));
    EXPECT_EQ(requestsAtStop, 4);
    EXPECT_EQ(service.RequestCount(), 4); // nothing started after the stop
    EXPECT_FALSE(QFile::exists(SavedFile(u"owner/A/.pic.zrv"_s)));
    EXPECT_FALSE(QFile::exists(SavedFile(u"owner/B/.pic.zrv"_s)));
    EXPECT_EQ(frontEnd.FinishedPools(), 2);
    const DownSummary run = frontEnd.LastRun();
    EXPECT_TRUE(run.stopped);
    // A's four and the three of B listed before its lister looked at the stop.
    EXPECT_EQ(run.total, 7);
    EXPECT_EQ(run.failed, 0);
    EXPECT_EQ(run.saved + run.notTried, 7);
    EXPECT_GE(run.notTried, 3);
    EXPECT_FALSE(core.States().IsDownloading());
}

TEST_F(DownloadDriverTest, ProgressCarriesTheAlbumAndPictureCountsOfTheRun)
{
    MakeAlbums(2);
    ServePictures(3);
    SetThreads(1);
    // Album A: pictures 1 and 2; album B: 3 and 4, and 4 is not on the server.
    ASSERT_TRUE(Run({0, 1}, {Range(1, 2), Range(3, 4)}));
    const std::vector<RunProgress> history = frontEnd.ProgressHistory();
    ASSERT_FALSE(history.empty());
    const auto at = [&](int album, int done) {
        for (const RunProgress& p : history)
            if (p.album == album && p.picturesDone == done && !p.Listing()) return p;
        ADD_FAILURE() << "no progress for album " << album << " at " << done;
        return RunProgress{};
    };
    EXPECT_EQ(history.front().album, 1);
    EXPECT_EQ(history.front().albums, 2);
    EXPECT_TRUE(history.front().Listing());
    const RunProgress firstDone = at(1, 2);
    EXPECT_EQ(firstDone.pictures, 2);
    EXPECT_EQ(firstDone.saved, 2);
    const auto secondListing = std::find_if(history.begin(), history.end(),
                                            [](const RunProgress& p) { return p.album == 2 && p.Listing(); });
    ASSERT_NE(secondListing, history.end());
    EXPECT_EQ(secondListing->saved, 2); // the run's counts so far go along
    const RunProgress last = history.back();
    EXPECT_EQ(last.album, 2);
    EXPECT_EQ(last.picturesDone, 2);
    EXPECT_EQ(last.pictures, 2);
    EXPECT_EQ(last.saved, 3);
    EXPECT_EQ(last.failed, 1);
    EXPECT_EQ(last.skipped, 0);
    // The texts are drawn from the numbers, as both front ends show them.
    EXPECT_EQ(frontEnd.StatusHistory(StatusLine::Phase).mid(0, 2),
              (QStringList{u"正在下载第1/2个图集"_s, u"正在下载第2/2个图集"_s}));
    EXPECT_EQ(PictureCountText(last), u"已下载2/2......"_s);
}

TEST_F(DownloadDriverTest, AStopAsThePoolStartsEndsTheRunBeforeAnyPicture)
{
    MakeAlbums(2);
    ServePictures(5);
    SetThreads(3);
    std::atomic<bool> ended{false};
    std::thread download([&] {
        // The stop lands after the pool has started, before its first worker takes a picture:
        // no picture finishes, and the pool must still notice it.
        t_beforeNextThread = [this] { runs.OnDownload({}, {}); };
        Run({0, 1}, {Range(1, 5), Range(1, 5)});
        ended = true;
    });
    for (int i = 0; i < 100 && !ended; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (!ended) {
        // A pool that misses the stop waits for ever; end the program rather than the suite.
        std::fprintf(stderr, "the download did not end 5 s after the stop\n");
        std::_Exit(1);
    }
    download.join();
    // The workers start before the listing: the stop came before the first album was listed.
    EXPECT_TRUE(listedAlbums.empty());
    EXPECT_EQ(service.RequestCount(), 0);
    EXPECT_TRUE(frontEnd.LastRun().stopped);
    EXPECT_FALSE(QFile::exists(SavedFile(u"owner/A/.pic.zrv"_s)));
    EXPECT_FALSE(core.States().IsDownloading());
}

TEST_F(DownloadDriverTest, ThreadsThatCannotStartAreReportedNotFatal)
{
    MakeAlbums(1);
    ServePictures(3);
    {
        RefuseThreads refuse;
        runs.OnDownload(saveRoot.path(), {0});
        runs.OnGetAlbums(u"12345678"_s);
    }
    EXPECT_EQ(frontEnd.Messages(), QStringList(2, u"Create thread:GetListFunc failed."_s));
    EXPECT_FALSE(core.States().IsDownloading());
    EXPECT_FALSE(core.States().IsListing());

    // A picture whose worker cannot start counts as done, like one whose transfer failed.
    RefuseThreads refuse;
    ASSERT_TRUE(Run({0}, {Range(1, 3)}));
    EXPECT_EQ(service.RequestCount(), 0);
    EXPECT_TRUE(frontEnd.StatusHistory(StatusLine::Counts).contains(u"已下载3/3......"_s));
    EXPECT_TRUE(QDir(SavedFile(u"owner/A"_s)).entryList(QDir::Files).isEmpty());
    EXPECT_FALSE(core.States().IsDownloading());
}

TEST(DownList, ReadsGbkAndUtf8ListsWithOrWithoutAByteOrderMark)
{
    TempFolder folder;
    const auto read = [&folder](const QByteArray& bytes) {
        QFile file(folder.path() + u"list.lst"_s);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(bytes);
        file.close();
        return ReadDownList(file.fileName());
    };
    const QStringList expected{u"http://a.com/\u4f60.jpg"_s, u"http://a.com/2.jpg"_s};
    EXPECT_EQ(read("http://a.com/\xC4\xE3.jpg\r\n\r\nhttp://a.com/2.jpg\r\n"), expected); // GBK, as written here
    EXPECT_EQ(read("http://a.com/\xE4\xBD\xA0.jpg\nhttp://a.com/2.jpg"), expected);
    // Editors on other systems start a UTF-8 file with a byte-order mark.
    EXPECT_EQ(read("\xEF\xBB\xBFhttp://a.com/\xE4\xBD\xA0.jpg\r\nhttp://a.com/2.jpg\r\n"), expected);
}

TEST_F(DownloadDriverTest, WireFaultsEndEachPictureWithItsReasonWithinTheTimeOut)
{
    // A time-out far below what the settings allow, so that every stall ends within seconds.
    core.EditSoft([](ST_SOFTDATA& soft) {
        soft.down[0].nTimeout = 1;
        soft.down[0].nThreads = 12;
    });
    RefusingPort refusing;
    ScopedVariable noProxy("no_proxy", kNoProxyForLoopback);
    const QByteArray picture = FakePicture(7, 64 * 1024);
    const auto url = [](const char* host, const char* path) { return u"http://%1%2"_s.arg(host, path); };
    using Times = std::vector<std::chrono::steady_clock::time_point>;
    auto times429 = std::make_shared<Times>(), times503 = std::make_shared<Times>(),
         timesDate = std::make_shared<Times>();
    const QByteArray inTwoSeconds =
        QLocale::c()
            .toString(QDateTime::currentDateTimeUtc().addSecs(2), u"ddd, dd MMM yyyy hh:mm:ss 'GMT'"_s)
            .toLatin1();
    service.Route("busy1.example.com", "/b.jpg",
                  BusyOnce(FakeReply::Status(429).Header("Retry-After", "1"), picture, times429));
    service.Route("busy2.example.com", "/b.jpg", BusyOnce(FakeReply::Status(503), picture, times503));
    service.Route("busy3.example.com", "/b.jpg",
                  BusyOnce(FakeReply::Status(503).Header("Retry-After", inTwoSeconds), picture, timesDate));
    service.Route(kPictureHost, "/stall.jpg", FakeReply::Ok(picture, "image/jpeg").DelayHead(4000));
    // Ten bytes a second: whole after half a minute, far beyond the time-out.
    service.Route(kPictureHost, "/drip.jpg", FakeReply::Ok(FakePicture(8, 300), "image/jpeg").Trickle(1, 100));
    service.Route(kPictureHost, "/cut.jpg", FakeReply::Ok(picture, "image/jpeg").ChunkedAt({4096}).CutAt(8192));
    service.Route(kPictureHost, "/length.jpg", FakeReply::Ok(picture, "image/jpeg").AnnounceLength(picture.size() + 100));
    service.Route(kPictureHost, "/cookie.jpg", FakeReply::Ok(picture, "image/jpeg").SetCookie("enc=gzip"));
    // A pause shorter than the time-out, at a speed well above the floor: nothing wrong.
    service.Route(kPictureHost, "/slow.jpg", FakeReply::Ok(picture, "image/jpeg").PauseAt(32 * 1024, 600));

    struct Row {
        QString url;
        QString name;
        QString reason; // empty: saved
    };
    const Row rows[] = {
        {refusing.Url(u"/r.jpg"_s), u"refused"_s, u"连接失败"_s},
        {url("busy1.example.com", "/b.jpg"), u"busy429"_s, {}},
        {url("busy2.example.com", "/b.jpg"), u"busy503"_s, {}},
        {url("busy3.example.com", "/b.jpg"), u"busydate"_s, {}},
        {url(kPictureHost, "/stall.jpg"), u"stall"_s, u"无应答，超时"_s},
        {url(kPictureHost, "/drip.jpg"), u"drip"_s, u"速度过慢，超时"_s},
        {url(kPictureHost, "/cut.jpg"), u"cut"_s, u"传输中断"_s},
        {url(kPictureHost, "/length.jpg"), u"length"_s, u"传输中断"_s},
        {url(kPictureHost, "/cookie.jpg"), u"cookie"_s, {}},
        {url(kPictureHost, "/slow.jpg"), u"slow"_s, {}},
    };
    QStringList urls, names, expectedFailures;
    for (const Row& row : rows) {
        urls << row.url;
        names << row.name;
        if (!row.reason.isEmpty()) expectedFailures << row.name + u".jpg: "_s + row.reason;
    }
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(RunAddresses(urls, names));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));

    const DownSummary run = frontEnd.LastRun();
    EXPECT_EQ(run.saved, 5);
    EXPECT_EQ(run.failed, 5);
    EXPECT_EQ(run.failures, expectedFailures);
    for (const Row& row : rows) {
        const QString file = u"owner/A/"_s + row.name + u".jpg"_s;
        if (row.reason.isEmpty())
            EXPECT_EQ(SavedBytes(file), picture) << row.name.toStdString();
        else
            EXPECT_FALSE(QFile::exists(SavedFile(file))) << row.name.toStdString();
    }
    // Each busy host was asked again only after the pause it asked for (or the first back-off).
    for (const auto& times : {times429, times503, timesDate}) {
        ASSERT_EQ(times->size(), 2u);
        EXPECT_GE((*times)[1] - (*times)[0], std::chrono::milliseconds(900));
    }
    const QStringList counts = frontEnd.StatusHistory(StatusLine::Counts);
    EXPECT_TRUE(std::any_of(counts.begin(), counts.end(), [](const QString& text) {
        return text.contains(u".example.com 繁忙，"_s) && text.contains(u"秒后继续"_s);
    })) << counts.join(u'\n').toStdString();
    EXPECT_EQ(counts.filter(u"已下载10/10"_s), QStringList{u"已下载10/10......"_s});
}

TEST_F(DownloadDriverTest, AHostThatRefusesOrNeverAnswersFailsItsPicturesAtOnce)
{
    struct Row {
        RefusingPort::Mode mode;
        int pictures;
        QString firstReason;
        QString downReason;
        std::chrono::seconds within;
    };
    // A silent host costs each of the first workers one time-out of 1 s, not one per picture
    // (200 pictures on 15 threads would take 14 s).
    const Row rows[] = {
        {RefusingPort::Mode::Refusing, 2000, u"连接失败"_s, u"连接失败（该主机已连续5次无法连接，不再尝试）"_s,
         std::chrono::seconds(20)},
        {RefusingPort::Mode::Silent, 200, u"无应答，超时"_s, u"无应答（该主机已连续5次无应答，不再尝试）"_s,
         std::chrono::seconds(6)},
    };
    ScopedVariable noProxy("no_proxy", kNoProxyForLoopback);
    core.EditSoft([&](ST_SOFTDATA& soft) { soft.down[0].nTimeout = 1; });
    SetThreads(15);
    ServePictures(1);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.firstReason.toStdString());
        const RefusingPort port(row.mode);
        QStringList urls, names;
        for (int i = 0; i < row.pictures; ++i) {
            urls << port.Url(u"/p/%1.jpg"_s.arg(i));
            names << u"p%1"_s.arg(i);
        }
        // A second host of the same album answers as ever.
        urls << PictureUrl(1);
        names << u"ok"_s;
        QFile::remove(SavedFile(u"owner/A/ok.jpg"_s));
        const auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(RunAddresses(urls, names));
        EXPECT_LT(std::chrono::steady_clock::now() - start, row.within);

        const DownSummary run = frontEnd.LastRun();
        EXPECT_EQ(run.saved, 1);
        EXPECT_EQ(run.failed, row.pictures);
        ASSERT_EQ(run.failures.size(), row.pictures);
        for (int i = 0; i < row.pictures; ++i)
            ASSERT_TRUE(run.failures[i] == u"p%1.jpg: "_s.arg(i) + row.firstReason ||
                        run.failures[i] == u"p%1.jpg: "_s.arg(i) + row.downReason)
                << run.failures[i].toStdString();
        EXPECT_TRUE(run.failures.back().endsWith(row.downReason));
        EXPECT_EQ(SavedBytes(u"owner/A/ok.jpg"_s), FakePicture(1));
    }
}

TEST_F(DownloadDriverTest, AHostBusyForEverIsGivenUpNotAskedAgainAndAgain)
{
    SetThreads(1);
    service.Route("busy.example.com", "/*", FakeReply::Status(503).Header("Retry-After", "0"));
    ASSERT_TRUE(RunAddresses(
        {u"http://busy.example.com/1.jpg"_s, u"http://busy.example.com/2.jpg"_s, u"http://busy.example.com/3.jpg"_s},
        {u"p1"_s, u"p2"_s, u"p3"_s}));
    EXPECT_EQ(frontEnd.LastRun().failures,
              (QStringList{u"p1.jpg: HTTP 503"_s, u"p2.jpg: HTTP 503"_s, u"p3.jpg: HTTP 503"_s}));
    // The first picture waits out every pause the host may ask for in a row; after that a busy
    // answer is a failure at once.
    EXPECT_EQ(service.RequestCount(), CHostGate::kMaxBusy + 1 + 2);
}

TEST(HostGate, PausesBackOffGiveUpAndResetAsTheHostAnswers)
{
    using namespace std::chrono;
    CHostGate gate;
    const QString host = CHostGate::HostOf(u"http://Pics.Example.com/a.jpg"_s);
    EXPECT_EQ(host, u"pics.example.com:80"_s);
    EXPECT_EQ(CHostGate::HostOf(u"https://pics.example.com:8443/a.jpg"_s), u"pics.example.com:8443"_s);
    // Addresses in a row that differ only after the host, or only in the scheme or port.
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(CHostGate::HostOf(u"http://pics.example.com/b.jpg?x=1"_s), u"pics.example.com:80"_s);
        EXPECT_EQ(CHostGate::HostOf(u"http://pics.example.com?x=1"_s), u"pics.example.com:80"_s);
        EXPECT_EQ(CHostGate::HostOf(u"https://pics.example.com/b.jpg"_s), u"pics.example.com:443"_s);
        EXPECT_EQ(CHostGate::HostOf(u"http://pics.example.com:81/b.jpg"_s), u"pics.example.com:81"_s);
        EXPECT_EQ(CHostGate::HostOf(u"http://pics.example.com.evil/b.jpg"_s), u"pics.example.com.evil:80"_s);
    }
    const auto pauseSeconds = [&] {
        const QString note = gate.PauseNote();
        return note.section(u'，', 1).section(u'秒', 0, 0).toInt();
    };

    // Without Retry-After each pause in a row doubles, from a second; a busy answer to a
    // request sent before the pause (same wave) does not double it again.
    std::uint64_t wave = 7;
    std::atomic<bool> abort{false};
    const std::uint64_t first = 0;
    EXPECT_TRUE(gate.Busy(host, first, -1));
    EXPECT_EQ(pauseSeconds(), 1);
    EXPECT_TRUE(gate.Busy(host, first, -1));
    EXPECT_EQ(pauseSeconds(), 1);
    EXPECT_TRUE(gate.Busy(host, first + 1, -1));
    EXPECT_EQ(pauseSeconds(), 2);
    EXPECT_TRUE(gate.PauseNote().startsWith(u"pics.example.com 繁忙，"_s));
    // Retry-After is honoured up to five minutes, and a later one lengthens the pause.
    EXPECT_TRUE(gate.Busy(host, first + 2, 100000));
    EXPECT_EQ(pauseSeconds(), 300);

    // While paused, a worker waits; a stop request ends the wait at once.
    std::thread stopper([&] {
        std::this_thread::sleep_for(milliseconds(150));
        abort = true;
    });
    const auto start = steady_clock::now();
    EXPECT_EQ(gate.Admit(host, &abort, wave), CHostGate::Admission::Aborted);
    stopper.join();
    EXPECT_LT(steady_clock::now() - start, seconds(2));

    // A busy answer more than kMaxBusy times in a row is a failure; any other answer resets.
    CHostGate busy;
    for (int i = 0; i < CHostGate::kMaxBusy; ++i)
        EXPECT_TRUE(busy.Busy(host, std::uint64_t(i), 0)) << i;
    EXPECT_FALSE(busy.Busy(host, CHostGate::kMaxBusy, 0));
    busy.Answered(host);
    EXPECT_TRUE(busy.Busy(host, CHostGate::kMaxBusy + 1, 0));
    EXPECT_EQ(busy.Admit(host, nullptr, wave), CHostGate::Admission::Go);
    EXPECT_EQ(wave, std::uint64_t(CHostGate::kMaxBusy + 2));

    // Silences in a row (refused or unanswered alike) give the host up; one answer in between
    // starts the count again; another host is not concerned.
    CHostGate down;
    for (int i = 1; i < CHostGate::kDownAfter; ++i)
        EXPECT_FALSE(down.Silent(host, i % 2 == 0));
    down.Answered(host);
    for (int i = 1; i < CHostGate::kDownAfter; ++i)
        EXPECT_FALSE(down.Silent(host, true));
    EXPECT_TRUE(down.Silent(host, false));
    EXPECT_TRUE(down.DownReason(host).startsWith(u"连接失败"_s));
    EXPECT_TRUE(down.IsDown(host));
    EXPECT_EQ(down.Admit(host, nullptr, wave), CHostGate::Admission::Down);
    EXPECT_FALSE(down.IsDown(u"other.example.com:80"_s));
    EXPECT_TRUE(down.PauseNote().isEmpty());

    // After a silence, no request is sent to the host while one sent before is still out.
    CHostGate verdict;
    ASSERT_EQ(verdict.Admit(host, nullptr, wave), CHostGate::Admission::Go);
    ASSERT_EQ(verdict.Admit(host, nullptr, wave), CHostGate::Admission::Go);
    verdict.Silent(host, true);
    verdict.Release(host);
    std::atomic<bool> admitted{false};
    std::thread next([&] {
        std::uint64_t nextWave = 0;
        EXPECT_EQ(verdict.Admit(host, nullptr, nextWave), CHostGate::Admission::Go);
        admitted = true;
    });
    std::this_thread::sleep_for(milliseconds(300));
    EXPECT_FALSE(admitted);
    verdict.Release(host, /*answered=*/true);
    next.join();
    EXPECT_TRUE(admitted);
}
