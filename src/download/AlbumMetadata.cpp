#include "download/AlbumMetadata.h"

#include "MyCode/AtomicFile.h"

#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <optional>

using namespace Qt::StringLiterals;

namespace {
constexpr int kFormat = 1;
constexpr int kMaxBackups = 100;

QString StateName(PictureFacts::State state)
{
    switch (state) {
    case PictureFacts::Saved:
        return u"saved"_s;
    case PictureFacts::Failed:
        return u"failed"_s;
    case PictureFacts::Skipped:
        return u"skipped"_s;
    case PictureFacts::NotTried:
        break;
    }
    return u"notTried"_s;
}

// Only what is known goes in: an empty text or an unknown size is left out.
void PutText(QJsonObject& object, const QString& key, const QString& text)
{
    if (!text.isEmpty()) object[key] = text;
}

QJsonObject PictureObject(const AlbumFacts& album, int i)
{
    const PictureFacts& facts = album.pictures[size_t(i)];
    QJsonObject picture;
    picture[u"file"_s] = album.list->m_arrNames[i];
    picture[u"address"_s] = album.list->m_arrUrls[i];
    if (i < album.descriptions.size()) PutText(picture, u"description"_s, album.descriptions[i]);
    if (facts.bytes >= 0) picture[u"bytes"_s] = double(facts.bytes);
    PutText(picture, u"lastModified"_s, facts.lastModified);
    PutText(picture, u"contentType"_s, facts.contentType);
    picture[u"state"_s] = StateName(facts.state);
    PutText(picture, u"reason"_s, facts.reason);
    return picture;
}

// A picture this run skipped (it was on disk) or did not try tells nothing new about how it
// came there: what an earlier run recorded stays, and only what this run learned is added.
QJsonObject MergedPicture(QJsonObject fresh, const QJsonObject& old)
{
    const QString state = fresh[u"state"_s].toString();
    if (state == u"notTried"_s || (state == u"skipped"_s && old[u"state"_s].toString() == u"saved"_s)) {
        fresh[u"state"_s] = old[u"state"_s];
        fresh.remove(u"reason"_s);
        if (old.contains(u"reason"_s)) fresh[u"reason"_s] = old[u"reason"_s];
    }
    // A picture that failed now has no file of this run: only the page's word on it is kept.
    const bool failed = fresh[u"state"_s].toString() == u"failed"_s;
    for (const QString& key : {u"description"_s, u"bytes"_s, u"lastModified"_s, u"contentType"_s})
        if (!fresh.contains(key) && old.contains(key) && (!failed || key == u"description"_s)) fresh[key] = old[key];
    return fresh;
}

QJsonObject AlbumObject(const AlbumFacts& album, const QJsonObject& old)
{
    QHash<QString, QJsonObject> oldPictures;
    const QJsonArray oldList = old[u"pictures"_s].toArray();
    for (const QJsonValue& value : oldList)
        oldPictures.insert(value[u"address"_s].toString(), value.toObject());
    // This run's pictures in the list's order, then those of earlier runs it did not list (a run
    // that stopped at the history mark lists only the new ones).
    QJsonArray pictures;
    QSet<QString> listed;
    for (int i = 0; i < album.list->Count(); ++i) {
        const QString& url = album.list->m_arrUrls[i];
        const auto earlier = oldPictures.constFind(url);
        pictures.append(earlier == oldPictures.cend() ? PictureObject(album, i)
                                                      : MergedPicture(PictureObject(album, i), *earlier));
        listed.insert(url);
    }
    for (const QJsonValue& value : oldList)
        if (!listed.contains(value[u"address"_s].toString())) pictures.append(value);

    QJsonObject object;
    object[u"name"_s] = album.albumName;
    PutText(object, u"id"_s, album.albumId);
    if (album.countShown >= 0) object[u"countShown"_s] = album.countShown;
    object[u"updated"_s] = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    object[u"pictures"_s] = pictures;
    return object;
}

bool SameAlbum(const QJsonObject& entry, const AlbumFacts& album)
{
    return album.albumId.isEmpty() ? !entry.contains(u"id"_s) && entry[u"name"_s].toString() == album.albumName
                                   : entry[u"id"_s].toString() == album.albumId;
}

// The file an earlier run wrote; an empty object when there is none. A file that is not one of
// ours is moved aside under a free name, so that nothing the user kept there is lost; no value
// when it cannot be.
std::optional<QJsonObject> EarlierFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QJsonObject();
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    file.close();
    if (document.isObject() && document[u"albums"_s].isArray()) return document.object();
    for (int n = 0; n < kMaxBackups; ++n)
        if (QFile::rename(path, path + (n == 0 ? u".bak"_s : u".bak%1"_s.arg(n)))) return QJsonObject();
    return std::nullopt;
}
} // namespace

QString AlbumMetadataName()
{
    return u"album.json"_s;
}

bool IsAlbumMetadataName(const QString& name)
{
    return name.compare(AlbumMetadataName(), Qt::CaseInsensitive) == 0;
}

bool WriteAlbumMetadata(const QString& folder, const AlbumFacts& album)
{
    const QString path = folder + AlbumMetadataName();
    const std::optional<QJsonObject> earlier = EarlierFile(path);
    if (!earlier) return false;
    QJsonObject file = *earlier;
    file[u"format"_s] = kFormat;
    file[u"generator"_s] = u"Talvoria"_s;
    PutText(file, u"service"_s, album.service);
    PutText(file, u"owner"_s, album.owner);
    PutText(file, u"pageAddress"_s, album.pageAddress);

    // Albums that share the folder (no album folders) each keep their entry.
    QJsonArray albums = file[u"albums"_s].toArray();
    qsizetype at = 0;
    while (at < albums.size() && !SameAlbum(albums[at].toObject(), album))
        ++at;
    const QJsonObject entry = AlbumObject(album, at < albums.size() ? albums[at].toObject() : QJsonObject());
    if (at < albums.size())
        albums[at] = entry;
    else
        albums.append(entry);
    file[u"albums"_s] = albums;

    const QByteArray bytes = QJsonDocument(file).toJson(QJsonDocument::Indented);
    CAtomicFile out(path);
    return out.Write(bytes.constData(), bytes.size()) && out.Commit();
}
