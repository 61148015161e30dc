// What a download through the run controller keeps toward the services (an interval between
// two requests to one host, a cap on the transfers to one host, one bandwidth cap for the whole
// run) and from them (the server's time of a picture).
#include "MyCode/RequestPacer.h"
#include "run/RunController.h"
#include "support/AdapterTest.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <chrono>
#include <map>
#include <thread>

using namespace Qt::StringLiterals;
using Clock = std::chrono::steady_clock;

namespace {
constexpr char kHostA[] = "a.pics.example.com";
constexpr char kHostB[] = "b.pics.example.com";

class RestraintTest : public AdapterTest {
protected:
    ~RestraintTest() override
    {
        // The pacer serves the whole process: the next test starts unrestrained.
        CRequestPacer::Instance().SetInterval(std::chrono::milliseconds(0));
        CRequestPacer::Instance().SetRateLimit(0);
    }
    // count pictures on each of the two hosts, listed host by host.
    QStringList ServeOnBothHosts(int count, int size, int pauseMs)
    {
        QStringList urls;
        for (const char* host : {kHostA, kHostB})
            for (int i = 1; i <= count; ++i) {
                FakeReply reply = FakeReply::Ok(FakePicture(i, size), "image/jpeg");
                if (pauseMs > 0) reply.PauseAt(size / 2, pauseMs);
                service.Route(host, "/p/" + QByteArray::number(i) + ".jpg", reply);
                urls << u"http://%1/p/%2.jpg"_s.arg(QLatin1String(host)).arg(i);
            }
        return urls;
    }
    void Settle(int threads, const ServiceExtras& extras)
    {
        core.EditSoft([threads](ST_SOFTDATA& soft) { soft.down[0].nThreads = std::uint16_t(threads); });
        ASSERT_TRUE(core.SetExtras(0, extras));
    }
    // The list downloaded as 导入 does it, through the run controller; the files saved.
    int Import(const QStringList& urls)
    {
        const QString list = saveRoot.path() + u"list.lst"_s;
        QFile file(list);
        if (!file.open(QIODevice::WriteOnly)) return -1;
        file.write(urls.join(u'\n').toUtf8());
        file.close();
        core.m_bReady = true;
        runs.OnImport(list, saveRoot.path() + u"out/"_s);
        runs.Wait();
        int saved = 0;
        for (const QString& url : urls)
            saved += QFile::exists(saveRoot.path() + u"out/list/"_s + url.section(u'/', -1));
        return saved;
    }
    std::map<QByteArray, std::vector<Clock::time_point>> ArrivalsByHost() const
    {
        std::map<QByteArray, std::vector<Clock::time_point>> arrivals;
        for (const FakeRequest& request : service.Requests())
            arrivals[request.host].push_back(request.received);
        for (auto& [host, times] : arrivals)
            std::sort(times.begin(), times.end());
        return arrivals;
    }
    CRunController runs{core};
};

std::int64_t Milliseconds(Clock::duration span)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(span).count();
}
} // namespace

TEST_F(RestraintTest, RequestsToOneHostKeepTheIntervalWhileAnotherHostIsNotHeldUp)
{
    const QStringList urls = ServeOnBothHosts(3, 2048, 0);
    Settle(4, {300, 0, 0});
    Import(urls);
    const auto arrivals = ArrivalsByHost();
    ASSERT_EQ(arrivals.size(), 2u);
    for (const auto& [host, times] : arrivals) {
        ASSERT_EQ(times.size(), 3u) << host.toStdString();
        for (size_t i = 1; i < times.size(); ++i)
            EXPECT_GE(Milliseconds(times[i] - times[i - 1]), 280) << host.toStdString() << " request " << i;
    }
    // The second host's first request does not wait for the first host's turn.
    const auto firstA = arrivals.at(kHostA).front();
    const auto firstB = arrivals.at(kHostB).front();
    EXPECT_LT(std::abs(Milliseconds(firstB - firstA)), 200);
}

