// The album.json a download with metadata writes into an album folder, and what a later run
// makes of it.
#include "download/DownloadDriver.h"
#include "run/RunController.h"
#include "support/AdapterTest.h"
#include "support/PictureHost.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace {
constexpr char kDate[] = "Sun, 06 Nov 2011 08:49:37 GMT";

class AlbumMetadataTest : public AdapterTest {
protected:
    AlbumMetadataTest()
    {
        ServiceExtras extras;
        extras.writeMetadata = true;
        EXPECT_TRUE(core.SetExtras(0, extras));
        CListing listing;
        listing.m_strService = u"qzone"_s;
        listing.m_strOwnerName = u"12345/"_s;
        listing.m_strAddress = u"http://user.qzone.qq.com/12345"_s;
        core.SetListing(listing);
        ST_PERLISTRECORD album;
        album.strName = u"旅行"_s;
        album.strAlbumId = u"V1a2"_s;
        album.nPicCount = 4;
        core.AddAlbumRecord(album);
    }
    // One album whose lister lists the pictures, each described as "第n张 <b>…</b>".
    void Run(const std::vector<int>& pictures)
    {
        const auto lister = [&pictures](CPhotoListing& target, int album) {
            for (int n : pictures)
                target.AddPicture(PictureUrl(n), u"第%1张 <b>a/b:c</b>"_s.arg(n), {}, album);
        };
        core.States().BeginDownload();
        ASSERT_TRUE(DownloadDriver(core, core.Listing(), saveRoot.path(), {0}, FillWith(lister)));
    }
    void Serve(int n, int size = 2048)
    {
        service.Route(kPictureHost, "/p/" + QByteArray::number(n) + ".jpg",
                      FakeReply::Ok(FakePicture(n, size), "image/jpeg").Header("Last-Modified", kDate));
    }
    QJsonObject Metadata(const QString& folder) const
    {
        QFile file(saveRoot.path() + folder + u"album.json"_s);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
        return QJsonDocument::fromJson(file.readAll()).object();
    }
    // The pictures of the file's only album, by address.
    static QHash<QString, QJsonObject> Pictures(const QJsonObject& file)
    {
        QHash<QString, QJsonObject> pictures;
        const QJsonArray albums = file[u"albums"_s].toArray();
        EXPECT_EQ(albums.size(), 1);
        for (const QJsonValue& picture : albums.first()[u"pictures"_s].toArray())
            pictures.insert(picture[u"address"_s].toString(), picture.toObject());
        return pictures;
    }
};
} // namespace

TEST_F(AlbumMetadataTest, DescribesTheAlbumAndEveryPictureAndMergesALaterRun)
{
    Serve(1, 3000);
    Serve(3);
    service.Route(kPictureHost, "/p/2.jpg", FakeReply::Status(404));
    Run({1, 2, 3});

    const QJsonObject file = Metadata(u"12345/旅行/"_s);
    EXPECT_EQ(file[u"service"_s].toString(), u"qzone"_s);
    EXPECT_EQ(file[u"owner"_s].toString(), u"12345"_s);
    EXPECT_EQ(file[u"pageAddress"_s].toString(), u"http://user.qzone.qq.com/12345"_s);
    const QJsonObject album = file[u"albums"_s][0].toObject();
    EXPECT_EQ(album[u"name"_s].toString(), u"旅行"_s);
    EXPECT_EQ(album[u"id"_s].toString(), u"V1a2"_s);
    EXPECT_EQ(album[u"countShown"_s].toInt(), 4);

    QHash<QString, QJsonObject> pictures = Pictures(file);
    ASSERT_EQ(pictures.size(), 3);
    const QJsonObject first = pictures[PictureUrl(1)];
    const QString firstName = first[u"file"_s].toString();
    EXPECT_TRUE(QFile::exists(saveRoot.path() + u"12345/旅行/"_s + firstName)) << firstName.toStdString();
    // The description as the page gave it; the file name is the cleaned one.
    EXPECT_EQ(first[u"description"_s].toString(), u"第1张 <b>a/b:c</b>"_s);
    EXPECT_FALSE(firstName.contains(u'/'));
    EXPECT_EQ(first[u"bytes"_s].toInteger(), 3000);
    EXPECT_EQ(first[u"lastModified"_s].toString(), QLatin1String(kDate));
    EXPECT_EQ(first[u"contentType"_s].toString(), u"image/jpeg"_s);
    EXPECT_EQ(first[u"state"_s].toString(), u"saved"_s);
    const QJsonObject failed = pictures[PictureUrl(2)];
    EXPECT_EQ(failed[u"state"_s].toString(), u"failed"_s);
    EXPECT_EQ(failed[u"reason"_s].toString(), u"HTTP 404"_s);
    EXPECT_FALSE(failed.contains(u"bytes"_s));
    // The metadata file is no picture: it is not in the album's count.
    EXPECT_EQ(frontEnd.LastRun().total, 3);

    // A later run lists a new picture and the failed one, but not the first: the first stays as
    // it was, the failed one is now saved, and the third, already on disk, keeps what the
    // first run learned of it.
    Serve(2);
    Serve(4);
    Run({4, 2, 3});
    pictures = Pictures(Metadata(u"12345/旅行/"_s));
    ASSERT_EQ(pictures.size(), 4);
    EXPECT_EQ(pictures[PictureUrl(1)], first);
    EXPECT_EQ(pictures[PictureUrl(2)][u"state"_s].toString(), u"saved"_s);
    EXPECT_FALSE(pictures[PictureUrl(2)].contains(u"reason"_s));
    EXPECT_EQ(pictures[PictureUrl(3)][u"state"_s].toString(), u"saved"_s);
    EXPECT_EQ(pictures[PictureUrl(3)][u"lastModified"_s].toString(), QLatin1String(kDate));
    EXPECT_EQ(pictures[PictureUrl(4)][u"state"_s].toString(), u"saved"_s);
}

