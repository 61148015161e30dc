#include "MyCode/CookieStore.h"
#include "core/AppPaths.h"
#include "core/SoftData.h"
#include "support/TempFolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

// The usual umask, so that only what the program asks for decides the modes.
class UsualUmask {
public:
    UsualUmask() : m_old(::umask(022)) {}
    ~UsualUmask() { ::umask(m_old); }

private:
    mode_t m_old;
};

mode_t ModeOf(const QString& path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

TEST(PrivateFiles, CookiesAndSettingsAreTheOwnersAloneWheneverWritten)
{
    const UsualUmask umask;
    struct Case {
        const char* name;
        std::function<bool(const QString&)> write;
    };
    const Case cases[] = {
        {"cookies.txt",
         [](const QString& path) {
             CCookieStore store;
             QNetworkCookie skey("skey", "@secret");
             skey.setDomain(".qq.com");
             return store.Load(path) && store.SetCookie(skey) && store.Save();
         }},
        {"soft.dat", [](const QString& path) { return SaveSoftData(ST_SOFTDATA{}, path); }},
    };
    for (const Case& c : cases)
        for (const bool existed : {false, true}) {
            TempFolder folder;
            const QString path = folder.file(QString::fromLatin1(c.name));
            if (existed) {
                QFile old(path);
                ASSERT_TRUE(old.open(QIODevice::WriteOnly));
                ASSERT_EQ(ModeOf(path), 0644u);
            }
            ASSERT_TRUE(c.write(path)) << c.name;
            EXPECT_EQ(ModeOf(path), 0600u) << c.name << (existed ? " over a 0644 file" : "");
            EXPECT_GT(QFile(path).size(), 0) << c.name;
        }
}

TEST(PrivateFiles, TheApplicationFolderIsTheOwnersWhenTheProgramMakesIt)
{
    const UsualUmask umask;
    TempFolder folder;
    EXPECT_EQ(ResolveAppDir(folder.file(u"data/talvoria"_s)), folder.file(u"data/talvoria/"_s));
    EXPECT_EQ(ModeOf(folder.file(u"data/talvoria"_s)), 0700u);
    EXPECT_EQ(ModeOf(folder.file(u"data"_s)), 0755u); // parents as mkdir -p makes them

    ASSERT_TRUE(QDir().mkdir(folder.file(u"mine"_s)));
    ASSERT_EQ(ModeOf(folder.file(u"mine"_s)), 0755u);
    ResolveAppDir(folder.file(u"mine"_s));
    EXPECT_EQ(ModeOf(folder.file(u"mine"_s)), 0755u);
}

} // namespace
