#include "MyCode/StringCtrl.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(StringCtrlBetween, WalkAdvancesOnlyPastTheStartMark)
{
    QString page = u"x[one]y[two]z"_s;
    EXPECT_EQ(CStringCtrl::Between(page, u"[", u"]", 1), u"one"_s);
    EXPECT_EQ(page, u"one]y[two]z"_s);
    EXPECT_EQ(CStringCtrl::Between(page, u"[", u"]", 1), u"two"_s);
    EXPECT_EQ(page, u"two]z"_s);
    EXPECT_EQ(CStringCtrl::Between(page, u"[", u"]", 1), QString());
    EXPECT_EQ(page, u"two]z"_s);
}

TEST(StringCtrlBetween, WalkMayFindTheNextStartInsideTheItemJustReturned)
{
    // The text advances past the start mark only, so a start mark inside the first item's
    // field is found by the next call.
    QString page = u"<a href=\"1\" title=\"<a href=\"2\"\">"_s;
    EXPECT_EQ(CStringCtrl::Between(page, u"<a href=\"", u"\"", 1), u"1"_s);
    EXPECT_EQ(CStringCtrl::Between(page, u"<a href=\"", u"\"", 1), u"2"_s);
}

TEST(StringCtrlBetween, MissingEndMarkAndFlags)
{
    for (int flags : {0, 1}) {
        QString text = u"a[bc"_s;
        EXPECT_EQ(CStringCtrl::Between(text, u"[", u"]", flags), QString()) << flags;
        EXPECT_EQ(text, flags == 1 ? u"bc"_s : u"a[bc"_s);
    }
    for (int flags : {2, 3}) {
        QString text = u"a[bc"_s;
        EXPECT_EQ(CStringCtrl::Between(text, u"[", u"]", flags), u"bc"_s) << flags;
    }
    for (int flags : {0, 1, 2, 3}) {
        QString text = u"abc]"_s;
        EXPECT_EQ(CStringCtrl::Between(text, u"[", u"]", flags), QString());
        EXPECT_EQ(text, u"abc]"_s);
    }
}

TEST(StringCtrlBetween, WalkDoesNotCopyTheRestOfAnUnsharedPage)
{
    QString page;
    for (int i = 0; i < 1000; ++i)
        page += u"<i>"_s + QString::number(i) + u"</i>"_s;
    const QChar* before = page.constData();
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(CStringCtrl::Between(page, u"<i>", u"</i>", 1).toInt(), i);
    // The page still lives in its first buffer: only its begin moved.
    EXPECT_GT(page.constData(), before);
}

TEST(StringCtrlMarks, SkipToCutAtLeftOf)
{
    QString text = u"abcabc"_s;
    EXPECT_EQ(CStringCtrl::SkipTo(text, u"a", false), 0);
    EXPECT_EQ(text, u"abcabc"_s);
    EXPECT_EQ(CStringCtrl::SkipTo(text, u"ca", true), 2);
    EXPECT_EQ(text, u"bc"_s);
    EXPECT_EQ(CStringCtrl::SkipTo(text, u"x", true), -1);
    EXPECT_EQ(text, u"bc"_s);

    QString cut = u"head|tail|x"_s;
    EXPECT_EQ(CStringCtrl::CutAt(cut, u"|"), 4);
    EXPECT_EQ(cut, u"head"_s);
    EXPECT_EQ(CStringCtrl::CutAt(cut, u"|"), -1);

    EXPECT_EQ(CStringCtrl::LeftOf(u"key=value"_s, u"="), u"key"_s);
    EXPECT_EQ(CStringCtrl::LeftOf(u"=value"_s, u"="), QString());
    EXPECT_EQ(CStringCtrl::LeftOf(u"value"_s, u"="), QString());
}

TEST(StringCtrlMarks, EmptyTextHoldsNoMark)
{
    QString empty;
    QStringList pieces{u"stale"_s};
    EXPECT_EQ(CStringCtrl::Between(empty, u"a", u"b", 3), QString());
    EXPECT_EQ(CStringCtrl::LeftOf(empty, u"a"), QString());
    EXPECT_EQ(CStringCtrl::SkipTo(empty, u"a", true), -1);
    EXPECT_EQ(CStringCtrl::CutAt(empty, u"a"), -1);
    EXPECT_EQ(CStringCtrl::Split(pieces, empty, u","), 0);
    EXPECT_TRUE(pieces.isEmpty());
    EXPECT_EQ(CStringCtrl::Count(empty, u"a"), 0);
    EXPECT_EQ(CStringCtrl::StripTags(empty), QString());
    EXPECT_EQ(CStringCtrl::UnescapeUnicode(empty), QString());
}