TEST_F(RestraintTest, TheIntervalHoldsAcrossTheStartOfTheNextRun)
{
    // A download starts right after its listing, and each sets the interval again.
    CRequestPacer& pacer = CRequestPacer::Instance();
    pacer.SetInterval(std::chrono::milliseconds(300));
    ASSERT_TRUE(pacer.WaitForTurn("api.example.com", nullptr));
    const auto first = Clock::now();
    pacer.SetInterval(std::chrono::milliseconds(300));
    ASSERT_TRUE(pacer.WaitForTurn("api.example.com", nullptr));
    EXPECT_GE(Milliseconds(Clock::now() - first), 280);
}

TEST_F(RestraintTest, OneHostGetsNoMoreTransfersThanItsCapAndTheOtherHostTheRest)
{
    const QStringList urls = ServeOnBothHosts(6, 4096, 400);
    Settle(5, {0, 3, 0});
    Import(urls);
    EXPECT_EQ(service.RequestCount(), 12);
    EXPECT_EQ(service.MaxInFlight(kHostA), 3);
    EXPECT_LE(service.MaxInFlight(kHostB), 3);
    // The first host's pictures come first in the list; the threads its cap leaves free do not
    // wait behind them but serve the second host meanwhile.
    EXPECT_EQ(service.MaxInFlight(), 5);
}

TEST_F(RestraintTest, ABandwidthCapHoldsForTheWholeRunAndTripsNoSpeedFloor)
{
    QStringList urls;
    for (int i = 1; i <= 4; ++i) {
        service.Route(kHostA, "/big" + QByteArray::number(i) + ".jpg",
                      FakeReply::Ok(FakePicture(i, 1024 * 1024), "image/jpeg"));
        urls << u"http://%1/big%2.jpg"_s.arg(QLatin1String(kHostA)).arg(i);
    }
    // Four transfers share 1 MB a second: each gets a quarter, far above the floor, but only
    // the shared cap keeps the four megabytes from arriving at once.
    Settle(4, {0, 0, 1024 * 1024});
    const auto start = Clock::now();
    EXPECT_EQ(Import(urls), 4);
    EXPECT_GE(Milliseconds(Clock::now() - start), 3500);
}

TEST_F(RestraintTest, AStopEndsATransferTheCapHoldsBack)
{
    // At a kilobyte a second, the cap holds the transfer back for seconds after each read.
    service.Route(kHostA, "/big.jpg", FakeReply::Ok(FakePicture(1, 256 * 1024), "image/jpeg"));
    Settle(1, {0, 0, 1024});
    const QString list = saveRoot.path() + u"list.lst"_s;
    QFile file(list);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(u"http://%1/big.jpg"_s.arg(QLatin1String(kHostA)).toUtf8());
    file.close();
    runs.OnImport(list, saveRoot.path() + u"out/"_s);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const auto stopped = Clock::now();
    runs.RequestStop();
    runs.Wait();
    EXPECT_LT(Milliseconds(Clock::now() - stopped), 5000);
    EXPECT_FALSE(QFile::exists(saveRoot.path() + u"out/list/big.jpg"_s));
    EXPECT_EQ(frontEnd.LastRun().notTried, 1);
}

TEST_F(RestraintTest, ASavedPictureCanTakeTheServersTime)
{
    service.Route(kHostA, "/dated.jpg",
                  FakeReply::Ok(FakePicture(1), "image/jpeg").Header("Last-Modified", "Sun, 06 Nov 2011 08:49:37 GMT"));
    service.Route(kHostA, "/undated.jpg", FakeReply::Ok(FakePicture(2), "image/jpeg"));
    const QStringList urls{u"http://%1/dated.jpg"_s.arg(QLatin1String(kHostA)),
                           u"http://%1/undated.jpg"_s.arg(QLatin1String(kHostA))};
    Settle(2, {0, 0, 0, true});
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-5);
    ASSERT_EQ(Import(urls), 2);
    const QString folder = saveRoot.path() + u"out/list/"_s;
    EXPECT_EQ(QFileInfo(folder + u"dated.jpg"_s).lastModified().toUTC(),
              QDateTime(QDate(2011, 11, 6), QTime(8, 49, 37), Qt::UTC));
    EXPECT_GE(QFileInfo(folder + u"undated.jpg"_s).lastModified().toUTC(), before); // no date: the time of saving
}
