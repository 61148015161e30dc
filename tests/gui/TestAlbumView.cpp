// The album grid: preview conversion with thumbnails, select all, find, and a long listing.
#include "WindowTest.h"

#include "app/AlbumGrid.h"
#include "app/AlbumView.h"
#include "app/DlgFind.h"
#include "core/LumarexCore.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QTest>
#include <QTimer>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {
QStringList NumberedNames(int count)
{
    QStringList names;
    for (int i = 0; i < count; ++i)
        names << u"album %1"_s.arg(i + 1);
    return names;
}

class AlbumViewTest : public WindowTest {
protected:
    void TogglePreview()
    {
        Click(u"1014"_s);
        ASSERT_TRUE(WaitFor([this] { return window->AlbumView().State() == PREVIEW_IDLE; }));
        QCoreApplication::processEvents(); // the last batch of cells
    }
    QString CellText(int row, int column) const { return window->Grid().model()->index(row, column).data().toString(); }
    QModelIndexList Selected() const { return window->Grid().selectionModel()->selectedIndexes(); }
};
} // namespace

TEST_F(AlbumViewTest, PreviewOfFourteenAlbumsHasRowsOfSixSixAndTwoWithThumbnails)
{
    ServeAlbums(NumberedNames(14));
    ServeCovers();
    StartWindow();
    GetAlbums();
    TogglePreview();
    const QAbstractItemModel* model = window->Grid().model();
    EXPECT_EQ(model->rowCount(), 3);
    EXPECT_EQ(model->columnCount(), 6);
    EXPECT_EQ(window->AlbumView().Model().CellCount(), 14);
    EXPECT_EQ(CellText(0, 0), u"1.album 1"_s);
    EXPECT_EQ(CellText(1, 0), u"7.album 7"_s);
    EXPECT_EQ(CellText(2, 1), u"14.album 14"_s);
    EXPECT_FALSE(model->index(2, 2).flags() & Qt::ItemIsSelectable);
    EXPECT_EQ(window->Grid().rowHeight(1), 130);
    EXPECT_FALSE(window->Grid().horizontalHeader()->isVisible());
    const QPixmap thumbnail = model->index(2, 1).data(Qt::DecorationRole).value<QPixmap>();
    EXPECT_EQ(thumbnail.size(), QSize(113, 120));
    EXPECT_TRUE(QFileInfo::exists(appDir.file(u"tmp/13.jpg"_s)));

    // Select all takes the fourteen cells, in order, and nothing of the empty ones.
    Click(u"1012"_s);
    std::vector<int> all(14);
    for (int i = 0; i < 14; ++i)
        all[size_t(i)] = i;
    EXPECT_EQ(window->Grid().SelectedAlbums(), all);
    EXPECT_EQ(Selected().size(), 14);
    Click(u"1012"_s);
    EXPECT_TRUE(Selected().isEmpty());
    // The box follows a selection made in the grid, which outlives the change of mode.
    window->Grid().selectAll(); // Ctrl+A
    EXPECT_TRUE(Control<QCheckBox>(u"1012"_s)->isChecked());
    window->Grid().setCurrentIndex(model->index(1, 3)); // a click on album 10
    EXPECT_FALSE(Control<QCheckBox>(u"1012"_s)->isChecked());

    // Back to the list: one row per album under the header, thumbnails kept for the next preview.
    const int requests = int(service.RequestCount());
    TogglePreview();
    EXPECT_EQ(window->Grid().SelectedAlbums(), std::vector<int>{9});
    EXPECT_EQ(model->rowCount(), 14);
    EXPECT_TRUE(window->Grid().horizontalHeader()->isVisible());
    EXPECT_EQ(CellText(13, 1), u"album 14"_s);
    TogglePreview();
    EXPECT_EQ(int(service.RequestCount()), requests);
}

TEST_F(AlbumViewTest, MissingCoversLeaveCellsWithoutPicturesAndHoldNothingUp)
{
    ServeAlbums(NumberedNames(6));
    service.Route("b1.photo.store.qq.com", "/psb?/V10a*", FakeReply::Status(404));
    StartWindow();
    GetAlbums();
    QElapsedTimer converting;
    converting.start();
    TogglePreview();
    EXPECT_LT(converting.elapsed(), 3000);
    EXPECT_EQ(window->AlbumView().Model().CellCount(), 6);
    EXPECT_EQ(CellText(0, 5), u"6.album 6"_s);
    EXPECT_TRUE(window->Grid().model()->index(0, 5).data(Qt::DecorationRole).value<QPixmap>().isNull());
    EXPECT_EQ(window->Core().m_pAlbumList->At(5).nImageIndex, -1);
}

