#include "download/History.h"
#include "support/TempFolder.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

void WriteUtf16(const QString& path, const QString& text)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

TEST(HistoryMark, ReadsTheFirstLineOfTheDotFileOrTheWindowsCopy)
{
    TempFolder folder;
    EXPECT_TRUE(ReadHistoryMark(folder.path()).isEmpty());

    WriteUtf16(folder.file(u"pic.zrv"_s), u"http://h/windows.jpg"_s);
    EXPECT_EQ(ReadHistoryMark(folder.path()), u"http://h/windows.jpg"_s);

    WriteHistoryMark(u"http://h/\u76f8\u518c/1.jpg"_s, folder.path());
    EXPECT_EQ(ReadHistoryMark(folder.path()), u"http://h/\u76f8\u518c/1.jpg"_s);

    // A mark that someone appended to: only its first line is the address.
    WriteUtf16(folder.file(u".pic.zrv"_s), u"http://h/2.jpg\nhttp://h/3.jpg"_s);
    EXPECT_EQ(ReadHistoryMark(folder.path()), u"http://h/2.jpg"_s);
}

TEST(HistoryMark, AHugeOrOddMarkIsReadOnlyAsFarAsItsBound)
{
    TempFolder folder;
    const QString path = folder.file(u".pic.zrv"_s);

    // A long first line followed by megabytes: the address comes back whole.
    const QString url = u"http://h/"_s + QString(3000, u'a') + u".jpg"_s;
    WriteUtf16(path, url + u'\n' + QString(4 * 1024 * 1024, u'x'));
    EXPECT_EQ(ReadHistoryMark(folder.path()), url);

    // No line end at all: the first 8 KB, 4096 units.
    WriteUtf16(path, QString(1024 * 1024, u'y'));
    EXPECT_EQ(ReadHistoryMark(folder.path()), QString(4096, u'y'));

    // An odd trailing byte is not half a character.
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("h\0t\0p", 5));
    }
    EXPECT_EQ(ReadHistoryMark(folder.path()), u"ht"_s);
}

} // namespace
