#include "download/Naming.h"
#include "support/TempFolder.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {
QString Sanitized(QString text, int fallback = kTimeStampFallback, bool check = true)
{
    SanitizeName(text, fallback, check);
    return text;
}

bool IsTimeStamp(const QString& text)
{
    return text.size() == 14 && std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

ST_NAMESET NameSet(int nameSource = 0)
{
    ST_NAMESET names{};
    names.nNameSource = std::uint8_t(nameSource);
    return names;
}
} // namespace

TEST(SanitizeName, CleansInTheStatedOrder)
{
    EXPECT_EQ(Sanitized(u" a  b.c\t"_s), u"a b\u3002c"_s);
    EXPECT_EQ(Sanitized(u"a&amp;b &lt;c&gt;"_s), u"a&b c"_s);
    EXPECT_EQ(Sanitized(u"x\ty"_s), u"x_y"_s);
    EXPECT_EQ(Sanitized(u"q?w*e:r\"t|y"_s + QChar(7)), u"qwerty"_s);
    EXPECT_TRUE(IsTimeStamp(Sanitized(QString(1200, u'a'))));
    EXPECT_TRUE(IsTimeStamp(Sanitized(QString())));
    EXPECT_EQ(Sanitized(QString(), 7), u"pic7"_s);
    EXPECT_EQ(Sanitized(QString(), 0, false), QString());
}

TEST(SanitizeName, PageTextNeverEscapesTheFolder)
{
    for (const QString& hostile : {u"../../x"_s, u"/etc/x"_s, u"C:\\x"_s, u"a/b\\c/../d"_s, u".."_s}) {
        const QString name = Sanitized(hostile);
        EXPECT_FALSE(name.contains(u'/')) << name.toStdString();
        EXPECT_FALSE(name.contains(u'\\')) << name.toStdString();
        EXPECT_NE(name, u".."_s);
        EXPECT_NE(name, u"."_s);
        EXPECT_FALSE(name.isEmpty());
    }
    EXPECT_EQ(Sanitized(u"../../x"_s), u"\u3002\u3002\u3002\u3002x"_s);
}

TEST(SanitizeName, ControlsAndBidiOverridesNeverReachTheDisk)
{
    const QString esc(QChar(0x1B));
    // The escape goes, its printable tail stays; the tab still becomes "_" and the edges are
    // trimmed after the deletion.
    EXPECT_EQ(Sanitized(esc + u"[31mRed"_s + esc + u"[0m\tx"_s), u"[31mRed[0m_x"_s);
    EXPECT_EQ(Sanitized(u"gnp"_s + QChar(0x202E) + u"exe"_s + QChar(0x2066) + QChar(0x2069)), u"gnpexe"_s);
    EXPECT_EQ(Sanitized(u"a"_s + QChar(0) + u"b"_s + QChar(0x7F) + QChar(0x85) + QChar(0x9B) + u"c"_s), u"abc"_s);
    EXPECT_EQ(Sanitized(QChar(0x1B) + u" x "_s + QChar(0x202E)), u"x"_s);
    // A name made only of controls falls back like an empty one.
    EXPECT_TRUE(IsTimeStamp(Sanitized(QString(3, QChar(0x1B)))));
    // Marks that show nothing go as well, and a name of nothing else falls back too.
    QString marks;
    for (const char16_t u : {0x200B, 0x200C, 0x200D, 0x200E, 0x200F, 0x061C, 0x2028, 0x2029, 0x2060, 0xFEFF})
        marks += QChar(u);
    EXPECT_EQ(Sanitized(u"a"_s + marks + u"b"_s), u"ab"_s);
    EXPECT_TRUE(IsTimeStamp(Sanitized(QChar(0xFEFF) + u" "_s + marks)));
    // Neighbours of the removed ranges are text.
    const QString neighbours =
        u"x"_s + QChar(0xA0) + u"y"_s + QChar(0x061B) + QChar(0x2010) + QChar(0x2027) + QChar(0x2065) + QChar(0xFEFE);
    EXPECT_EQ(Sanitized(neighbours), neighbours);
}

TEST(AlbumFolderName, IsTheFolderTheAlbumNameGivesOnDisk)
{
    ST_NAMESET names{};
    ST_PERLISTRECORD album;
    // Cleaning once more folds the double space that deleting "/" left, and decodes what the
    // first pass uncovered: the folder is what tells albums apart.
    for (const QString& name : {u"Trip / Day 1"_s, u"Tom &amp;amp; Jerry"_s, u"x"_s + QChar(0xD800)}) {
        album.strName = Sanitized(name);
        EXPECT_EQ(MakeAlbumDirName(album, names), AlbumFolderName(album.strName) + u'/') << name.toStdString();
    }
    EXPECT_EQ(AlbumFolderName(Sanitized(u"Trip / Day 1"_s)), u"Trip Day 1"_s);
    EXPECT_EQ(AlbumFolderName(Sanitized(u"Tom &amp;amp; Jerry"_s)), u"Tom & Jerry"_s);
    EXPECT_EQ(AlbumFolderName(u"&lt;"_s), QString());
}

