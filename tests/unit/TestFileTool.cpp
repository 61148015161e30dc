#include "download/ListFiles.h"
#include "run/FileToolRun.h"
#include "support/FakeReply.h"
#include "support/TempFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <map>

using namespace Qt::StringLiterals;

namespace {
void Write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray Fixture(const QString& name)
{
    QFile file(FixturePath(u"pictures/"_s + name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs the action as the front ends do; the findings by path relative to the folder.
std::map<QString, FileFinding> RunTool(FileToolAction action, const TempFolder& folder, FileToolTally* tally = nullptr)
{
    std::map<QString, FileFinding> found;
    FileToolReport report;
    report.found = [&](const FileFinding& finding) { found[finding.path.mid(folder.path().size())] = finding; };
    report.finished = [&](const FileToolTally& ended) {
        if (tally) *tally = ended;
    };
    CFileToolRun run;
    EXPECT_TRUE(run.Start(action, folder.path(), report));
    run.Wait();
    return found;
}

qint64 ModifiedAt(const QString& path)
{
    return QFileInfo(path).lastModified().toSecsSinceEpoch();
}
} // namespace

TEST(FileTool, CheckNamesPagesAndCutPicturesOnlyWithTheirReasons)
{
    TempFolder folder;
    const struct {
        QString name;
        QByteArray bytes;
        QString reason; // empty: a good file, or one the check leaves alone
    } files[] = {
        {u"good.jpg"_s, Fixture(u"tiny.jpg"_s), {}},
        {u"good.png"_s, Fixture(u"tiny.png"_s), {}},
        {u"a/b/good.gif"_s, Fixture(u"tiny.gif"_s), {}},
        {u"a/cut.jpg"_s, Fixture(u"tiny.jpg"_s).chopped(300), u"图片不完整（缺少结尾）"_s},
        {u"cut.png"_s, Fixture(u"tiny.png"_s).chopped(12), u"图片不完整（缺少结尾）"_s},
        {u"page.jpg"_s, "<!DOCTYPE html><html><body>404</body></html>", u"不是图片（网页，44字节）"_s},
        {u"error.gif"_s, " {\"code\":403}", u"不是图片（JSON，13字节）"_s},
        {u".pic.zrv"_s, "h\0t\0t\0p\0", {}},
        {u"album.lst"_s, "http://h/1.jpg\r\n", {}},
    };
    for (const auto& file : files)
        Write(folder.file(file.name), file.bytes);

    FileToolTally tally;
    const std::map<QString, FileFinding> found = RunTool(FileToolAction::Check, folder, &tally);
    int bad = 0;
    for (const auto& file : files) {
        const auto it = found.find(file.name);
        EXPECT_EQ(it == found.end() ? QString() : it->second.reason, file.reason) << file.name.toStdString();
        bad += !file.reason.isEmpty();
    }
    EXPECT_EQ(int(found.size()), bad);
    EXPECT_EQ(tally.files, 7);
    EXPECT_EQ(tally.findings, bad);
}

TEST(FileTool, FixExtRenamesByContentNeverOverAnExistingFile)
{
    TempFolder folder;
    const QByteArray png = Fixture(u"tiny.png"_s);
    Write(folder.file(u"a.jpg"_s), png);
    Write(folder.file(u"b.jpg"_s), png);
    Write(folder.file(u"b.png"_s), "taken");
    Write(folder.file(u"c.JPEG"_s), Fixture(u"tiny.jpg"_s));
    Write(folder.file(u"page.jpg"_s), "<html></html>");

    const std::map<QString, FileFinding> found = RunTool(FileToolAction::FixExtension, folder);
    EXPECT_EQ(found.size(), 2u);
    EXPECT_EQ(found.at(u"a.jpg"_s).reason, u"改名为 a.png"_s);
    EXPECT_EQ(found.at(u"b.jpg"_s).reason, u"改名为 b (1).png"_s);
    QStringList names = QDir(folder.path()).entryList(QDir::Files);
    names.sort();
    EXPECT_EQ(names, (QStringList{u"a.png"_s, u"b (1).png"_s, u"b.png"_s, u"c.JPEG"_s, u"page.jpg"_s}));
    QFile taken(folder.file(u"b.png"_s));
    ASSERT_TRUE(taken.open(QIODevice::ReadOnly));
    EXPECT_EQ(taken.readAll(), "taken");
}

TEST(FileTool, DupesGroupsSameContentOnlyAndDeletesNothing)
{
    TempFolder folder;
    Write(folder.file(u"x/1.jpg"_s), FakePicture(1));
    Write(folder.file(u"y/copy.jpg"_s), FakePicture(1));
    Write(folder.file(u"2.jpg"_s), FakePicture(2)); // the same size, another content
    Write(folder.file(u"empty1.jpg"_s), {});
    Write(folder.file(u"empty2.jpg"_s), {});

    FileToolTally tally;
    const std::map<QString, FileFinding> found = RunTool(FileToolAction::Duplicates, folder, &tally);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found.at(u"x/1.jpg"_s).group, 1);
    EXPECT_EQ(found.at(u"y/copy.jpg"_s).group, 1);
    EXPECT_EQ(tally.groups, 1);
    EXPECT_TRUE(QFileInfo::exists(folder.file(u"y/copy.jpg"_s)));
}

TEST(FileTool, OrderStampsThePicturesOfEachListInListOrder)
{
    TempFolder folder;
    // A list-only album fetched later, one picture renamed by fix-format since; and a
    // picture-name file beside pictures named from the descriptions.
    Write(folder.file(u"a/album.lst"_s), "http://h/p/c.jpg\r\nhttp://h/p/a.jpg\r\nhttp://h/p/b.jpg\r\n");
    for (const QString& name : {u"a/a.jpg"_s, u"a/b.png"_s, u"a/c.jpg"_s, u"b/早.jpg"_s, u"b/晚.jpg"_s})
        Write(folder.file(name), FakePicture(1));
    AppendPictureName(folder.file(u"b/album.txt"_s), u"晚"_s, true);
    AppendPictureName(folder.file(u"b/album.txt"_s), u"早"_s, false);

    const std::map<QString, FileFinding> found = RunTool(FileToolAction::Order, folder);
    EXPECT_EQ(found.size(), 2u);
    EXPECT_EQ(found.at(u"a/album.lst"_s).reason, u"按列表顺序修正了3个文件的时间"_s);
    const qint64 first = ModifiedAt(folder.file(u"a/c.jpg"_s));
    EXPECT_EQ(ModifiedAt(folder.file(u"a/a.jpg"_s)), first - 60);
    EXPECT_EQ(ModifiedAt(folder.file(u"a/b.png"_s)), first - 120);
    EXPECT_EQ(ModifiedAt(folder.file(u"b/早.jpg"_s)), ModifiedAt(folder.file(u"b/晚.jpg"_s)) - 60);
}
