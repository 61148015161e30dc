#include "MyCode/CookieStore.h"
#include "core/AppPaths.h"
#include "core/SoftData.h"
#include "support/TempFolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>

namespace {

mode_t ModeOf(const QString& path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// Under the usual umask, so that what the program asks for shows.
struct UsualUmask {
    const mode_t old = ::umask(022);
    ~UsualUmask() { ::umask(old); }
};

TEST(PrivateFiles, CookiesAndSettingsAreTheOwnersAloneWheneverWritten)
{
    const UsualUmask umask;
    const std::pair<QString, std::function<bool(const QString&)>> writers[] = {
        {"cookies.txt",
         [](const QString& path) {
             CCookieStore store;
             return store.Load(path) && store.SetCookie(QNetworkCookie("skey", "@secret"), QUrl("http://qq.com/")) &&
                    store.Save();
         }},
        {"soft.dat", [](const QString& path) { return SaveSoftData(ST_SOFTDATA{}, path); }},
    };
    for (const auto& [name, write] : writers)
        for (const bool existed : {false, true}) {
            TempFolder folder;
            const QString path = folder.file(name);
            if (existed) {
                ASSERT_TRUE(QFile(path).open(QIODevice::WriteOnly));
            }
            ASSERT_TRUE(write(path)) << name.toStdString();
            EXPECT_EQ(ModeOf(path), 0600u) << name.toStdString() << (existed ? " over a 0644 file" : "");
            EXPECT_GT(QFile(path).size(), 0) << name.toStdString();
        }
}

TEST(PrivateFiles, TheApplicationFolderIsTheOwnersWhenTheProgramMakesIt)
{
    const UsualUmask umask;
    TempFolder folder;
    EXPECT_EQ(ResolveAppDir(folder.file("data/talvoria")), folder.file("data/talvoria/"));
    EXPECT_EQ(ModeOf(folder.file("data/talvoria")), 0700u);
    EXPECT_EQ(ModeOf(folder.file("data")), 0755u); // its parents as mkdir -p makes them

    ASSERT_TRUE(QDir().mkdir(folder.file("mine")));
    ResolveAppDir(folder.file("mine"));
    EXPECT_EQ(ModeOf(folder.file("mine")), 0755u);
}

} // namespace
