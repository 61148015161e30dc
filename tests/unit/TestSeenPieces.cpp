#include "sources/AdapterKit.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(SeenPiecesTest, OnlyKeysNotSeenOnEarlierPagesCountAsProgress)
{
    AdapterKit::SeenPieces seen;
    EXPECT_TRUE(seen.IsNew(u"a"_s));
    EXPECT_FALSE(seen.IsNew(u"a"_s)); // the same piece twice on one page
    EXPECT_TRUE(seen.PageBroughtNew());

    // A page repeating "a" with pieces that have no key: those are listed, yet the page ends
    // the loop.
    EXPECT_FALSE(seen.IsNew(u"a"_s));
    EXPECT_TRUE(seen.IsNew(QString()));
    EXPECT_TRUE(seen.IsNew(QString()));
    EXPECT_FALSE(seen.PageBroughtNew());

    EXPECT_TRUE(seen.IsNew(u"b"_s));
    EXPECT_TRUE(seen.PageBroughtNew());
}
