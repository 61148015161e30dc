#include "download/ExportList.h"

#include "core/LumarexCore.h"
#include "download/AlbumDownload.h"
#include "download/DownloadDriver.h"
#include "download/ListFiles.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {
// Whitespace and controls in an address would end its line or start an option line of its own.
QString OneLine(const QString& text)
{
    QString line;
    for (const QChar c : text) {
        if (c.unicode() <= 0x20 || c.unicode() == 0x7F)
            line += u"%%1"_s.arg(int(c.unicode()), 2, 16, QChar(u'0')).toUpper();
        else
            line += c;
    }
    return line;
}

QString StripControls(QString text)
{
    text.removeIf([](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; });
    return text.trimmed();
}
} // namespace

std::optional<std::vector<ImportEntry>> ListForExport(CLumarexCore& core, const CListing& listing,
                                                      const QString& savePath, const std::vector<int>& selection,
                                                      const PhotoLister& lister)
{
    const QString root = PrepareRoot(core, listing, savePath);
    if (root.isEmpty()) return std::nullopt;
    QString base = savePath.trimmed();
    if (!base.endsWith(u'/')) base += u'/';
    const std::vector<int> albums = TakeSelection(core, selection);

    std::vector<ImportEntry> entries;
    for (size_t i = 0; i < albums.size(); ++i) {
        if (!BeginAlbum(core)) break;
        core.FrontEnd().SetStatusText(StatusLine::Phase, u"正在列出第%1/%2个图集"_s.arg(i + 1).arg(albums.size()));
        CAlbumDownload album(core, listing, root);
        if (lister) lister(album, albums[i]);
        const CDownList& list = album.m_downList;
        for (int n = 0; n < list.Count(); ++n) {
            QStringList headers;
            for (const QString& line : list.m_arrHeaders.value(n).split(u'\n'))
                if (const QString header = StripControls(line); !header.isEmpty()) headers << header;
            entries.push_back({list.m_arrUrls[n], (list.m_strSaveDir + list.m_arrNames[n]).mid(base.size()), headers});
        }
        // Listing makes the album folder; an export leaves no empty one behind.
        if (list.m_strSaveDir != root) QDir().rmdir(list.m_strSaveDir);
    }
    return entries;
}

QByteArray Aria2ListText(const std::vector<ImportEntry>& entries)
{
    QString text;
    for (const ImportEntry& entry : entries) {
        text += OneLine(entry.url) + u'\n';
        if (!entry.out.isEmpty()) text += u"  out="_s + StripControls(entry.out) + u'\n';
        for (const QString& header : entry.headers)
            text += u"  header="_s + StripControls(header) + u'\n';
    }
    return text.toUtf8();
}

bool WriteAria2List(const QString& path, const std::vector<ImportEntry>& entries)
{
    if (path == u"-"_s) {
        QFile out;
        return out.open(stdout, QIODevice::WriteOnly) && out.write(Aria2ListText(entries)) >= 0 && out.flush();
    }
    // A list is never left half written over an older one.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(Aria2ListText(entries));
    return file.commit();
}

bool ExportDownList(CLumarexCore& core, const CListing& listing, const QString& savePath,
                    const std::vector<int>& selection, const PhotoLister& lister, const QString& listPath,
                    ExportFormat format)
{
    core.SetDownloadUi(true);
    const std::optional<std::vector<ImportEntry>> entries = ListForExport(core, listing, savePath, selection, lister);
    const bool stopped = core.States().DownloadStopRequested();
    core.SetDownloadUi(false);
    if (!entries) return false;
    if (stopped) {
        core.FrontEnd().ShowMessage(u"导出已中断，未写入文件"_s);
        return false;
    }
    bool written = false;
    if (format == ExportFormat::Aria2) {
        written = WriteAria2List(listPath, *entries);
    } else {
        QStringList urls;
        for (const ImportEntry& entry : *entries)
            urls << entry.url;
        written = WriteDownList(listPath, urls);
    }
    core.FrontEnd().ShowMessage(written ? u"已导出%1张图片的地址到 %2"_s.arg(entries->size()).arg(listPath)
                                        : u"无法写入文件: "_s + listPath);
    return written;
}