TEST_F(AlbumMetadataTest, APictureNamedLikeTheMetadataFileNeverTakesItsPlace)
{
    Serve(1);
    Serve(2);
    // A file of that name the user kept there is moved aside, not lost.
    ASSERT_TRUE(QDir().mkpath(saveRoot.path() + u"out"_s));
    QFile notes(saveRoot.path() + u"out/album.json"_s);
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("my notes");
    notes.close();
    const QString list = saveRoot.path() + u"list.lst"_s;
    QFile file(list);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write((PictureUrl(1) + u"\n  out=ALBUM.JSON\n"_s + PictureUrl(2) + u"\n  out=album.json\n"_s).toUtf8());
    file.close();
    CRunController runs(core);
    runs.OnImport(list, saveRoot.path() + u"out/"_s);
    runs.Wait();

    const QHash<QString, QJsonObject> pictures = Pictures(Metadata(u"out/"_s));
    ASSERT_EQ(pictures.size(), 2);
    for (int n : {1, 2}) {
        const QString name = pictures[PictureUrl(n)][u"file"_s].toString();
        EXPECT_NE(name.toLower(), u"album.json"_s);
        QFile saved(saveRoot.path() + u"out/"_s + name);
        ASSERT_TRUE(saved.open(QIODevice::ReadOnly)) << name.toStdString();
        EXPECT_EQ(saved.readAll(), FakePicture(n));
    }
    EXPECT_EQ(SavedBytes(u"out/album.json.bak"_s), "my notes");
}

TEST_F(AlbumMetadataTest, ARunKeepsTheChoiceItStartedWith)
{
    // Ticked in the dialog while the first album is listed: the run writes no file at all,
    // rather than one that says its saved pictures were not tried.
    ASSERT_TRUE(core.SetExtras(0, {}));
    ST_PERLISTRECORD second;
    second.strName = u"第二"_s;
    core.AddAlbumRecord(second);
    Serve(1);
    Serve(2);
    const auto lister = [this](CPhotoListing& target, int album) {
        if (album == 0) {
            ServiceExtras extras;
            extras.writeMetadata = true;
            core.SetExtras(0, extras);
        }
        target.AddPicture(PictureUrl(album + 1), u"p"_s, {}, album);
    };
    core.States().BeginDownload();
    ASSERT_TRUE(DownloadDriver(core, core.Listing(), saveRoot.path(), {0, 1}, FillWith(lister)));
    EXPECT_EQ(frontEnd.LastRun().saved, 2);
    EXPECT_FALSE(QFile::exists(saveRoot.path() + u"12345/第二/album.json"_s));
    EXPECT_FALSE(QFile::exists(saveRoot.path() + u"12345/旅行/album.json"_s));
}
