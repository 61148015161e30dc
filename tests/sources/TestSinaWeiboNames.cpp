// Hostile album and picture names through the Sina Weibo adapter: captions that differ only in
// a lone surrogate, and pages carrying NUL, terminal escapes and bidirectional overrides.
#include "support/AdapterTest.h"
#include "support/CliTest.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace {
constexpr char kPhotoHost[] = "photo.weibo.com";
const QString kHome = u"http://weibo.com/u/1234567890"_s;
const QChar kReplacement = QChar::ReplacementCharacter;

QByteArray FixtureBytes(const QString& name)
{
    QFile file(FixturePath(u"sinaweibo/"_s + name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The owner's home page, the album list of the fixture and, for every album, the same photo
// page; the pictures it names are served with seeds 1 to pictureCount.
void ServeWeibo(FakeService& service, const QString& home, const QString& albums, const QString& photos,
                const QByteArray& picturePrefix, int pictureCount)
{
    service.Route("weibo.com", "/u/1234567890", FakeReply::Ok(FixtureBytes(home)));
    const char* json = "application/json; charset=utf-8";
    service.Route(kPhotoHost, "/albums/get_all", FakeReply::Ok(FixtureBytes(albums), json));
    service.Route(kPhotoHost, "/photos/get_all", FakeReply::Ok(FixtureBytes(photos), json));
    for (int i = 1; i <= pictureCount; ++i)
        service.Route("ww1.sinaimg.cn", "/large/" + picturePrefix + QByteArray::number(i) + ".jpg",
                      FakeReply::Ok(FakePicture(i), "image/jpeg"));
}

void ServeSurrogates(FakeService& service)
{
    ServeWeibo(service, u"home-spaced.html"_s, u"albums-surrogates.json"_s, u"photos-surrogates.json"_s, "s", 10);
}

void ServeControls(FakeService& service)
{
    ServeWeibo(service, u"home-controls.html"_s, u"albums-controls.json"_s, u"photos-controls.json"_s, "k", 3);
}

// What a terminal would obey rather than show. Written apart from the code under test; tabs and
// line feeds are allowed where the output's own layout uses them.
bool IsRawControl(QChar c, bool layout)
{
    const char16_t u = c.unicode();
    if (layout && (u == u'\t' || u == u'\n')) return false;
    return u < 0x20 || (u >= 0x7F && u <= 0x9F) || (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069) ||
           c.isSurrogate();
}

QString RawControlsIn(const QString& text, bool layout)
{
    QString found;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        // A proper surrogate pair is one character.
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
            continue;
        }
        if (IsRawControl(c, layout)) found += QString::asprintf("U+%04X ", unsigned(c.unicode()));
    }
    return found;
}

QStringList FilesUnder(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next().mid(folder.size());
    files.sort();
    return files;
}

const QStringList kControlAlbumNames{u"前后"_s, u"[31mred[0m"_s, u"gnp\u3002exe"_s, u"[32mesc"_s, u"c1x"_s, u"last"_s};
const QStringList kControlPictureNames{u"ab.jpg"_s, u"[31mred.jpg"_s, u"gnp\u3002exe.jpg"_s};
const QString kControlOwner = u"]0;pwned小明 Ming/"_s;

class CliSinaWeiboNamesTest : public CliTest {};
} // namespace

TEST_F(CliSinaWeiboNamesTest, CaptionsDifferingOnlyInLoneSurrogatesGetThreeFoldersOfTenPictures)
{
    ServeSurrogates(service);
    const ChildResult run = Cli({u"download"_s, kHome, u"--albums"_s, u"1-3"_s, u"--save-dir"_s, saveDir.path()});
    ASSERT_TRUE(run.finished);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();

    const QString owner = saveDir.path() + u"小明 Ming/"_s;
    const QString album = u"旅行"_s + kReplacement;
    const QString sea = u"海"_s + kReplacement;
    const QStringList pictures{sea + u".jpg"_s,     sea + u" (1).jpg"_s, sea + u" (2).jpg"_s, sea + u" (3).jpg"_s,
                               sea + u" (4).jpg"_s, u"😀.jpg"_s,          u"p7.jpg"_s,         u"p8.jpg"_s,
                               u"p9.jpg"_s,         u"p10.jpg"_s};
    for (const QString& folder : {album, album + u" (1)"_s, album + u" (2)"_s}) {
        const QDir dir(owner + folder);
        ASSERT_TRUE(dir.exists()) << folder.toStdString();
        EXPECT_EQ(dir.entryList(QDir::Files).size(), 10) << folder.toStdString();
        for (int i = 0; i < pictures.size(); ++i) {
            QFile file(dir.filePath(pictures[i]));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << (folder + u'/' + pictures[i]).toStdString();
            EXPECT_EQ(file.readAll(), FakePicture(i + 1)) << (folder + u'/' + pictures[i]).toStdString();
        }
    }
    EXPECT_EQ(QDir(owner).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 3);
    EXPECT_EQ(FilesUnder(owner).filter(u".jpg"_s).size(), 30);
    EXPECT_TRUE(RawControlsIn(QString::fromUtf8(run.err), true).isEmpty());
}

TEST_F(CliSinaWeiboNamesTest, ControlsInThePageReachNeitherTheDiskNorTheTerminal)
{
    ServeControls(service);
    const ChildResult list = Cli({u"albums"_s, kHome});
    ASSERT_TRUE(list.finished);
    ASSERT_EQ(list.exitCode, 0) << list.err.toStdString();
    const QStringList lines = QString::fromUtf8(list.out).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), kControlAlbumNames.size()) << list.out.toStdString();
    for (qsizetype i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i].section(u'\t', 1, 1), kControlAlbumNames[i]);
    EXPECT_EQ(RawControlsIn(QString::fromUtf8(list.out + list.err), true), QString());

    // JSON escapes what its writer would have left raw, and a reader gets the page's text back.
    const ChildResult json = Cli({u"albums"_s, kHome, u"--json"_s});
    ASSERT_TRUE(json.finished);
    EXPECT_EQ(RawControlsIn(QString::fromUtf8(json.out), true), QString());
    const QJsonArray albums = QJsonDocument::fromJson(json.out).array();
    ASSERT_EQ(albums.size(), kControlAlbumNames.size());
    EXPECT_EQ(albums[0].toObject()[u"name"_s].toString(), kControlAlbumNames[0]);
    EXPECT_EQ(albums[5].toObject()[u"cover"_s].toString(),
              u"http://ww1.sinaimg.cn/thumb300/"_s + QChar(0x202E) + QChar(0x9B) + u"cov.jpg"_s);

    const ChildResult run = Cli({u"download"_s, kHome, u"--albums"_s, u"1-6"_s, u"--save-dir"_s, saveDir.path()});
    ASSERT_TRUE(run.finished);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QStringList expected;
    for (const QString& album : kControlAlbumNames)
        for (const QString& picture : kControlPictureNames)
            expected << kControlOwner + album + u'/' + picture;
    QStringList saved = FilesUnder(saveDir.path()).filter(u".jpg"_s);
    expected.sort();
    EXPECT_EQ(saved, expected);
    for (const QString& path : FilesUnder(saveDir.path()))
        EXPECT_EQ(RawControlsIn(path, false), QString()) << path.toStdString();
    EXPECT_EQ(RawControlsIn(QString::fromUtf8(run.out + run.err), true), QString()) << run.err.toStdString();
}
