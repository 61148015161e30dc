// talvoria-cli run as a user runs it, against the fake Sina blog reached through http_proxy.
#include "sources/SinaBlogRoutes.h"
#include "support/CliTest.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {
class CliSinaBlogTest : public CliTest {
protected:
    CliSinaBlogTest() { SinaBlogFake::Serve(service); }
};
} // namespace

TEST_F(CliSinaBlogTest, ListsPhotoCategoriesThenDownloadsOne)
{
    const QJsonArray albums = AlbumsJson(u"http://blog.sina.com.cn/lanxi"_s);
    ASSERT_EQ(albums.size(), 2);
    const QJsonObject lake = albums[0].toObject();
    EXPECT_EQ(lake[u"name"_s].toString(), u"湖光山色"_s);
    EXPECT_EQ(lake[u"id"_s].toString(), u"http://photo.blog.sina.com.cn/category/u/1650000001/s/101"_s);
    EXPECT_EQ(lake[u"count"_s].toInt(), 3);
    EXPECT_EQ(albums[1].toObject()[u"name"_s].toString(), u"家人 Family"_s);

    const ChildResult run = Cli(
        {u"download"_s, u"http://blog.sina.com.cn/lanxi"_s, u"--albums"_s, u"1"_s, u"--save-dir"_s, saveDir.path()});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString folder = saveDir.path() + u"蓝溪的博客/湖光山色/"_s;
    const QStringList files = QDir(folder).entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(files.size(), 3) << files.join(u'|').toStdString();
    const auto bytesOf = [&folder](const QString& name) {
        QFile file(folder + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    EXPECT_EQ(bytesOf(u"湖边的早晨.jpg"_s), FakePicture(1));
    EXPECT_EQ(bytesOf(u"山顶.jpg"_s), FakePicture(3));
    // The untitled picture gets a time-stamp name.
    for (const QString& name : files)
        if (name != u"湖边的早晨.jpg"_s && name != u"山顶.jpg"_s) {
            EXPECT_TRUE(QRegularExpression(u"^\\d{14}\\.jpg$"_s).match(name).hasMatch()) << name.toStdString();
            EXPECT_EQ(bytesOf(name), FakePicture(2));
        }
    EXPECT_EQ(QDir(saveDir.path() + u"蓝溪的博客"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList{u"湖光山色"_s});
    EXPECT_TRUE(run.err.contains("下载完毕"));
}