TEST_F(AlbumViewTest, InterruptingAConversionKeepsTheCellsDrawnAndTheCheckBox)
{
    ServeAlbums(NumberedNames(14));
    ServeCovers(150);
    StartWindow();
    GetAlbums();
    answerer.QueueAnswer(QMessageBox::Yes);
    Click(u"1014"_s);
    ASSERT_TRUE(WaitFor([this] { return window->AlbumView().Model().CellCount() >= 4; }));
    Click(u"1014"_s); // while converting: the question, answered Yes
    ASSERT_TRUE(WaitFor([this] { return window->AlbumView().State() == PREVIEW_IDLE; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(answerer.Texts(), QStringList{u"模式转换未完成,是否中断?"_s});
    EXPECT_TRUE(Control<QCheckBox>(u"1014"_s)->isChecked());
    const int cells = window->AlbumView().Model().CellCount();
    EXPECT_GE(cells, 4);
    EXPECT_LT(cells, 14);
    EXPECT_TRUE(window->AlbumView().IsPreview());
}

TEST_F(AlbumViewTest, AListingStartedDuringAConversionWaitsForIt)
{
    ServeAlbums(NumberedNames(14));
    ServeCovers(150);
    StartWindow();
    GetAlbums();
    Click(u"1014"_s);
    ASSERT_TRUE(WaitFor([this] { return window->AlbumView().Model().CellCount() >= 2; }));
    ServeAlbums(NumberedNames(3));
    ServeCovers();
    GetAlbums();
    EXPECT_EQ(window->AlbumView().State(), PREVIEW_IDLE);
    EXPECT_EQ(window->AlbumView().Model().CellCount(), 3);
    EXPECT_EQ(CellText(0, 2), u"3.album 3"_s);
    EXPECT_EQ(window->Core().m_pAlbumList->At(2).nImageIndex, 2); // thumbnails of the new listing only
}

TEST_F(AlbumViewTest, APreviewClickLandingAsAListingStartsConvertsNothing)
{
    ServeAlbums(NumberedNames(3));
    StartWindow();
    TypeAddress(u"12345678"_s);
    // Both clicks come before the listing has disabled the box.
    Click(u"1004"_s);
    Click(u"1014"_s);
    EXPECT_EQ(window->AlbumView().State(), PREVIEW_IDLE);
    EXPECT_FALSE(Control<QCheckBox>(u"1014"_s)->isChecked());
    ASSERT_TRUE(WaitFor([this] { return Text(u"1011"_s) == u"相册列表(共3个)"_s; }));
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->AlbumView().IsPreview());
    EXPECT_EQ(window->Grid().model()->rowCount(), 3);
}

TEST_F(AlbumViewTest, FindGoesBothWaysWrapsAndHonoursCaseAndWholeCell)
{
    ServeAlbums({u"first"_s, u"XABCY"_s, u"middle"_s, u"abc"_s, u"last"_s, u"Abc"_s});
    StartWindow();
    GetAlbums();
    window->OnFindLink();
    CDlgFind* find = window->FindBox();
    ASSERT_NE(find, nullptr);
    EXPECT_TRUE(find->isVisible());
    auto* keyword = find->findChild<QLineEdit*>(u"1639"_s);
    auto* caseSensitive = find->findChild<QCheckBox*>(u"1033"_s);
    auto* wholeCell = find->findChild<QCheckBox*>(u"1034"_s);
    const auto focusRow = [this] { return window->Grid().FocusPosition(); };

    keyword->setText(u"  abc "_s);
    EXPECT_TRUE(find->FindNext());
    EXPECT_EQ(focusRow(), 1);                                        // XABCY
    EXPECT_EQ(window->Grid().SelectedAlbums(), std::vector<int>{1}); // the row is the album
    find->FindNext();
    EXPECT_EQ(focusRow(), 3);
    find->FindNext();
    EXPECT_EQ(focusRow(), 5);
    find->FindNext(); // wraps to the top
    EXPECT_EQ(focusRow(), 1);
    find->FindPrevious(); // wraps to the bottom
    EXPECT_EQ(focusRow(), 5);

    wholeCell->setChecked(true);
    find->FindNext();
    EXPECT_EQ(focusRow(), 3); // "abc" in any letter case, not XABCY
    find->FindNext();
    EXPECT_EQ(focusRow(), 5);
    caseSensitive->setChecked(true);
    find->FindNext();
    EXPECT_EQ(focusRow(), 3);
    find->FindNext();
    EXPECT_EQ(focusRow(), 3); // the only exact match, found again after wrapping

    // Enter searches on as "下一个" does, once per press, from the keyword and the check boxes.
    wholeCell->setChecked(false);
    caseSensitive->setChecked(false);
    QTest::keyClick(keyword, Qt::Key_Return);
    EXPECT_EQ(focusRow(), 5);
    QTest::keyClick(wholeCell, Qt::Key_Enter);
    EXPECT_EQ(focusRow(), 1); // wrapped to XABCY

    keyword->setText(u"nothing like it"_s);
    EXPECT_FALSE(find->FindNext());
    EXPECT_EQ(find->findChild<QLabel*>(u"notFound"_s)->text(), u"未找到"_s);
    EXPECT_TRUE(window->Grid().SelectedAlbums().empty()); // the last match is no longer marked
    keyword->setText(u"   "_s);
    EXPECT_TRUE(find->FindNext());
    ASSERT_TRUE(WaitFor([this] { return !answerer.Texts().isEmpty(); }));
    EXPECT_EQ(answerer.Texts(), QStringList{u"关键字不能为空"_s});
}

TEST_F(AlbumViewTest, FindInPreviewReachesEveryMatchingAlbumOfARow)
{
    // A preview row holds six albums; three of the four matches share the first row.
    QStringList names = NumberedNames(14);
    for (int album : {0, 2, 5, 10})
        names[album] = u"trip %1"_s.arg(album);
    ServeAlbums(names);
    ServeCovers();
    StartWindow();
    GetAlbums();
    TogglePreview();
    window->OnFindLink();
    CDlgFind* find = window->FindBox();
    find->findChild<QLineEdit*>(u"1639"_s)->setText(u"TRIP"_s);
    const auto found = [this] { return window->Grid().SelectedAlbums(); };

    std::vector<int> downwards;
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(find->FindNext());
        downwards.push_back(found().at(0));
        EXPECT_EQ(found().size(), 1u); // the cell is the album
    }
    EXPECT_EQ(downwards, (std::vector<int>{0, 2, 5, 10, 0}));
    std::vector<int> upwards;
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(find->FindPrevious());
        upwards.push_back(found().at(0));
    }
    EXPECT_EQ(upwards, (std::vector<int>{10, 5, 2, 0}));
}

