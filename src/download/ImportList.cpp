#include "download/ImportList.h"

#include "MyCode/StringCtrl.h"
#include "core/LumarexCore.h"
#include "download/AlbumDownload.h"
#include "download/DownloadDriver.h"
#include "download/History.h"
#include "download/Naming.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
bool IsOptionLine(const QByteArray& line)
{
    return !line.isEmpty() && (line.front() == ' ' || line.front() == '\t');
}

// Headers that frame the request or say where it goes are the transfer's own: from a list they
// could end a request early, smuggle a second one in or hand it to another site.
bool IsTransferHeader(const QString& line)
{
    static const QStringList kOwn = {u"Host"_s, u"Content-Length"_s, u"Transfer-Encoding"_s};
    return kOwn.contains(line.section(u':', 0, 0).trimmed(), Qt::CaseInsensitive);
}

// Why a list gives nothing to download, before its path.
QString UnusableListText(bool read, int refusedLine)
{
    if (refusedLine > 0) return u"下载文件第%1行的请求头含有换行符: "_s.arg(refusedLine);
    return read ? u"下载文件中没有下载地址: "_s : u"无法读取下载文件: "_s;
}

// What one file or folder name cannot hold is deleted; unlike a description, its dots stay, so
// "1000.jpg" keeps its extension. Only dots would mean "here" or "up", so they count as nothing.
QString CleanSegment(QString text)
{
    CStringCtrl::MakeValidUtf16(text);
    text.removeIf(
        [](QChar c) { return u"\\/:*?\"<>|"_s.contains(c) || (c != u'\t' && CStringCtrl::IsControlOrInvisible(c)); });
    text.replace(u'\t', u'_');
    text = text.trimmed();
    if (text.count(u'.') == text.size()) return {};
    return text;
}

QString SplitExtension(const QString& name, QString* extension)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    *extension = dot > 0 ? name.mid(dot) : QString();
    return dot > 0 ? name.left(dot) : name;
}

// Shortened to fit one file name; an image extension survives the cut.
QString FitKeepingExtension(const QString& name)
{
    if (!HasImageExtension(name)) return FitFileName(name);
    QString extension;
    const QString stem = SplitExtension(name, &extension);
    return FitFileName(stem, extension);
}

// One album of an import: the addresses that share a folder.
struct ImportAlbum {
    bool listAlbum = false; // the addresses without a path: one album named after the list
    QString folder;         // relative to the save folder, ending with "/" (empty: the folder itself)
    std::vector<ImportEntry> entries;
};

std::vector<ImportAlbum> GroupByFolder(const std::vector<ImportEntry>& entries)
{
    std::vector<ImportAlbum> albums;
    const auto albumFor = [&albums](bool listAlbum, const QString& folder) -> ImportAlbum& {
        for (ImportAlbum& album : albums)
            if (album.listAlbum == listAlbum && album.folder == folder) return album;
        albums.push_back({listAlbum, folder, {}});
        return albums.back();
    };
    for (ImportEntry entry : entries) {
        entry.out = SafeRelativePath(entry.out);
        const qsizetype slash = entry.out.lastIndexOf(u'/');
        albumFor(entry.out.isEmpty(), entry.out.left(slash + 1)).entries.push_back(entry);
    }
    return albums;
}

// Fills the download list with one imported album, as a photo lister would.
void ListImportAlbum(CAlbumDownload& run, const ImportAlbum& album, int index)
{
    CDownList& list = run.m_downList;
    list.m_strSaveDir += album.listAlbum ? MakeAlbumDirName(run.Albums().At(index), run.NameSet(run.listing.m_nSourceKind))
                                         : album.folder;
    QString failedFolder;
    if (!MakeDirs(list.m_strSaveDir, &failedFolder, &list.m_bNewFolder)) {
        run.m_strFailure = u"无法创建文件夹: "_s + failedFolder;
        return;
    }
    run.m_strHistoryUrl = ReadHistoryMark(list.m_strSaveDir);
    for (const ImportEntry& entry : album.entries) {
        if (run.StopFlag() || run.StopsAtHistoryMark(entry.url)) return;
        AppendImportedPicture(list, entry);
        run.FrontEnd().SetStatusText(StatusLine::Counts, u"已获取到%1张图片信息"_s.arg(list.Count()));
    }
}
} // namespace

