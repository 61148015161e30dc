// talvoria-cli run as a user runs it, against the fake Taobao shop through http_proxy.
#include "sources/TaobaoRoutes.h"
#include "support/AdapterTest.h"
#include "support/CliTest.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace {
class CliTaobaoTest : public CliTest {
protected:
    CliTaobaoTest() { TaobaoFake::Serve(service); }
};
} // namespace

TEST_F(CliTaobaoTest, ListsAShopThenDownloadsItemsPastAnUnreadableOne)
{
    const QString shop = u"http://mengshop.taobao.com/"_s;
    const QJsonArray items = AlbumsJson(shop);
    ASSERT_EQ(items.size(), 5);
    const QJsonObject dress = items[0].toObject();
    EXPECT_EQ(dress[u"name"_s].toString(), u"碎花连衣裙"_s);
    EXPECT_EQ(dress[u"id"_s].toString(), u"http://item.taobao.com/item.htm?id=1001"_s);
    EXPECT_EQ(dress[u"count"_s].toInt(), -1);
    EXPECT_EQ(items[2].toObject()[u"name"_s].toString(), u"草编帽"_s);

    // Item 3 cannot be read: the command line prints the message and goes on with item 1.
    const ChildResult run = Cli({u"download"_s, shop, u"--albums"_s, u"3,1"_s, u"--save-dir"_s, saveDir.path()});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("获取信息出错(2)")) << run.err.toStdString();
    EXPECT_TRUE(QFile::exists(appDir.path() + u"log.err"_s));
    EXPECT_FALSE(QFile::exists(saveDir.path() + u"log.err"_s));

    const QString root = saveDir.path() + u"萌萌小店/所有分类夏季新款/"_s;
    EXPECT_EQ(QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{u"碎花连衣裙"_s});
    const QStringList expected{u"碎花连衣裙_价格89。00元 (1).jpg"_s, u"碎花连衣裙_价格89。00元.jpg"_s};
    EXPECT_EQ(QDir(root + u"碎花连衣裙/"_s).entryList(QDir::Files, QDir::Name), expected);
    for (const auto& [name, seed] : {std::pair{expected[1], 11}, std::pair{expected[0], 12}}) {
        QFile file(root + u"碎花连衣裙/"_s + name);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        EXPECT_EQ(file.readAll(), FakePicture(seed));
    }
    EXPECT_TRUE(run.err.contains("下载完毕"));
}
