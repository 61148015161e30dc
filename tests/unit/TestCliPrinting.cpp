// What talvoria-cli prints of a page's text: controls shown, never sent to the terminal raw.
#include "support/CliTest.h"

using namespace Qt::StringLiterals;

namespace {
class CliPrintingTest : public CliTest {
protected:
    CliPrintingTest()
    {
        service.Route("route.store.qq.com", "/GetRoute", FakeReply::File(FixturePath(u"qzone/route.json"_s)));
    }
};
} // namespace

TEST_F(CliPrintingTest, AServiceMessageQuotedFromThePageShowsItsControls)
{
    // The service's own "too often" text comes wrapped in a colour escape, a carriage return that
    // would overwrite the line, a NUL and a window-title sequence.
    service.Route("alist.photo.qq.com", "/fcgi-bin/fcg_list_album_v2",
                  FakeReply::File(FixturePath(u"qzone/albums-busy-controls.jsonp"_s)));
    const ChildResult run = Cli({u"albums"_s, u"12345678"_s});
    ASSERT_TRUE(run.finished);
    const QString err = QString::fromUtf8(run.err);
    EXPECT_TRUE(err.contains(u"talvoria: \\x1b[31m对不起，您的操作过于频繁，请稍后再试\\x0d\\x00\\x1b]0;x\\x07\n"_s))
        << run.err.toStdString();
    for (const QChar c : err)
        EXPECT_TRUE(c == u'\n' || c.unicode() >= 0x20) << std::hex << unsigned(c.unicode());
}