TEST(HasImageExtension, OnlyTheFiveImageExtensions)
{
    EXPECT_TRUE(HasImageExtension(u"a.JPG"_s));
    EXPECT_TRUE(HasImageExtension(u"a.b.jpeg"_s));
    EXPECT_TRUE(HasImageExtension(u"a.png"_s));
    EXPECT_FALSE(HasImageExtension(u"a.tiff"_s));
    EXPECT_FALSE(HasImageExtension(u"a\u3002png"_s));
    EXPECT_FALSE(HasImageExtension(u"noext"_s));
}

TEST(MakePictureName, BaseNamesAndPlaceholders)
{
    ST_PERLISTRECORD album;
    album.strName = u"Trip"_s;
    album.nIndex = 2;
    album.nParam1 = 41;
    album.nParam2 = -5;

    ST_NAMESET bySequence = NameSet(1);
    SetFieldText(bySequence.szPrefix, u"?7-"_s);
    const NamingContext twelve{bySequence, u"owner"_s, 4, 12};
    EXPECT_EQ(MakePictureName(u"http://h/p.jpg"_s, u"d"_s, album, 2, twelve), u"12-3"_s);

    ST_NAMESET all = NameSet(0);
    SetFieldText(all.szPrefix, u"?1_?2_?3_?4_?5_?6_?7_?8_"_s);
    const NamingContext context{all, u"me"_s, 4, 12};
    EXPECT_EQ(MakePictureName(u"http://h/p.jpg"_s, u"desc"_s, album, 0, context), u"Trip_1_3_41_-5_4_12_me_desc"_s);

    const ST_NAMESET byAddress = NameSet(2);
    const NamingContext addressContext{byAddress, {}, 0, 1};
    EXPECT_EQ(MakePictureName(u"http://h/dir/123.png"_s, u"d"_s, album, 0, addressContext), u"123\u3002png"_s);
    EXPECT_EQ(MakePictureName(u"noslash"_s, u"d"_s, album, 6, addressContext), u"7"_s);
}

TEST(MakePictureName, UserReplacementPairwiseOrWhole)
{
    ST_PERLISTRECORD album;
    ST_NAMESET names = NameSet(0);
    SetFieldText(names.szReplaceFrom, u"a|b"_s);
    SetFieldText(names.szReplaceTo, u"x|y"_s);
    EXPECT_EQ(MakePictureName(u"u"_s, u"cab"_s, album, 0, {names, {}, 0, 0}), u"cxy"_s);
    SetFieldText(names.szReplaceTo, u"x"_s);
    EXPECT_EQ(MakePictureName(u"u"_s, u"cab"_s, album, 0, {names, {}, 0, 0}), u"cab"_s);
}

TEST(MakeAlbumDirName, PrefixNumbersAndNone)
{
    ST_NAMESET names{};
    names.nDirSource = 1;
    SetFieldText(names.szDirPrefix, u"?2_"_s);
    ST_PERLISTRECORD album;
    album.strName = u"A"_s;
    for (int i = 0; i < 3; ++i) {
        album.nIndex = i;
        EXPECT_EQ(MakeAlbumDirName(album, names), u"%1_/"_s.arg(i + 1));
    }
    names.nDirSource = 0;
    SetFieldText(names.szDirPrefix, QString());
    SetFieldText(names.szDirSuffix, u"-?1"_s);
    EXPECT_EQ(MakeAlbumDirName(album, names), u"A-A/"_s);
    names.nDirSource = 1;
    SetFieldText(names.szDirSuffix, QString());
    EXPECT_EQ(MakeAlbumDirName(album, names), QString());
}

TEST(MakeAlbumDirName, LongNamesKeepTheCounterThatMadeThemUnique)
{
    ST_NAMESET names{};
    SetFieldText(names.szDirSuffix, u"-备份"_s);
    ST_PERLISTRECORD first, second;
    first.strName = QString(120, QChar(0x4E2D));
    second.strName = first.strName + u" (1)"_s;
    const QString firstFolder = MakeAlbumDirName(first, names);
    const QString secondFolder = MakeAlbumDirName(second, names);
    EXPECT_NE(firstFolder, secondFolder);
    EXPECT_TRUE(secondFolder.endsWith(u" (1)-备份/"_s));
    EXPECT_LE(secondFolder.chopped(1).toUtf8().size(), 255);
}