TEST(StringCtrlSplit, CountsSeparatorsNotPieces)
{
    QStringList pieces;
    EXPECT_EQ(CStringCtrl::Split(pieces, u"ab,cd"_s, u","), 1);
    EXPECT_EQ(pieces, (QStringList{u"ab"_s, u"cd"_s}));
    EXPECT_EQ(CStringCtrl::Split(pieces, u"||w||"_s, u"||"), 2);
    EXPECT_EQ(pieces, (QStringList{QString(), u"w"_s, QString()}));
    EXPECT_EQ(CStringCtrl::Split(pieces, u"plain"_s, u","), 0);
    EXPECT_TRUE(pieces.isEmpty());
    EXPECT_EQ(CStringCtrl::Count(u"aaaa"_s, u"aa"), 2);
}

TEST(StringCtrlDecode, StripTagsAndEntities)
{
    EXPECT_EQ(CStringCtrl::StripTags(u"wo<b>r</b>d"_s), u"word"_s);
    EXPECT_EQ(CStringCtrl::StripTags(u"a<br>b<c"_s), u"ab<c"_s);

    QString text = u"&amp;lt;&quot;&gt;&nbsp;&hellip;&#39;&copy;&#40;"_s;
    CStringCtrl::DecodeEntities(text);
    EXPECT_EQ(text, u"<\"> \u2026'&copy;&#40;"_s);
}

TEST(StringCtrlDecode, UnescapeUnicode)
{
    EXPECT_EQ(CStringCtrl::UnescapeUnicode(u"plain text"_s), u"plain text"_s);
    EXPECT_EQ(CStringCtrl::UnescapeUnicode(u"\\u4e2dx and \\u6587"_s), u"中x and 文"_s);
    EXPECT_EQ(CStringCtrl::UnescapeUnicode(u"end\\u12"_s), u"end12"_s);
    // The number ends at the first non-hex character; the rest of the four are dropped.
    EXPECT_EQ(CStringCtrl::UnescapeUnicode(u"\\u41zzrest"_s), u"Arest"_s);
}

TEST(StringCtrlDecode, ReplaceListPairwiseOrWhole)
{
    QString text = u"cab"_s;
    CStringCtrl::ReplaceList(text, u"a|b"_s, u"x|y"_s);
    EXPECT_EQ(text, u"cxy"_s);
    text = u"cab a|b"_s;
    CStringCtrl::ReplaceList(text, u"a|b"_s, u"x"_s);
    EXPECT_EQ(text, u"cab x"_s);
}

TEST(StringCtrlDecode, UrlDecodeUtf8)
{
    EXPECT_EQ(CStringCtrl::UrlDecodeUtf8(u"%E4%B8%AD+%41"_s), u"中+A"_s);
    EXPECT_EQ(CStringCtrl::UrlDecodeUtf8(u"ab%4"_s), u"ab"_s);
    EXPECT_EQ(CStringCtrl::UrlDecodeUtf8(u"ok%zz1"_s), u"ok"_s);
    EXPECT_EQ(CStringCtrl::UrlDecodeUtf8(QString(2000, u'a')).size(), 1023);
}

TEST(StringCtrlDecode, RandomFractionShape)
{
    const QString a = CStringCtrl::RandomFraction();
    const QString b = CStringCtrl::RandomFraction();
    EXPECT_EQ(a.size(), 18);
    EXPECT_TRUE(a.startsWith(u"0."_s) || a == u"1.0000000000000000"_s);
    // Seeded by the second: equal unless the clock ticked between the two calls.
    if (a != b) {
        EXPECT_EQ(CStringCtrl::RandomFraction(), b);
    }
}

