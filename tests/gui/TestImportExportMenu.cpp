// The "<导入/导出>" items: the two exports write their files, the import downloads a list.
#include "WindowTest.h"

#include "app/ComboBox2.h"
#include "app/MenuCommands.h"
#include "core/LumarexCore.h"
#include "support/AdapterTest.h"

#include <QAction>
#include <QDirIterator>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenuBar>

using namespace Qt::StringLiterals;

namespace {
class ImportExportMenuTest : public WindowTest {
protected:
    QAction* Item(int id) const { return window->menuBar()->findChild<QAction*>(QString::number(id)); }
    // The next file dialog picks path; seenFolder receives the folder it opened in.
    void ChooseFile(const QString& path, QString* seenFolder = nullptr)
    {
        answerer.QueueDialogHandler([path, seenFolder](QDialog& dialog) {
            auto* files = qobject_cast<QFileDialog*>(&dialog);
            ASSERT_NE(files, nullptr);
            if (seenFolder) *seenFolder = files->directory().absolutePath();
            // Typed, as a user does: the name box is what the dialog's accept reads.
            auto* name = files->findChild<QLineEdit*>(u"fileNameEdit"_s);
            ASSERT_NE(name, nullptr);
            name->setText(path);
            dialog.accept(); // QDialog's public slot reaches the file dialog's own
        });
    }
    bool WaitForIdle()
    {
        return WaitFor([this] { return !window->Core().States().IsDownloading() && Item(CMD_IMPORT_LIST); });
    }
    static QByteArray Read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static int Pictures(const QString& root)
    {
        int count = 0;
        for (QDirIterator it(root, {u"*.jpg"_s}, QDir::Files, QDirIterator::Subdirectories); it.hasNext(); it.next())
            ++count;
        return count;
    }
};
} // namespace

TEST_F(ImportExportMenuTest, ExportsWriteTheirFilesAndTheImportDownloadsOne)
{
    StartWindow();
    GetAlbums();
    Click(u"1012"_s); // all five albums, three pictures each

    const QString lists = saveDir.path() + u"lists"_s;
    QDir().mkpath(lists);
    const QString aria2 = lists + u"/all.txt"_s;
    ChooseFile(aria2);
    Item(CMD_EXPORT_LIST)->trigger();
    ASSERT_TRUE(WaitFor([&] { return !window->Core().States().IsDownloading() && !answerer.Texts().isEmpty(); }));
    EXPECT_EQ(answerer.Texts().last(), u"已导出15张图片的地址到 "_s + aria2)
        << answerer.Texts().join(u'|').toStdString();
    const QString text = QString::fromUtf8(Read(aria2));
    EXPECT_EQ(text.count(u"\n  out=12345678/"_s), 15);
    EXPECT_TRUE(text.contains(u"\n  out=12345678/旅行 2012/日落.jpg\n"_s)) << text.toStdString();
    EXPECT_EQ(Pictures(saveDir.path()), 0); // nothing downloaded

    // The Thunder list: one GBK file for all the ticked albums; the dialog opens where the last
    // list went.
    QString folderSeen;
    ChooseFile(lists + u"/all.lst"_s, &folderSeen);
    Item(CMD_EXPORT_THUNDER)->trigger();
    ASSERT_TRUE(WaitFor([&] { return !window->Core().States().IsDownloading() && answerer.Texts().size() == 2; }));
    EXPECT_EQ(folderSeen, lists);
    const QByteArray lst = Read(lists + u"/all.lst"_s);
    EXPECT_EQ(lst.count("\r\n"), 15);
    EXPECT_TRUE(lst.startsWith("http://b1.photo.store.qq.com/psb?/V10pub/")) << lst.constData();

    // The import downloads the export with the window's progress and end-of-run summary.
    const QString imported = saveDir.path() + u"imported/"_s;
    Control<CComboBox2>(u"1000"_s)->setEditText(imported);
    ChooseFile(aria2);
    Item(CMD_IMPORT_LIST)->trigger();
    ASSERT_TRUE(WaitFor(
        [this] { return !window->Core().States().IsDownloading() && Text(u"1006"_s).startsWith(u"已保存"_s); }));
    EXPECT_TRUE(Text(u"1006"_s).startsWith(u"已保存15张，失败0张，跳过0张"_s)) << Text(u"1006"_s).toStdString();
    EXPECT_EQ(Pictures(imported), 15);
    EXPECT_EQ(Read(imported + u"12345678/旅行 2012/日落.jpg"_s), FakePicture(2));
}

TEST_F(ImportExportMenuTest, AListWithoutAddressesIsAMessage)
{
    StartWindow();
    const QString empty = saveDir.path() + u"empty.lst"_s;
    QFile file(empty);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\r\n");
    file.close();
    ChooseFile(empty);
    Item(CMD_IMPORT_LIST)->trigger();
    ASSERT_TRUE(WaitFor([&] { return !answerer.Texts().isEmpty(); }));
    EXPECT_EQ(answerer.Texts().front(), u"下载文件中没有下载地址: "_s + empty);
    EXPECT_TRUE(WaitForIdle());

    // Exporting with no album selected says so before any file dialog.
    const int dialogs = answerer.DialogsSeen();
    Item(CMD_EXPORT_LIST)->trigger();
    EXPECT_EQ(answerer.Texts().last(), u"请先在相册列表中选中要下载的相册"_s);
    EXPECT_EQ(answerer.DialogsSeen(), dialogs + 1); // the message only
}