TEST_F(AlbumViewTest, TenThousandAlbumsListWithoutStallingTheWindow)
{
    ServeAlbums(NumberedNames(10000));
    StartWindow();
    // A timer that should tick every 10 ms shows how long the window was unable to react.
    QElapsedTimer sinceTick;
    qint64 longestStall = 0;
    QTimer ticker;
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout, [&] { longestStall = std::max(longestStall, sinceTick.restart()); });
    QElapsedTimer total;
    total.start();
    sinceTick.start();
    ticker.start();
    GetAlbums();
    ticker.stop();
    QCoreApplication::processEvents();
    EXPECT_EQ(window->Grid().model()->rowCount(), 10000);
    EXPECT_EQ(Text(u"1011"_s), u"相册列表(共10000个)"_s);
    std::printf("[ figures  ] 10000 albums listed in %lld ms; longest stall of the window %lld ms\n",
                static_cast<long long>(total.elapsed()), static_cast<long long>(longestStall));
    EXPECT_LT(longestStall, 400);

    // Select all and find stay quick on the full grid.
    QElapsedTimer selectAll;
    selectAll.start();
    Click(u"1012"_s);
    EXPECT_EQ(window->Grid().SelectedAlbums().size(), 10000u);
    EXPECT_LT(selectAll.elapsed(), 2000);
}