TEST(StringCtrlCodePages, RoundTripsThroughEachCodePage)
{
    const QString chinese = u"中文相册"_s;
    const QByteArray gbk = CStringCtrl::WideToGbk(chinese);
    EXPECT_EQ(gbk, QByteArray("\xD6\xD0\xCE\xC4\xCF\xE0\xB2\xE1"));
    EXPECT_EQ(CStringCtrl::MultiToWide(gbk, CP_GBK), chinese);
    EXPECT_EQ(CStringCtrl::AnsiToWide(gbk.constData()), chinese);

    const QString traditional = u"繁體"_s;
    const QByteArray big5 = CStringCtrl::WideToMulti(traditional, CP_BIG5);
    EXPECT_EQ(big5, QByteArray("\xC1\x63\xC5\xE9"));
    EXPECT_EQ(CStringCtrl::MultiToWide(big5, CP_BIG5), traditional);

    const QString korean = u"한국"_s;
    const QByteArray euckr = CStringCtrl::WideToMulti(korean, CP_EUC_KR);
    EXPECT_EQ(euckr, QByteArray("\xC7\xD1\xB1\xB9"));
    EXPECT_EQ(CStringCtrl::MultiToWide(euckr, CP_EUC_KR), korean);

    EXPECT_EQ(CStringCtrl::MultiToWide(chinese.toUtf8(), CP_UTF8), chinese);
}

TEST(StringCtrlCodePages, UnrepresentableAndBrokenInput)
{
    // Korean has no place in GBK: the default character stands in, nothing is lost around it.
    EXPECT_EQ(CStringCtrl::WideToGbk(u"a한b"_s), QByteArray("a?b"));
    EXPECT_EQ(CStringCtrl::WideToGbk(u"x😀y"_s), QByteArray("x?y"));
    // A broken surrogate (a page cut in the middle of an emoji) costs only itself.
    EXPECT_EQ(CStringCtrl::WideToGbk(u"x"_s + QChar(0xD83D) + u"AB"_s), QByteArray("x?AB"));
    EXPECT_EQ(CStringCtrl::WideToMulti(u"x"_s + QChar(0xDE00) + u"AB"_s, CP_BIG5), QByteArray("x?AB"));
    const QString decoded = CStringCtrl::MultiToWide(QByteArray("a\xFF"
                                                                "b"),
                                                     CP_GBK);
    EXPECT_TRUE(decoded.startsWith(u'a'));
    EXPECT_TRUE(decoded.endsWith(u'b'));
    EXPECT_EQ(CStringCtrl::MultiToWide(QByteArray(), CP_GBK), QString());
}

TEST(StringCtrlCodePages, NulIsACharacterLikeAnyOther)
{
    // A NUL in a page once ended the page there: what follows it must be converted too.
    const QString expected = u"ab"_s + QChar(0) + u"cd"_s;
    for (const int codePage : {CP_GBK, CP_BIG5, CP_EUC_KR, CP_UTF8})
        EXPECT_EQ(CStringCtrl::MultiToWide("ab\0cd", codePage, 5), expected) << codePage;
    const QByteArray gbk = QByteArray("\xD6\xD0\0\xCE\xC4", 5);
    EXPECT_EQ(CStringCtrl::MultiToWide(gbk, CP_GBK), u"中"_s + QChar(0) + u"文"_s);
}

TEST(StringCtrlControls, ControlsBidiAndInvisibleMarksAreRecognisedToTheirEdges)
{
    for (const char16_t u : {0x00, 0x1B, 0x1F, 0x7F, 0x80, 0x9B, 0x9F, 0x061C, 0x200B, 0x200F, 0x2028, 0x2029, 0x202A,
                             0x202E, 0x2060, 0x2064, 0x2066, 0x2069, 0xFEFF})
        EXPECT_TRUE(CStringCtrl::IsControlOrInvisible(QChar(u))) << std::hex << unsigned(u);
    // Spaces, the no-break space, marks and the code points just beside the ranges are text.
    for (const char16_t u : {0x20, 0x7E, 0xA0, 0x061B, 0x061D, 0x200A, 0x2010, 0x2027, 0x202F, 0x205F, 0x2065, 0x206A,
                             0xFEFE, 0xFFFD, 0xD800})
        EXPECT_FALSE(CStringCtrl::IsControlOrInvisible(QChar(u))) << std::hex << unsigned(u);
}

