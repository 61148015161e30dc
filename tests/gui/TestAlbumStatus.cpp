// The grid's 状态 column through a download and its retry: what each album came to, the run's end
// naming the albums that did not come whole, and 重试失败的图集 fetching just those.
#include "WindowTest.h"

#include "app/AlbumGrid.h"
#include "app/AlbumGridModel.h"
#include "app/MenuCommands.h"
#include "core/LumarexCore.h"
#include "support/AdapterTest.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include <atomic>

using namespace Qt::StringLiterals;

namespace {
class AlbumStatusTest : public WindowTest {
protected:
    // Two albums whose photo lists are the public one's; the second's answers 404 until
    // secondListed is set.
    void ServeTwoAlbums()
    {
        ServeAlbums({u"春天"_s, u"夏天"_s});
        const FakeHandler photos = [this](const FakeRequest& request) {
            if (request.target.contains("V10a1") && !secondListed) return FakeReply::Status(404);
            return FakeReply::File(FixturePath(u"qzone/photos-public.jsonp"_s));
        };
        service.Route("szplist.photo.qq.com", "/fcgi-bin/fcg_list_photo_v2", photos);
        service.Route("sznu.photo.qq.com", "/cgi-bin/common/cgi_view_album_v2", photos);
    }
    QModelIndex StatusCell(int row) const { return window->Grid().model()->index(row, CAlbumGridModel::kStatusColumn); }
    QString Status(int row) const { return StatusCell(row).data().toString(); }
    bool RunEnded() const { return !window->Core().States().IsBusy() && Text(u"1006"_s).startsWith(u"已保存"_s); }
    bool MenuItemEnabled() const
    {
        QAction* item = window->menuBar()->findChild<QAction*>(QString::number(CMD_RETRY_FAILED));
        for (QMenu* popup : window->menuBar()->findChildren<QMenu*>())
            if (popup->actions().contains(item)) Q_EMIT popup->aboutToShow();
        return item && item->isEnabled();
    }
    QPushButton* RetryButton() const { return Control<QPushButton>(u"retryFailed"_s); }

    std::atomic<bool> secondListed{false};
};
} // namespace

TEST_F(AlbumStatusTest, AFailedListingIsShownAndItsRetryFetchesOnlyThatAlbum)
{
    ServeTwoAlbums();
    StartWindow();
    GetAlbums();
    ASSERT_NE(RetryButton(), nullptr);
    EXPECT_EQ(window->Grid().model()->headerData(CAlbumGridModel::kStatusColumn, Qt::Horizontal).toString(), u"状态"_s);
    EXPECT_FALSE(window->Grid().isColumnHidden(CAlbumGridModel::kStatusColumn));
    EXPECT_FALSE(RetryButton()->isEnabled());
    EXPECT_FALSE(MenuItemEnabled());

    Click(u"1012"_s);
    Click(u"1005"_s);
    ASSERT_TRUE(WaitFor([this] { return RunEnded(); }, 60000));
    EXPECT_EQ(Status(0), u"完成"_s);
    EXPECT_EQ(Status(1), u"列表失败"_s);
    const QString cause = StatusCell(1).data(Qt::ToolTipRole).toString();
    EXPECT_TRUE(cause.startsWith(u"图集列表获取失败"_s) && cause.contains(u"404"_s)) << cause.toStdString();
    EXPECT_TRUE(Text(u"1006"_s).endsWith(u"；1个图集未能完整下载"_s)) << Text(u"1006"_s).toStdString();
    EXPECT_TRUE(Control<QLabel>(u"1006"_s)->toolTip().startsWith(u"夏天：图集列表获取失败"_s));
    EXPECT_TRUE(RetryButton()->isEnabled());
    EXPECT_TRUE(MenuItemEnabled());

    secondListed = true;
    service.ClearRequests();
    Click(u"retryFailed"_s);
    ASSERT_TRUE(WaitFor([this] { return Status(1) == u"完成"_s && RunEnded(); }, 60000));
    int photoLists = 0;
    for (const FakeRequest& request : service.Requests()) {
        EXPECT_FALSE(request.target.contains("V10a0")) << request.target.constData();
        photoLists += request.target.contains("V10a1");
    }
    EXPECT_GE(photoLists, 1);
    EXPECT_EQ(service.RequestsFor("b1.photo.store.qq.com", "/psb").size(), 3);
    EXPECT_TRUE(Text(u"1006"_s).startsWith(u"已保存3张，失败0张"_s)) << Text(u"1006"_s).toStdString();
    EXPECT_FALSE(Text(u"1006"_s).contains(u"未能完整下载"_s));
    EXPECT_EQ(Status(0), u"完成"_s); // not part of the retry
    EXPECT_FALSE(RetryButton()->isEnabled());
    EXPECT_FALSE(MenuItemEnabled());

    GetAlbums(); // a new listing starts the column afresh
    EXPECT_EQ(Status(0), QString());
    EXPECT_EQ(Status(1), QString());
}

TEST_F(AlbumStatusTest, AStopLeavesTheAlbumsItDidNotFinishStoppedAndRetryable)
{
    ServeTwoAlbums();
    secondListed = true;
    ServeSlowPictures();
    StartWindow();
    GetAlbums();
    ASSERT_NO_FATAL_FAILURE(DownloadAllUntilPicturesCome());
    EXPECT_EQ(Status(0), u"下载中"_s);
    EXPECT_EQ(Status(1), u"等待"_s);
    EXPECT_FALSE(RetryButton()->isEnabled()); // not while a run is busy
    Click(u"1005"_s);
    ASSERT_TRUE(WaitFor([this] { return RunEnded(); }, 60000));
    EXPECT_EQ(Status(0), u"已停止"_s);
    EXPECT_EQ(Status(1), u"已停止"_s); // never reached
    EXPECT_TRUE(RetryButton()->isEnabled());
}
