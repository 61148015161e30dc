// talvoria-cli stopped by a signal, as a shell, a terminal closing or a service manager stops it.
#include "sources/QzoneRoutes.h"
#include "support/CliTest.h"

#include <QJsonObject>
#include <QProcess>

#include <chrono>
#include <csignal>
#include <ostream>
#include <thread>

using namespace Qt::StringLiterals;

namespace {
struct StopSignal {
    const char* name;
    int number;
    int exitCode;
};

void PrintTo(const StopSignal& stop, std::ostream* out)
{
    *out << "SIG" << stop.name;
}

class CliSignalTest : public CliTest {
protected:
    // Every picture stalls half-way far longer than the test waits; the photo list sets a
    // cookie, so the run holds one that only the store's save at the end keeps.
    CliSignalTest()
    {
        QzoneFake::Serve(service, 8192, 20000);
        service.Route("szplist.photo.qq.com", "/fcgi-bin/fcg_list_photo_v2",
                      FakeReply::File(FixturePath(u"qzone/photos-public.jsonp"_s))
                          .SetCookie("p_skey=during-run; Domain=.qq.com; Path=/"));
    }

    // Starts a download of the public album and returns once its first picture was asked for.
    void StartDownload()
    {
        cli.setProcessEnvironment(ProxiedEnvironment(service));
        cli.start(QStringLiteral(TALVORIA_CLI), {u"--app-dir"_s, appDir.path(), u"--no"_s, u"download"_s, u"12345678"_s,
                                                 u"--albums"_s, u"1"_s, u"--save-dir"_s, saveDir.path(), u"--json"_s});
        ASSERT_TRUE(cli.waitForStarted());
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (service.RequestsFor(kPictureHost, "/psb").isEmpty() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ASSERT_FALSE(service.RequestsFor(kPictureHost, "/psb").isEmpty());
    }

    void Send(int number) { ::kill(pid_t(cli.processId()), number); }

    QString SavedCookie(const QString& name) const
    {
        QFile file(appDir.path() + u"cookies.txt"_s);
        if (!file.open(QIODevice::ReadOnly)) return {};
        for (const QNetworkCookie& cookie : CCookieStore::ParseNetscape(file.readAll()))
            if (cookie.name() == name.toLatin1()) return QString::fromLatin1(cookie.value());
        return {};
    }

    static constexpr char kPictureHost[] = "b1.photo.store.qq.com";
    QProcess cli;
};

class CliStopSignalTest : public CliSignalTest, public ::testing::WithParamInterface<StopSignal> {};
} // namespace

TEST_P(CliStopSignalTest, AStopSignalEndsTheRunWithItsSummaryCookiesAndStatus)
{
    ASSERT_NO_FATAL_FAILURE(StartDownload());
    Send(GetParam().number);

    ASSERT_TRUE(cli.waitForFinished(10000)); // well before the stalled pictures would arrive
    ASSERT_EQ(cli.exitStatus(), QProcess::NormalExit) << "killed by the signal";
    EXPECT_EQ(cli.exitCode(), GetParam().exitCode);
    const QString err = QString::fromUtf8(cli.readAllStandardError());
    EXPECT_TRUE(err.contains(u"共3张图片：已保存0张"_s)) << err.toStdString();
    const QJsonObject run = QJsonDocument::fromJson(cli.readAllStandardOutput()).object();
    EXPECT_TRUE(run[u"stopped"_s].toBool());
    EXPECT_EQ(run[u"saved"_s].toInt(-1), 0);
    EXPECT_TRUE(QDir(saveDir.path() + u"12345678/旅行 2012/"_s).entryList(QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_EQ(SavedCookie(u"p_skey"_s), u"during-run"_s);
}

INSTANTIATE_TEST_SUITE_P(Signals, CliStopSignalTest,
                         ::testing::Values(StopSignal{"INT", SIGINT, 130}, StopSignal{"TERM", SIGTERM, 143},
                                           StopSignal{"HUP", SIGHUP, 129}),
                         [](const ::testing::TestParamInfo<StopSignal>& info) { return std::string(info.param.name); });

// A second signal of another kind, while the stop is under way, ends the program at once: with
// the status of whichever was handled second, and without the run's JSON object.
TEST_F(CliSignalTest, ASecondSignalOfAnotherKindEndsAtOnce)
{
    ASSERT_NO_FATAL_FAILURE(StartDownload());
    Send(SIGTERM);
    Send(SIGHUP);
    ASSERT_TRUE(cli.waitForFinished(10000));
    ASSERT_EQ(cli.exitStatus(), QProcess::NormalExit) << "killed by a signal";
    EXPECT_TRUE(cli.exitCode() == 128 + SIGTERM || cli.exitCode() == 128 + SIGHUP) << cli.exitCode();
    EXPECT_TRUE(cli.readAllStandardOutput().isEmpty());
}
