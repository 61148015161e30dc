// The window's layout as the user sees it through a listing and a download: the buttons stay
// where they were, the grid fills its width, the progress bars follow the run and the run's end
// says what became of every picture.
#include "WindowTest.h"

#include "app/AlbumGrid.h"
#include "app/AlbumView.h"
#include "app/ComboBox2.h"
#include "core/LumarexCore.h"
#include "support/AdapterTest.h"

#include <QCoreApplication>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>

#include <map>

using namespace Qt::StringLiterals;

namespace {
class WindowLayoutTest : public WindowTest {
protected:
    // Where the four buttons the user reaches for are, in window coordinates.
    std::map<QString, QRect> ButtonPlaces() const
    {
        std::map<QString, QRect> places;
        for (const QString& id : {u"1004"_s, u"1005"_s, u"1007"_s, u"1008"_s}) {
            auto* button = Control<QWidget>(id);
            places[id] = QRect(button->mapTo(window.get(), QPoint(0, 0)), button->size());
        }
        return places;
    }
    static std::string Describe(const std::map<QString, QRect>& places)
    {
        std::string text;
        for (const auto& [id, r] : places)
            text += QStringLiteral("%1=(%2,%3 %4x%5) ")
                        .arg(id)
                        .arg(r.x())
                        .arg(r.y())
                        .arg(r.width())
                        .arg(r.height())
                        .toStdString();
        return text;
    }
    void ExpectButtonsAt(const std::map<QString, QRect>& idle, const char* state)
    {
        QCoreApplication::processEvents();
        const auto now = ButtonPlaces();
        EXPECT_EQ(Describe(now), Describe(idle)) << state;
    }
    QProgressBar* Bar(const QString& id) const { return Control<QProgressBar>(id); }
};
} // namespace

TEST_F(WindowLayoutTest, ButtonsKeepTheirPlaceThroughListingDownloadingAndStop)
{
    // The list and the pictures arrive slowly, so every running state can be looked at.
    QFile fixture(FixturePath(u"qzone/albums.jsonp"_s));
    ASSERT_TRUE(fixture.open(QIODevice::ReadOnly));
    service.Route("alist.photo.qq.com", "/fcgi-bin/fcg_list_album_v2",
                  FakeReply::Ok(fixture.readAll()).PauseAt(0, 600));
    ServeSlowPictures();
    StartWindow();
    const auto idle = ButtonPlaces();
    std::printf("idle: %s\n", Describe(idle).c_str());

    TypeAddress(u"12345678"_s);
    Click(u"1004"_s);
    ASSERT_TRUE(WaitFor([this] { return Text(u"1004"_s) == u"终止获取"_s; }));
    ExpectButtonsAt(idle, "listing");
    ASSERT_TRUE(WaitFor([this] {
        return !window->Core().States().IsListing() && Text(u"1011"_s).startsWith(u"相册列表(共"_s);
    }));
    ExpectButtonsAt(idle, "listed");
    std::printf("listed: %s\n", Describe(ButtonPlaces()).c_str());

    Click(u"1012"_s);
    Click(u"1005"_s);
    ASSERT_TRUE(WaitFor([this] { return Text(u"1006"_s).startsWith(u"已"_s) && Text(u"1005"_s) == u"终止下载"_s; }));
    ExpectButtonsAt(idle, "downloading");
    Click(u"1005"_s);
    ASSERT_TRUE(WaitFor([this] { return !window->Core().States().IsDownloading() && Text(u"1005"_s) == u"下载"_s; }));
    ExpectButtonsAt(idle, "stopped");
}