TEST(StringCtrlControls, LoneSurrogatesBecomeTheReplacementCharacter)
{
    const QString emoji = u"😀"_s;
    QString text =
        QChar(0xDC00) + u"a"_s + QChar(0xD800) + emoji + QChar(0xD83D) + QChar(0xD83D) + emoji + QChar(0xDBFF);
    CStringCtrl::MakeValidUtf16(text);
    const QChar r = QChar::ReplacementCharacter;
    EXPECT_EQ(text, r + u"a"_s + r + emoji + r + r + emoji + r);
    // Valid text comes out as it went in, and round-trips through UTF-8.
    EXPECT_EQ(QString::fromUtf8(text.toUtf8()), text);
}

TEST(StringCtrlControls, VisibleControlsShowWhatATerminalWouldObey)
{
    const QString page = u"\x1b[31mred\r"_s + QChar(0) + u"x\x7f"_s + QChar(0x9B) + QChar(0x202E) + u"gnp"_s +
                         QChar(0xD800) + u"😀中\ty\nz"_s + QChar(0x2028) + QChar(0xFEFF);
    EXPECT_EQ(CStringCtrl::VisibleControls(page, false),
              u"\\x1b[31mred\\x0d\\x00x\\x7f\\x9b\\u202egnp\\ud800😀中\\x09y\\x0az\\u2028\\ufeff"_s);
    EXPECT_EQ(CStringCtrl::VisibleControls(page, true),
              u"\\x1b[31mred\\x0d\\x00x\\x7f\\x9b\\u202egnp\\ud800😀中\\x09y\nz\\u2028\\ufeff"_s);
    EXPECT_EQ(CStringCtrl::VisibleControls(u"普通 text"_s, false), u"普通 text"_s);
}

TEST(StringCtrlCodePages, IsUtf8)
{
    const QByteArray utf8 = u"中"_s.toUtf8();
    const QByteArray gbk = CStringCtrl::WideToGbk(u"中"_s);
    EXPECT_TRUE(CStringCtrl::IsUtf8(utf8.constData(), utf8.size()));
    EXPECT_FALSE(CStringCtrl::IsUtf8(gbk.constData(), gbk.size()));
    EXPECT_FALSE(CStringCtrl::IsUtf8("plain", 5));
    EXPECT_FALSE(CStringCtrl::IsUtf8("", 0));
    EXPECT_FALSE(CStringCtrl::IsUtf8(utf8.constData(), 2)); // cut inside the sequence
    EXPECT_FALSE(CStringCtrl::IsUtf8("\x80", 1));
}

TEST(StringCtrlCipher, RoundTripsAndEscapesSpecialBytes)
{
    const QString key = QString(81, QChar(0x7F16)); // 81 Chinese characters, 162 GBK bytes
    ASSERT_EQ(CStringCtrl::WideToGbk(key).size(), 162);
    const QString plain = u"请输入QQ号码或空间地址\r\n"_s;
    const QString sealed = CStringCtrl::Cipher(plain, true, key);
    EXPECT_NE(sealed, plain);
    for (QChar c : sealed)
        EXPECT_TRUE(c.isDigit() || (c >= u'A' && c <= u'F')) << sealed.toStdString();
    EXPECT_EQ(CStringCtrl::Cipher(sealed, false, key), plain);

    // A plain byte equal to its key byte (XOR 0), and bytes that XOR to CR or LF, are written
    // as the key byte and a marker: with key "a", "a", "l" and "k" take two bytes each.
    const QString sealedTricky = CStringCtrl::Cipher(u"alkb"_s, true, u"a"_s);
    EXPECT_EQ(sealedTricky.size(), 14);
    // Each emitted byte is stored as the hex of its complement: "b" ^ "a" is 03, stored FC;
    // "a" ^ "a" is 0, emitted as "a" and "1", stored 9E CE.
    EXPECT_EQ(CStringCtrl::Cipher(u"b"_s, true, u"a"_s), u"FC"_s);
    EXPECT_EQ(CStringCtrl::Cipher(u"a"_s, true, u"a"_s), u"9ECE"_s);
    EXPECT_EQ(CStringCtrl::Cipher(u"9ECEFC"_s, false, u"a"_s), u"ab"_s);
    EXPECT_EQ(CStringCtrl::Cipher(sealedTricky, false, u"a"_s), u"alkb"_s);
}
