// The habits scripts rely on: --version, one-line usage errors, --quiet, --verbose and the
// --json summary of a download, checked against the files on disk.
#include "sources/QzoneRoutes.h"
#include "support/CliTest.h"
#include "support/AdapterTest.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {
class CliConventionsTest : public CliTest {
protected:
    CliConventionsTest() { QzoneFake::Serve(service); }
    QStringList Download(const QStringList& extra = {})
    {
        return QStringList{u"download"_s, u"12345678"_s, u"--albums"_s, u"1"_s, u"--save-dir"_s, saveDir.path()} +
               extra;
    }
    QString AlbumFolder() const { return saveDir.path() + u"12345678/旅行 2012/"_s; }
};
} // namespace

TEST_F(CliConventionsTest, VersionAndUsageErrorsAreOneLine)
{
    const ChildResult version = Cli({u"--version"_s});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(QRegularExpression(u"^talvoria-cli \\d+\\.\\d+(\\.\\d+)?\n$"_s)
                    .match(QString::fromUtf8(version.out))
                    .hasMatch())
        << version.out.toStdString();

    const QList<QStringList> wrong{{},
                                   {u"frobnicate"_s},
                                   {u"albums"_s},
                                   {u"albums"_s, u"1"_s, u"2"_s},
                                   {u"albums"_s, u"1"_s, u"--frob"_s},
                                   {u"services"_s, u"--json"_s},
                                   {u"albums"_s, u"1"_s, u"--service"_s},
                                   {u"albums"_s, u"1"_s, u"--service"_s, u"nosuch"_s},
                                   {u"settings"_s, u"nosuch=1"_s},
                                   {u"albums"_s, u"1"_s, u"--yes"_s},
                                   {u"-q"_s, u"download"_s, u"12345678"_s, u"--albums"_s, u"9"_s},
                                   {u"--sleep-request"_s, u"-1"_s, u"services"_s},
                                   {u"--max-per-host"_s, u"16"_s, u"services"_s},
                                   {u"--limit-rate"_s, u"fast"_s, u"services"_s},
                                   {u"--limit-rate"_s, u"0.5"_s, u"services"_s}};
    for (const QStringList& arguments : wrong) {
        const ChildResult run = Cli(arguments);
        const QString where = arguments.join(u' ');
        EXPECT_EQ(run.exitCode, 2) << where.toStdString();
        EXPECT_TRUE(run.out.isEmpty()) << where.toStdString();
        const QString err = QString::fromUtf8(run.err);
        EXPECT_EQ(err.count(u'\n'), 1) << where.toStdString() << ": " << run.err.toStdString();
        EXPECT_TRUE(err.startsWith(u"talvoria-cli: "_s)) << run.err.toStdString();
        EXPECT_TRUE(err.endsWith(u"Try 'talvoria-cli --help' for more information.\n"_s)) << run.err.toStdString();
    }
    // What is wrong is named.
    EXPECT_TRUE(Cli({u"frobnicate"_s}).err.contains("'frobnicate'"));
    EXPECT_TRUE(Cli({u"albums"_s, u"1"_s, u"--frob"_s}).err.contains("frob"));
    EXPECT_TRUE(Cli({u"services"_s, u"--json"_s}).err.contains("--json"));

    // Options may be written with "=", and short ones compacted.
    const ChildResult settings = Cli({u"-q"_s, u"settings"_s, u"--service=renren"_s});
    EXPECT_EQ(settings.exitCode, 0) << settings.err.toStdString();
    EXPECT_TRUE(settings.out.contains("nThreads="));
    EXPECT_EQ(Cli({u"-qv"_s, u"services"_s}).exitCode, 2); // quiet and verbose exclude each other
    EXPECT_EQ(Cli({u"--sleep-request=0.5"_s, u"--max-per-host=2"_s, u"--limit-rate=500K"_s, u"-q"_s, u"services"_s})
                  .exitCode,
              0);

    const ChildResult help = Cli({u"--help"_s});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* word : {"--quiet", "--verbose", "--version", "--json", "download ADDRESS", "fetch LIST"})
        EXPECT_TRUE(help.out.contains(word)) << word;
}

