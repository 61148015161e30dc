// A download accounts for every album it was given: one whose listing fails is a failed album
// with its cause, and a retry of the run's summary fetches exactly what is missing.
#include "sources/MokoRoutes.h"
#include "support/CliTest.h"

#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace {
class AlbumOutcomesTest : public CliTest {
protected:
    AlbumOutcomesTest() { MokoFake::Serve(service); }
    const QString address = u"http://www.moko.cc/alice/"_s;
};

QJsonObject JsonOf(const ChildResult& run)
{
    return QJsonDocument::fromJson(run.out).object();
}
} // namespace

TEST_F(AlbumOutcomesTest, PhotoPagesThatFailMakeFailedAlbumsAndARetryFetchesOnlyThem)
{
    // Albums 2-5 show 12 + 1 + 8 + 2 pictures, and their post pages are not there (404).
    QStringList posts;
    for (const QJsonValue& album : AlbumsJson(address))
        posts << album.toObject()[u"id"_s].toString();
    ASSERT_EQ(posts.size(), 5);
    const ChildResult run =
        Cli({u"download"_s, address, u"--albums"_s, u"1-5"_s, u"--save-dir"_s, saveDir.path(), u"--json"_s});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 4) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("共3张图片：已保存3张，失败0张，跳过0张，用时")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("4个图集未能完整下载"));
    EXPECT_TRUE(run.err.contains("\n  山：图集列表获取失败：HTTP 404"));

    const QJsonObject summary = JsonOf(run);
    const QJsonArray albums = summary[u"albums"_s].toArray();
    ASSERT_EQ(albums.size(), 5);
    const int declared[] = {3, 12, 1, 8, 2};
    for (int i = 0; i < 5; ++i) {
        const QJsonObject album = albums[i].toObject();
        SCOPED_TRACE(i);
        EXPECT_EQ(album[u"number"_s].toInt(), i + 1);
        EXPECT_EQ(album[u"declared"_s].toInt(), declared[i]);
        EXPECT_EQ(album[u"listed"_s].toInt(), i == 0 ? 3 : 0);
        EXPECT_EQ(album[u"saved"_s].toInt(), i == 0 ? 3 : 0);
        EXPECT_EQ(album[u"listing_error"_s],
                  i == 0 ? QJsonValue(QJsonValue::Null) : QJsonValue(u"图集列表获取失败：HTTP 404"_s));
    }
    for (const auto& [field, value] : {std::pair{"declared", 26}, {"listed", 3}, {"saved", 3}, {"failed", 0},
                                       {"skipped", 0}, {"not_tried", 0}})
        EXPECT_EQ(summary[QLatin1String(field)].toInt(), value) << field;

    // The posts appear; the retry asks only for them, and album 1 is left alone.
    for (int i = 1; i < 5; ++i)
        MokoFake::ServeFixture(service, posts[i].toUtf8(), "post-1001.html");
    TempFolder previous;
    const QString summaryFile = previous.file(u"run.json"_s);
    QFile file(summaryFile);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(run.out);
    file.close();
    service.ClearRequests();
    const ChildResult retry = Cli(
        {u"download"_s, address, u"--retry-failed"_s, summaryFile, u"--save-dir"_s, saveDir.path(), u"--json"_s});
    EXPECT_EQ(retry.exitCode, 0) << retry.err.toStdString();
    EXPECT_TRUE(service.RequestsFor(MokoFake::kHost, posts[0].toUtf8()).isEmpty());
    for (int i = 1; i < 5; ++i)
        EXPECT_EQ(service.RequestsFor(MokoFake::kHost, posts[i].toUtf8()).size(), 1) << i;
    const QJsonObject again = JsonOf(retry);
    EXPECT_EQ(again[u"albums"_s].toArray().size(), 4);
    EXPECT_EQ(again[u"saved"_s].toInt(), 12);

    // Albums 2 and 4 showed more pictures than their pages hold: short, and retried again, while
    // 3 and 5 are complete. A file that is no summary is refused.
    EXPECT_TRUE(retry.err.contains("2个图集未能完整下载")) << retry.err.toStdString();
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(retry.out);
    file.close();
    service.ClearRequests();
    const ChildResult shortOnes = Cli({u"download"_s, address, u"--retry-failed"_s, summaryFile});
    EXPECT_EQ(shortOnes.exitCode, 0) << shortOnes.err.toStdString();
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(service.RequestsFor(MokoFake::kHost, posts[i].toUtf8()).size(), i == 1 || i == 3 ? 1 : 0) << i;
    EXPECT_EQ(Cli({u"download"_s, address, u"--retry-failed"_s, previous.file(u"missing.json"_s)}).exitCode, 2);
}
