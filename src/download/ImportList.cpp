#include "download/ImportList.h"

#include "MyCode/StringCtrl.h"
#include "core/LumarexCore.h"
#include "download/DownloadDriver.h"

#include <QFile>
#include <QFileInfo>

QStringList ReadDownList(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    const int codePage = CStringCtrl::IsUtf8(bytes.constData(), bytes.size()) ? CP_UTF8 : CP_GBK;
    QStringList urls;
    for (const QByteArray& line : bytes.split('\n')) {
        const QString url = CStringCtrl::MultiToWide(line, codePage).trimmed();
        if (!url.isEmpty()) urls << url;
    }
    return urls;
}

bool ImportAndDownload(CLumarexCore& core, const QString& listPath, const QString& savePath)
{
    if (!QFileInfo(listPath).isReadable()) {
        core.FrontEnd().ShowMessage(QStringLiteral("无法读取下载文件: ") + listPath);
        return false;
    }
    const QStringList urls = ReadDownList(listPath);
    core.ClearAlbums();
    core.m_strOwnerName.clear();
    core.m_strOwnerSubDir.clear();
    ST_PERLISTRECORD album;
    album.strName = QFileInfo(listPath).completeBaseName();
    album.nPicCount = int(urls.size());
    core.AddAlbumRecord(album);
    // Each address is its own description, so the naming rules see the file's published name.
    const auto listAddresses = [&urls](CLumarexCore& target, int index) {
        for (const QString& url : urls) {
            target.AddPicture(url, url.mid(url.lastIndexOf(u'/') + 1), {}, index);
            if (target.m_nDownState == DOWN_AT_HISTORY || target.m_nDownState == DOWN_STOP) return;
        }
    };
    core.m_nDownState = DOWN_RUNNING;
    return DownloadDriver(core, savePath, {0}, listAddresses);
}
