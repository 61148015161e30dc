#include "support/TempFolder.h"
#include "unit/FetchFixture.h"

#include <QFile>
#include <QRandomGenerator>

using namespace Qt::StringLiterals;

namespace {

QByteArray Picture(const QString& name)
{
    return FakeReply::File(FixturePath(u"pictures/"_s + name)).body;
}

// The picture with an EXIF block after its start that carries a thumbnail, a JPEG of its own.
QByteArray WithThumbnail(const QByteArray& jpeg)
{
    const QByteArray exif = QByteArray("Exif\0\0", 6) + jpeg;
    const qsizetype length = exif.size() + 2;
    return jpeg.left(2) + "\xFF\xE1" + char(length >> 8) + char(length & 0xFF) + exif + jpeg.mid(2);
}

FakeReply WithStatus(int status, FakeReply reply)
{
    reply.status = status;
    return reply;
}

// Sent without a length, cut at cut when it is not negative: the end of the connection is all
// the client sees.
FakeReply Closing(const QByteArray& body, qsizetype cut = -1)
{
    FakeReply reply = FakeReply::Ok(body, "image/jpeg").CloseDelimited();
    return cut < 0 ? reply : reply.CutAt(cut);
}

class PictureAcceptanceTest : public FakeServiceTest {};

TEST_F(PictureAcceptanceTest, OnlyAWholePictureIsSaved)
{
    const QByteArray jpeg = Picture(u"tiny.jpg"_s), png = Picture(u"tiny.png"_s), gif = Picture(u"tiny.gif"_s),
                     webp = Picture(u"tiny.webp"_s), thumbnailed = WithThumbnail(jpeg);
    QByteArray noise(30000, '\0');
    QRandomGenerator random(7);
    for (char& byte : noise)
        byte = char(random.bounded(256));
    FakeReply untyped;
    untyped.body = "Forbidden";
    const auto jpegWith = [&](int status) { return WithStatus(status, FakeReply::Ok(jpeg, "image/jpeg")); };
    const auto notPicture = [](int size, const QString& type) {
        return u"不是图片（%1字节，Content-Type %2）"_s.arg(QString::number(size), type);
    };
    const struct {
        const char* what;
        FakeReply reply;
        QString reason; // empty: saved
    } answers[] = {
        {"jpeg", FakeReply::Ok(jpeg, "image/jpeg"), {}},
        {"jpeg, bytes after its end", FakeReply::Ok(jpeg + "trailer", "image/jpeg"), {}},
        {"png", FakeReply::Ok(png, "image/png"), {}},
        {"png, bytes after its end", FakeReply::Ok(png + "trailer", "image/png"), {}},
        {"gif", FakeReply::Ok(gif, "image/gif"), {}},
        {"gif, bytes after its end", FakeReply::Ok(gif + "trailer", "image/gif"), {}},
        {"webp", FakeReply::Ok(webp, "image/webp"), {}},
        {"webp, bytes after its end", FakeReply::Ok(webp + "trailer", "image/webp"), {}},
        {"status 203", jpegWith(203), {}},
        {"json", FakeReply::Ok(R"({"code":403,"message":"access denied","request_id":"a1b2c3d4"})", "image/jpeg"),
         notPicture(62, u"image/jpeg"_s)},
        {"xml",
         FakeReply::Ok("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Error><Code>AccessDenied</Code><Message>"
                       "Access Denied</Message></Error>",
                       "image/jpeg"),
         notPicture(111, u"image/jpeg"_s)},
        {"word", FakeReply::Ok("Forbidden", "image/jpeg"), notPicture(9, u"image/jpeg"_s)},
        {"noise", FakeReply::Ok(noise, "image/jpeg"), notPicture(30000, u"image/jpeg"_s)},
        {"script", FakeReply::Ok("<script>location.href='/login'</script>", "text/html"),
         notPicture(39, u"text/html"_s)},
        {"comment", FakeReply::Ok("<!-- moved --><html></html>", "text/html"), notPicture(27, u"text/html"_s)},
        {"no type", untyped, notPicture(9, u"无"_s)},
        {"status 202", jpegWith(202), u"HTTP 202"_s},
        {"status 206", jpegWith(206), u"HTTP 206"_s},
        {"status 300", jpegWith(300), u"HTTP 300"_s},
        {"status 302 without Location", jpegWith(302), u"HTTP 302"_s},
        {"status 399", jpegWith(399), u"HTTP 399"_s},
        {"jpeg without length", Closing(jpeg), {}},
        {"jpeg with thumbnail without length", Closing(thumbnailed), {}},
        {"png without length, bytes after its end", Closing(png + "trailer"), {}},
        {"gif without length", Closing(gif), {}},
        {"cut jpeg", Closing(jpeg, jpeg.size() / 2), u"图片不完整"_s},
        {"cut after the thumbnail's end", Closing(thumbnailed, thumbnailed.size() - 10), u"图片不完整"_s},
        {"cut png", Closing(png, png.size() - 4), u"图片不完整"_s},
        {"cut gif", Closing(gif, gif.size() - 1), u"图片不完整"_s},
        {"webp shorter than it says", Closing(webp, webp.size() - 2), u"图片不完整"_s},
    };
    TempFolder folder;
    for (int i = 0; i < int(std::size(answers)); ++i) {
        const auto& answer = answers[i];
        const QByteArray target = '/' + QByteArray::number(i);
        service.Route("img.example.com", target, answer.reply);
        const QString path = folder.file(QString::number(i));
        Fetch fetch(u"http://img.example.com"_s + QString::fromLatin1(target), path);
        const bool saved = fetch.Send(FLAG_DECOMPRESS);
        EXPECT_EQ(saved ? QString() : fetch.response.FailureText(), answer.reason) << answer.what;
        QFile file(path);
        EXPECT_EQ(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray(),
                  saved ? answer.reply.body : QByteArray())
            << answer.what;
    }
}

} // namespace