TEST_F(WindowLayoutTest, TheNameColumnTakesTheSpareWidthAndPreviewCellsKeepTheirSize)
{
    ServeCovers();
    StartWindow();
    GetAlbums();
    CMyGridCtrl& grid = window->Grid();
    const auto columnsWidth = [&grid] {
        int width = 0;
        for (int column = 0; column < grid.model()->columnCount(); ++column)
            if (!grid.isColumnHidden(column)) width += grid.columnWidth(column);
        return width;
    };
    // The short columns fit their texts once the rows drawn have been measured: the note column
    // shows its longest note whole.
    const int note = grid.fontMetrics().horizontalAdvance(u"加密相册"_s);
    ASSERT_TRUE(WaitFor([&] { return grid.columnWidth(3) > note; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(columnsWidth(), grid.viewport()->width()); // no empty band on the right
    const int name = grid.columnWidth(CMyGridCtrl::kNameColumn);
    const int count = grid.columnWidth(2);
    EXPECT_GE(count, grid.horizontalHeader()->sectionSizeHint(2));
    EXPECT_LT(count, name / 4);

    const int viewport = grid.viewport()->width();
    window->resize(window->width() + 200, window->height());
    ASSERT_TRUE(WaitFor([&] { return grid.viewport()->width() != viewport; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(grid.columnWidth(CMyGridCtrl::kNameColumn), name + 200);
    EXPECT_EQ(grid.columnWidth(2), count);
    EXPECT_EQ(columnsWidth(), grid.viewport()->width());
    window->resize(window->width() - 300, window->height());
    QCoreApplication::processEvents();
    EXPECT_EQ(grid.columnWidth(CMyGridCtrl::kNameColumn), name - 100);

    Click(u"1014"_s); // preview mode
    ASSERT_TRUE(WaitFor([this] { return window->AlbumView().State() == PREVIEW_IDLE; }));
    const int cell = grid.columnWidth(0);
    for (int column = 1; column < grid.model()->columnCount(); ++column)
        EXPECT_EQ(grid.columnWidth(column), cell);
    window->resize(window->width() + 300, window->height());
    QCoreApplication::processEvents();
    EXPECT_EQ(grid.columnWidth(1), cell);

    Click(u"1014"_s); // and back: the name stretches again
    ASSERT_TRUE(WaitFor([this] { return window->AlbumView().State() == PREVIEW_IDLE; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(columnsWidth(), grid.viewport()->width());
}

TEST_F(WindowLayoutTest, TheProgressBarsFollowTheDownloadToItsEnd)
{
    // The second picture stops half-way for a while: the bars are seen mid-run. The second album
    // lists pictures of its own, and its second one waits longer, so that the second album is
    // seen once the first has ended (its pictures arrive during the first one's tail).
    const QByteArray second = FakePicture(2);
    service.Route("b1.photo.store.qq.com", "/psb?/V10pub/2.jpg",
                  FakeReply::Ok(second, "image/jpeg").PauseAt(second.size() / 2, 1500));
    QFile photos(FixturePath(u"qzone/photos-public.jsonp"_s));
    ASSERT_TRUE(photos.open(QIODevice::ReadOnly));
    const QByteArray publicList = photos.readAll();
    // Each album lists three pictures of its own, from either photo-list host.
    const FakeHandler list = [publicList](const FakeRequest& request) {
        const QRegularExpressionMatch album = QRegularExpression(u"V10[a-z]+"_s).match(QString::fromLatin1(request.target));
        return FakeReply::Ok(QByteArray(publicList).replace("V10pub", album.captured().toLatin1()),
                             "application/octet-stream");
    };
    service.Route("szplist.photo.qq.com", "/fcgi-bin/fcg_list_photo_v2", list);
    service.Route("sznu.photo.qq.com", "/cgi-bin/common/cgi_view_album_v2", list);
    // Every other album's pictures: its second one takes twice as long as the first album's.
    service.Route("b1.photo.store.qq.com", "/psb?/*", [](const FakeRequest& request) {
        const int number = request.target.mid(request.target.lastIndexOf('/') + 1).split('.').value(0).toInt();
        const QByteArray picture = FakePicture(number);
        return FakeReply::Ok(picture, "image/jpeg").PauseAt(picture.size() / 2, number == 2 ? 3000 : 0);
    });
    StartWindow();
    GetAlbums();
    QProgressBar* albums = Bar(u"albumProgress"_s);
    QProgressBar* pictures = Bar(u"pictureProgress"_s);
    ASSERT_TRUE(albums && pictures);
    EXPECT_FALSE(pictures->isVisible()); // idle
    window->Grid().selectRow(0);
    window->Grid().selectionModel()->select(window->Grid().model()->index(1, 0),
                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
    ASSERT_EQ(window->Grid().SelectedAlbums(), (std::vector<int>{0, 1}));
    Click(u"1005"_s);
    // The picture bar counts hundredths of pictures: it moves while the second one's bytes arrive.
    ASSERT_TRUE(WaitFor([&] {
        return pictures->isVisible() && pictures->maximum() == 300 && pictures->value() >= 100 &&
               pictures->value() % 100 != 0;
    }));
    EXPECT_LT(pictures->value(), 300); // the second picture is still on its way
    EXPECT_EQ(albums->maximum(), 2);
    EXPECT_EQ(albums->value(), 0);
    const int done = pictures->value() / 100;
    EXPECT_EQ(Text(u"1006"_s), u"已下载%1/3......"_s.arg(done));
    EXPECT_EQ(pictures->text(), u"图片 %1/3"_s.arg(done));
    EXPECT_TRUE(WaitFor([this] { return Text(u"speed"_s).contains(u"/s"_s); }, 1000)) << Text(u"speed"_s).toStdString();
    EXPECT_TRUE(window->windowTitle().endsWith(u"% - Talvoria"_s)) << window->windowTitle().toStdString();

    ASSERT_TRUE(WaitFor([this] { return Text(u"1009"_s) == u"正在下载第2/2个图集"_s; }))
        << Text(u"1009"_s).toStdString() << " / " << Text(u"1006"_s).toStdString();
    EXPECT_EQ(albums->value(), 1);
    ASSERT_TRUE(WaitFor([this] { return Text(u"1006"_s).startsWith(u"已保存"_s); }));
    EXPECT_FALSE(pictures->isVisible());
    EXPECT_FALSE(albums->isVisible());
    // The hidden bars keep what the run ended with.
    EXPECT_EQ(albums->value(), 2);
    EXPECT_EQ(pictures->value(), 300);
    EXPECT_EQ(pictures->maximum(), 300);
    EXPECT_EQ(window->windowTitle(), u"Talvoria"_s);
    EXPECT_EQ(window->AttentionRequests(), 0); // a short run, watched
}

TEST_F(WindowLayoutTest, TheRunsEndSaysWhatFailedAndWhy)
{
    service.Route("b1.photo.store.qq.com", "/psb?/V10pub/2.jpg", FakeReply::Status(404));
    StartWindow();
    GetAlbums();
    window->Grid().selectRow(0);
    Click(u"1005"_s);
    ASSERT_TRUE(WaitFor([this] { return Text(u"1006"_s).startsWith(u"已保存"_s); }, 60000));
    EXPECT_TRUE(Text(u"1006"_s).startsWith(u"已保存2张，失败1张，跳过0张，用时"_s)) << Text(u"1006"_s).toStdString();
    EXPECT_EQ(Text(u"1009"_s), u"下载完毕"_s);
    EXPECT_TRUE(Text(u"1006"_s).endsWith(u"；1个图集未能完整下载"_s)) << Text(u"1006"_s).toStdString();
    // The tip names the album first, then the one picture that failed and why.
    const QString tip = Control<QLabel>(u"1006"_s)->toolTip();
    const QStringList lines = tip.split(u'\n');
    ASSERT_EQ(lines.size(), 3) << tip.toStdString();
    EXPECT_EQ(lines[0], u"旅行 2012：失败1张"_s);
    EXPECT_TRUE(lines[1].startsWith(u"日落.jpg"_s) && lines[1].contains(u"404"_s)) << tip.toStdString();
    EXPECT_EQ(lines[2], Text(u"1006"_s)); // the whole line, which a narrow window cuts

    // At the narrowest the counts still have room for all of it.
    window->resize(window->minimumSizeHint());
    QCoreApplication::processEvents();
    const QLabel* counts = Control<QLabel>(u"1006"_s);
    EXPECT_GE(counts->contentsRect().width(), counts->fontMetrics().horizontalAdvance(counts->text()))
        << window->width();
}

TEST_F(WindowLayoutTest, ALongRunEndingBehindAnotherWindowAsksForAttention)
{
    const QByteArray first = FakePicture(1);
    service.Route("b1.photo.store.qq.com", "/psb?/V10pub/1.jpg",
                  FakeReply::Ok(first, "image/jpeg").PauseAt(first.size() / 2, 5500));
    StartWindow();
    GetAlbums();
    window->Grid().selectRow(0);
    Click(u"1005"_s);
    QWidget other; // the user turns to another window meanwhile
    other.show();
    other.activateWindow();
    ASSERT_TRUE(WaitFor([&] { return other.isActiveWindow() && !window->isActiveWindow(); }));
    ASSERT_TRUE(WaitFor([this] { return Text(u"1006"_s).startsWith(u"已保存3张"_s); }, 30000));
    EXPECT_EQ(window->AttentionRequests(), 1);
}

TEST_F(WindowLayoutTest, TheWindowFitsTheScreenAndTheNextStartKeepsItsPlaceAndTheFolderUsed)
{
    StartWindow();
    const QRect area = window->screen()->availableGeometry();
    EXPECT_TRUE(area.contains(window->frameGeometry()))
        << window->frameGeometry().width() << "x" << window->frameGeometry().height() << " on " << area.width() << "x"
        << area.height();
    const QSize size(area.width() * 3 / 4, area.height() * 3 / 4);
    window->resize(size);
    window->move(area.topLeft() + QPoint(20, 30));
    const QString typed = saveDir.file(u"typed"_s) + u'/';
    Control<CComboBox2>(u"1000"_s)->setEditText(typed);
    GetAlbums();
    Click(u"1012"_s);
    Click(u"1005"_s);
    ASSERT_TRUE(WaitFor([this] { return !window->Core().States().IsDownloading() && Text(u"1005"_s) == u"下载"_s; }));
    QTest::qWait(700); // the place is written once the window has settled
    const QPoint place = window->pos();
    window.reset();

    // A killed process has written them too: the next window reads them from the file alone.
    window = std::make_unique<CLumarexDlg>(appDir.path());
    window->Start();
    ASSERT_TRUE(WaitFor([this] { return window->Core().m_bReady.load(); }));
    EXPECT_EQ(window->size(), size);
    // The offscreen platform's window frame may shift the place by its width.
    EXPECT_LE((window->pos() - place).manhattanLength(), 4) << window->pos().x() << "," << window->pos().y();
    EXPECT_EQ(Text(u"1000"_s), typed);
}