TEST(FitFileName, LongNamesFitLinuxAndKeepTheirTail)
{
    const QString chinese(200, QChar(0x4E2D)); // 600 UTF-8 bytes
    const QString fitted = FitFileName(chinese, u".jpg"_s);
    EXPECT_LE(fitted.toUtf8().size(), 255);
    EXPECT_TRUE(fitted.endsWith(u".jpg"_s));
    EXPECT_EQ(fitted.toUtf8().size(), 84 * 3 + 4 - 3); // 83 characters fit with ".jpg"
    EXPECT_EQ(FitFileName(u"short"_s, u".png"_s), u"short.png"_s);
    QString pairs;
    for (int i = 0; i < 100; ++i)
        pairs += u"😀"_s;
    const QString fittedPairs = FitFileName(pairs, u".jpg"_s);
    EXPECT_FALSE(fittedPairs.at(fittedPairs.size() - 5).isHighSurrogate());
}

TEST(MakeDirs, CreatesEveryLevelAndReportsTheFolderItCannotMake)
{
    TempFolder dir;
    QString path = u"  "_s + dir.path() + u"a/b/c  "_s;
    bool madeLast = false;
    ASSERT_TRUE(MakeDirs(path, nullptr, &madeLast));
    EXPECT_EQ(path, dir.path() + u"a/b/c/"_s);
    EXPECT_TRUE(QFileInfo(dir.path() + u"a/b/c"_s).isDir());
    EXPECT_TRUE(madeLast);
    // A folder that was there already was not made now.
    QString again = dir.path() + u"a/b/c"_s;
    ASSERT_TRUE(MakeDirs(again, nullptr, &madeLast));
    EXPECT_FALSE(madeLast);

    WriteFile(dir.file(u"plain"_s), "x");
    QString blocked = dir.path() + u"plain/sub"_s;
    QString failed;
    EXPECT_FALSE(MakeDirs(blocked, &failed));
    EXPECT_EQ(failed, dir.path() + u"plain"_s);
}

TEST(FixPictures, FormatsFollowContentAndTheListFollows)
{
    TempFolder dir;
    CDownList list;
    list.m_strSaveDir = dir.path();
    list.m_arrNames = QStringList{u"a.png"_s, u"b.jpg"_s, u"c.jpg"_s, u"d.jpg"_s, u"missing.jpg"_s};
    WriteFile(dir.file(u"a.png"_s), "\xFF\xD8\xFF\xE0rest");
    WriteFile(dir.file(u"b.jpg"_s), "GIF89a");
    WriteFile(dir.file(u"c.jpg"_s), QByteArray("\0\0\x02\0\0\0\0", 7));
    WriteFile(dir.file(u"d.jpg"_s), "unknown");
    FixPictureFormats(list);
    EXPECT_EQ(list.m_arrNames, (QStringList{u"a.jpg"_s, u"b.gif"_s, u"c.tga"_s, u"d.jpg"_s, u"missing.jpg"_s}));
    EXPECT_TRUE(QFile::exists(dir.file(u"a.jpg"_s)));
    EXPECT_FALSE(QFile::exists(dir.file(u"a.png"_s)));
    EXPECT_TRUE(QFile::exists(dir.file(u"b.gif"_s)));
}

TEST(FixPictures, RenameNeverReplacesAnotherPicture)
{
    TempFolder dir;
    WriteFile(dir.file(u"x.png"_s), "\xFF\xD8jpeg");
    WriteFile(dir.file(u"x.jpg"_s), "\xFF\xD8other");
    QString path = dir.file(u"x.png"_s);
    FixImageExtension(path);
    EXPECT_EQ(path, dir.file(u"x.png"_s));
    QFile other(dir.file(u"x.jpg"_s));
    ASSERT_TRUE(other.open(QIODevice::ReadOnly));
    EXPECT_EQ(other.readAll(), QByteArray("\xFF\xD8other"));
}

TEST(FixPictures, OrderStampsAMinuteApartNewestFirst)
{
    TempFolder dir;
    CDownList list;
    list.m_strSaveDir = dir.path();
    list.m_arrNames = QStringList{u"1.jpg"_s, u"2.jpg"_s, u"3.jpg"_s};
    for (const QString& name : list.m_arrNames)
        WriteFile(dir.file(name), "x");
    const std::time_t now = 1700000000;
    FixPictureOrder(list, now);
    for (int i = 0; i < 3; ++i) {
        struct stat info {};
        ASSERT_EQ(stat(QFile::encodeName(dir.file(list.m_arrNames[i])).constData(), &info), 0);
        EXPECT_EQ(info.st_mtime, now - 60 * i);
        EXPECT_EQ(info.st_atime, now - 60 * i);
    }
}

TEST(MakeTimeStamp, FourteenLocalDigits)
{
    const QString stamp = MakeTimeStamp(std::time(nullptr));
    EXPECT_TRUE(IsTimeStamp(stamp));
    EXPECT_TRUE(stamp.startsWith(QDate::currentDate().toString(u"yyyyMMdd"_s)) || QTime::currentTime().hour() == 0);
}