std::optional<std::vector<ImportEntry>> ReadImportList(const QString& path, int* refusedLine)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray bytes = file.readAll();
    const int codePage = CStringCtrl::IsUtf8(bytes.constData(), bytes.size()) ? CP_UTF8 : CP_GBK;
    std::vector<ImportEntry> entries;
    const QList<QByteArray> lines = bytes.split('\n');
    for (qsizetype number = 1; number <= lines.size(); ++number) {
        const QByteArray& raw = lines[number - 1];
        const QString line = CStringCtrl::MultiToWide(raw, codePage).trimmed();
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        if (!IsOptionLine(raw)) {
            // aria2 reads tab-separated addresses on one line as mirrors of one file.
            entries.push_back({line.section(u'\t', 0, 0).trimmed(), {}, {}});
            continue;
        }
        if (entries.empty()) continue;
        if (line.startsWith(u"out="_s)) entries.back().out = line.mid(4).trimmed();
        if (!line.startsWith(u"header="_s)) continue;
        const QString header = line.mid(7).trimmed();
        // A carriage return would end the line on the wire and begin a header of its own.
        if (header.contains(u'\r')) {
            if (refusedLine) *refusedLine = int(number);
            return std::nullopt;
        }
        if (!header.isEmpty() && !IsTransferHeader(header)) entries.back().headers << header;
    }
    return entries;
}

QStringList ReadDownList(const QString& path)
{
    QStringList urls;
    for (const ImportEntry& entry : ReadImportList(path).value_or(std::vector<ImportEntry>{}))
        urls << entry.url;
    return urls;
}

QString ImportedPictureName(const QString& url, int n)
{
    // The last segment of the whole address, so that a query holding a path ("psb?/V1/1.jpg")
    // gives its file name; what follows "?" or "#" in that segment is no part of the name.
    const auto beforeQueryOrFragment = [](QStringView text) {
        const auto end = [&](QChar c) {
            const qsizetype at = text.indexOf(c);
            return at < 0 ? text.size() : at;
        };
        return text.first(std::min(end(u'?'), end(u'#')));
    };
    const auto lastSegment = [&](QStringView text) {
        return beforeQueryOrFragment(text.sliced(text.lastIndexOf(u'/') + 1));
    };
    QStringView segment = lastSegment(url);
    if (segment.isEmpty()) segment = lastSegment(beforeQueryOrFragment(url));
    const QString name =
        CleanSegment(segment.contains(u'%') ? QUrl::fromPercentEncoding(segment.toUtf8()) : segment.toString());
    if (name.isEmpty()) return QString::number(n) + u".jpg"_s;
    if (!HasImageExtension(name)) return FitFileName(name, u".jpg"_s);
    // Nothing but the extension left ("%EF%BB%BF.jpg"): the number goes before it.
    if (name.lastIndexOf(u'.') == 0) return QString::number(n) + name;
    return FitKeepingExtension(name);
}

QString SafeRelativePath(const QString& out)
{
    QStringList kept;
    for (const QString& segment : QString(out).replace(u'\\', u'/').split(u'/')) {
        const QString clean = CleanSegment(segment);
        if (!clean.isEmpty()) kept << FitKeepingExtension(clean);
    }
    return kept.join(u'/');
}

void AppendImportedPicture(CDownList& list, const ImportEntry& entry)
{
    const QString name = entry.out.isEmpty() ? ImportedPictureName(entry.url, list.Count() + 1)
                                             : entry.out.mid(entry.out.lastIndexOf(u'/') + 1);
    QString extension;
    const QString stem = SplitExtension(name, &extension);
    // Counter 0 is the name itself; the others keep its extension: "1000 (1).jpg".
    const auto candidate = [&](unsigned c) { return c == 0 ? name : FitFileName(stem, u" (%1)"_s.arg(c) + extension); };
    unsigned counter = 0;
    list.Append(entry.url, FreePictureName(list, name, candidate, counter), entry.headers.join(u"\r\n"_s));
    list.TakeCounter(name, counter);
}

bool ImportAndDownload(CLumarexCore& core, const QString& listPath, const QString& savePath)
{
    int refusedLine = 0;
    const std::optional<std::vector<ImportEntry>> entries = ReadImportList(listPath, &refusedLine);
    if (!entries || entries->empty()) {
        core.FrontEnd().ShowMessage(UnusableListText(entries.has_value(), refusedLine) + listPath);
        core.States().EndDownload();
        return false;
    }
    const std::vector<ImportAlbum> albums = GroupByFolder(*entries);
    // The imported albums replace the list: the grid lets go of the rows it shows first.
    core.FrontEnd().ResetAlbumView();
    core.ClearAlbums();
    // The imported albums are the list now; they have no owner folder and no listing address.
    CListing listing;
    listing.m_nSourceKind = core.m_nSourceKind;
    core.SetListing(listing);
    std::vector<int> selection;
    for (const ImportAlbum& album : albums) {
        ST_PERLISTRECORD record;
        record.strName = album.listAlbum || album.folder.isEmpty() ? QFileInfo(listPath).completeBaseName()
                                                                   : album.folder.chopped(1).section(u'/', -1);
        record.nPicCount = int(album.entries.size());
        selection.push_back(int(selection.size()));
        core.AddAlbumRecord(record);
    }
    const auto fill = [&albums](CAlbumDownload& album, int index) {
        ListImportAlbum(album, albums[size_t(index)], index);
    };
    return DownloadDriver(core, listing, savePath, selection, fill);
}