TEST_F(CliConventionsTest, JsonSummaryAgreesWithTheFilesOnDisk)
{
    service.Route("b1.photo.store.qq.com", "/psb?/V10pub/2.jpg", FakeReply::Status(404, "<html>gone</html>"));
    const ChildResult run = Cli(Download({u"--json"_s}));
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 4) << run.err.toStdString();
    QJsonParseError error{};
    const QJsonObject summary = QJsonDocument::fromJson(run.out, &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << run.out.toStdString();
    EXPECT_EQ(summary[u"saved"_s].toInt(), 2);
    EXPECT_EQ(summary[u"failed"_s].toInt(), 1);
    EXPECT_EQ(summary[u"skipped"_s].toInt(), 0);
    EXPECT_EQ(summary[u"total"_s].toInt(), 3);
    const QJsonArray albums = summary[u"albums"_s].toArray();
    ASSERT_EQ(albums.size(), 1);
    const QJsonObject album = albums[0].toObject();
    EXPECT_EQ(QDir(album[u"folder"_s].toString()).absolutePath(), QDir(AlbumFolder()).absolutePath());
    const QStringList pictures = QDir(AlbumFolder()).entryList({u"*.jpg"_s}, QDir::Files);
    EXPECT_EQ(album[u"saved"_s].toInt(), pictures.size());
    const QJsonArray failures = album[u"failures"_s].toArray();
    ASSERT_EQ(failures.size(), 1);
    EXPECT_EQ(failures[0].toObject()[u"name"_s].toString(), u"日落.jpg"_s);
    EXPECT_TRUE(failures[0].toObject()[u"reason"_s].toString().contains(u"404"_s));
    EXPECT_FALSE(pictures.contains(u"日落.jpg"_s));

    // Again with the picture back: the two on disk are skipped, the missing one saved.
    service.Route("b1.photo.store.qq.com", "/psb?/V10pub/2.jpg", FakeReply::Ok(FakePicture(2), "image/jpeg"));
    const ChildResult again = Cli(Download({u"--json"_s}));
    EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
    const QJsonObject second = QJsonDocument::fromJson(again.out).object()[u"albums"_s].toArray()[0].toObject();
    EXPECT_EQ(second[u"saved"_s].toInt(), 1);
    EXPECT_EQ(second[u"skipped"_s].toInt(), 2);
    EXPECT_EQ(second[u"failed"_s].toInt(), 0);
    EXPECT_EQ(QDir(AlbumFolder()).entryList({u"*.jpg"_s}, QDir::Files).size(), 3);
}

TEST_F(CliConventionsTest, QuietPrintsOnlyErrorsAndVerboseEachRequest)
{
    const ChildResult quiet = Cli(Download({u"--quiet"_s}));
    EXPECT_EQ(quiet.exitCode, 0);
    EXPECT_TRUE(quiet.err.isEmpty()) << quiet.err.toStdString();
    EXPECT_EQ(QDir(AlbumFolder()).entryList({u"*.jpg"_s}, QDir::Files).size(), 3);

    // A picture that fails is an error: named even when quiet.
    QDir(AlbumFolder()).removeRecursively();
    service.Route("b1.photo.store.qq.com", "/psb?/V10pub/3.jpg", FakeReply::Status(404, "gone"));
    const ChildResult failed = Cli(Download({u"-q"_s}));
    EXPECT_EQ(failed.exitCode, 4);
    EXPECT_EQ(QString::fromUtf8(failed.err).trimmed(), u"失败 海边 (1).jpg: HTTP 404"_s) << failed.err.toStdString();

    const ChildResult verbose = Cli(Download({u"-v"_s}));
    EXPECT_TRUE(verbose.err.contains("GET http://b1.photo.store.qq.com/psb?/V10pub/3.jpg -> 404\n"))
        << verbose.err.toStdString();
    EXPECT_TRUE(verbose.err.contains("GET http://alist.photo.qq.com/fcgi-bin/fcg_list_album_v2"));
    EXPECT_TRUE(verbose.err.contains("已保存")); // the usual lines stay
}

TEST_F(CliConventionsTest, SettingsThatCannotWorkOrCannotBeKeptAreRefused)
{
    struct Row {
        QStringList assignments;
        const char* fault; // empty: taken
    };
    const Row rows[] = {
        {{u"nMinKB=100"_s, u"nMaxKB=10"_s}, "参数错误：nMaxKB 应为 0（不限）或 100~65535"},
        {{u"nOptions=128"_s}, "参数错误：nOptions 应为 0~127"},
        {{u"nOptions=255"_s}, "参数错误：nOptions 应为 0~127"},
        {{u"szPrefix="_s + QString(39, u'p')}, "参数错误：szPrefix 最多 38 个字符"},
        {{u"nTimeout=ten"_s}, "参数错误：nTimeout 应为数字"},
        // The four numbers are judged together: a minimum above the old maximum is fine when
        // the new maximum comes with it.
        {{u"nMaxKB=50"_s}, ""},
        {{u"nMinKB=100"_s, u"nMaxKB=200"_s, u"szPrefix="_s + QString(38, u'p')}, ""},
    };
    for (const Row& row : rows) {
        const ChildResult run = Cli(QStringList{u"settings"_s} + row.assignments);
        const std::string where = row.assignments.join(u' ').toStdString();
        if (*row.fault == 0) {
            EXPECT_EQ(run.exitCode, 0) << where << run.err.toStdString();
            continue;
        }
        EXPECT_EQ(run.exitCode, 1) << where;
        EXPECT_TRUE(run.err.contains(row.fault)) << where << ": " << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty()) << where;
    }
    const ChildResult kept = Cli({u"settings"_s});
    EXPECT_TRUE(kept.out.contains("nMinKB=100\nnMaxKB=200\n")) << kept.out.toStdString();
    EXPECT_TRUE(kept.out.contains("nOptions=0\n"));

    // A settings file that cannot be written: told, and not printed as if kept.
    QFile::remove(appDir.file(u"soft.dat"_s));
    ASSERT_TRUE(QDir(appDir.path()).mkdir(u"soft.dat"_s));
    const ChildResult unsaved = Cli({u"settings"_s, u"nThreads=3"_s});
    EXPECT_EQ(unsaved.exitCode, 1);
    EXPECT_TRUE(unsaved.err.contains("无法保存设置文件")) << unsaved.err.toStdString();
    EXPECT_TRUE(unsaved.out.isEmpty());
}
