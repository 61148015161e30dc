#include "WindowTest.h"

#include "MyCode/CodePageConverter.h"
#include "app/ComboBox2.h"
#include "core/LumarexCore.h"
#include "support/AdapterTest.h"

#include <QAbstractButton>
#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <chrono>
#include <thread>

using namespace Qt::StringLiterals;

WindowTest::WindowTest()
{
    service.Route("route.store.qq.com", "/GetRoute", FakeReply::File(FixturePath(u"qzone/route.json"_s)));
    service.Route("alist.photo.qq.com", "/fcgi-bin/fcg_list_album_v2",
                  FakeReply::File(FixturePath(u"qzone/albums.jsonp"_s)));
    // Every album lists the three pictures of the public one, from either photo-list host.
    service.Route("szplist.photo.qq.com", "/fcgi-bin/fcg_list_photo_v2",
                  FakeReply::File(FixturePath(u"qzone/photos-public.jsonp"_s)));
    service.Route("sznu.photo.qq.com", "/cgi-bin/common/cgi_view_album_v2",
                  FakeReply::File(FixturePath(u"qzone/photos-public.jsonp"_s)));
    for (int i = 1; i <= 3; ++i)
        service.Route("b1.photo.store.qq.com", "/psb?/V10pub/" + QByteArray::number(i) + ".jpg",
                      FakeReply::Ok(FakePicture(i), "image/jpeg"));
}

WindowTest::~WindowTest()
{
    window.reset();
    QCoreApplication::processEvents();
}

void WindowTest::StartWindow()
{
    window = std::make_unique<CLumarexDlg>(appDir.path());
    window->Start();
    ASSERT_TRUE(WaitFor([this] { return window->Core().m_bReady.load(); }));
    Control<CComboBox2>(u"1000"_s)->setEditText(saveDir.path());
}

void WindowTest::ServeAlbums(const QStringList& names)
{
    // The service answers in GBK.
    QByteArray list = "_Callback(\n{\n\t\"code\":0,\n\t\"data\" : {\n\t\t\"albumListModeSort\" : [\n";
    for (int i = 0; i < names.size(); ++i) {
        const QByteArray id = "V10a" + QByteArray::number(i);
        list += "\t\t\t{\n\t\t\t\t\"allowAccess\" : 1,\n\t\t\t\t\"id\" : \"" + id + "\",\n\t\t\t\t\"name\" : \"" +
                CodePageConverter::Encode(names[i], 936) +
                "\",\n\t\t\t\t\"pre\" : \"http:\\/\\/b1.photo.store.qq.com\\/psb?\\/" + id +
                "\\/cover.jpg\",\n\t\t\t\t\"priv\" : 1,\n\t\t\t\t\"total\" : 3,\n\t\t\t\t\"viewtype\" : 0\n\t\t\t}" +
                (i + 1 < names.size() ? ",\n" : "\n");
    }
    list += "\t\t]\n\t},\n\t\"message\":\"\"\n}\n);\n";
    service.Route("alist.photo.qq.com", "/fcgi-bin/fcg_list_album_v2", FakeReply::Ok(list, "text/html; charset=gbk"));
}

void WindowTest::ServeCovers(int delayMs)
{
    service.Route("b1.photo.store.qq.com", "/psb?/V10a*", [delayMs](const FakeRequest& request) {
        if (delayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        return FakeReply::Ok(CoverJpeg(int(request.target.size() * 37)), "image/jpeg");
    });
}

void WindowTest::ServeSlowPictures()
{
    for (int i = 1; i <= 3; ++i)
        service.Route("b1.photo.store.qq.com", "/psb?/V10pub/" + QByteArray::number(i) + ".jpg",
                      FakeReply::Ok(FakePicture(i), "image/jpeg").PauseAt(100, 3000));
}

QString WindowTest::Text(const QString& id) const
{
    QObject* control = window->findChild<QObject*>(id);
    if (auto* label = qobject_cast<QLabel*>(control)) return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(control)) return button->text();
    if (auto* group = qobject_cast<QGroupBox*>(control)) return group->title();
    if (auto* combo = qobject_cast<QComboBox*>(control)) return combo->currentText();
    return {};
}

void WindowTest::Click(const QString& id)
{
    auto* button = Control<QAbstractButton>(id);
    ASSERT_NE(button, nullptr) << id.toStdString();
    button->click();
}

void WindowTest::TypeAddress(const QString& text)
{
    QLineEdit* edit = Control<QComboBox>(u"1001"_s)->lineEdit();
    edit->clear();
    QTest::keyClicks(edit, text);
}

void WindowTest::GetAlbums(const QString& address)
{
    TypeAddress(address);
    Click(u"1004"_s);
    ASSERT_TRUE(WaitFor([this] {
        if (window->Core().States().IsListing()) return false;
        // The listing posts its rows and texts before it ends; until they are delivered the
        // window may still show the previous listing's texts.
        QCoreApplication::sendPostedEvents();
        return Text(u"1004"_s) == u"获取相册"_s && Text(u"1011"_s).startsWith(u"相册列表(共"_s);
    }));
}

void WindowTest::DownloadAllUntilPicturesCome()
{
    Click(u"1012"_s);
    Click(u"1005"_s);
    ASSERT_TRUE(WaitFor([this] { return Text(u"1006"_s) == u"已开始下载图片"_s; }));
}

bool WindowTest::WaitFor(const std::function<bool()>& done, int timeoutMs)
{
    return QTest::qWaitFor(done, timeoutMs);
}

QByteArray WindowTest::SoftDataBytes() const
{
    QFile file(appDir.file(u"soft.dat"_s));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray CoverJpeg(int seed)
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(QColor::fromHsv(seed % 360, 160, 220));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG");
    return bytes;
}
