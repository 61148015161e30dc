#include "core/Records.h"
#include "sources/AdapterKit.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(SeenPiecesTest, OnlyKeysNotSeenBeforeCountAsProgress)
{
    AdapterKit::SeenPieces seen;
    seen.StartPage();
    EXPECT_TRUE(seen.IsNew(u"a"_s));
    EXPECT_FALSE(seen.IsNew(u"a"_s)); // the same piece twice on one page
    EXPECT_TRUE(seen.PageBroughtNew());

    // A page repeating "a" with pieces that have no key: those are listed, yet the page ends
    // the loop.
    seen.StartPage();
    EXPECT_FALSE(seen.IsNew(u"a"_s));
    EXPECT_TRUE(seen.IsNew(QString()));
    EXPECT_TRUE(seen.IsNew(QString()));
    EXPECT_FALSE(seen.PageBroughtNew());

    seen.StartPage();
    EXPECT_TRUE(seen.IsNew(u"b"_s));
    EXPECT_TRUE(seen.PageBroughtNew());

    // Albums are one piece only when address, name and cover all agree.
    ST_PERLISTRECORD album;
    album.strAlbumId = u"a"_s;
    EXPECT_TRUE(seen.IsNew(album));
    EXPECT_FALSE(seen.IsNew(album));
    album.strName = u"x"_s;
    EXPECT_TRUE(seen.IsNew(album));
}

TEST(SeenPiecesTest, APageHoldsPiecesWhenItMeetsAnyKeyOldOrNew)
{
    AdapterKit::SeenPieces seen;
    seen.StartPage();
    EXPECT_FALSE(seen.PageHeldPieces());
    EXPECT_TRUE(seen.IsNew(QString())); // a keyless piece is no piece of the walk
    EXPECT_FALSE(seen.PageHeldPieces());
    EXPECT_TRUE(seen.IsNew(u"a"_s));
    EXPECT_TRUE(seen.PageHeldPieces());

    // A page of old pieces held some, though it brought nothing new; the next page starts bare.
    EXPECT_TRUE(seen.StartPage(u"page 2"_s));
    EXPECT_FALSE(seen.IsNew(u"a"_s));
    EXPECT_TRUE(seen.PageHeldPieces());
    EXPECT_FALSE(seen.PageBroughtNew());
    EXPECT_TRUE(seen.StartPage(u"page 3"_s));
    EXPECT_FALSE(seen.PageHeldPieces());
}
