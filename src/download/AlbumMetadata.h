#pragma once

#include "core/Records.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <utility>
#include <vector>

// What a download learned of one picture: what became of it and what the server said of it.
struct PictureFacts {
    // NotTried: a stop came before the transfer or cut it; the picture is still to be had.
    enum State { Saved, Failed, Skipped, NotTried };
    PictureFacts() = default;
    PictureFacts(State state, QString reason, std::int64_t bytes = -1)
        : state(state), reason(std::move(reason)), bytes(bytes)
    {
    }
    State state = NotTried;
    QString reason;          // of a failure
    std::int64_t bytes = -1; // of the file on disk; -1 where there is none
    QString lastModified;    // the server's Last-Modified, as it sent it
    QString contentType;
};

// One album of a run as its album.json describes it.
struct AlbumFacts {
    QString service; // the family's short name; empty for an import
    QString owner;
    QString pageAddress; // the address the listing started from
    QString albumName;
    QString albumId;
    int countShown = -1; // the count the album list showed; -1 where it showed none
    const CDownList* list = nullptr; // the saved names and the addresses
    // As the pages gave them, before any cleaning; shorter than the list where none was given.
    QStringList descriptions;
    std::vector<PictureFacts> pictures; // one per picture of the list
};

// The album folder's metadata file; like the history mark, no picture may take its name.
QString AlbumMetadataName();
bool IsAlbumMetadataName(const QString& name);

// Writes the album into folder's album.json, whole or not at all. What an earlier run wrote
// there is kept and merged: albums keyed by id (or name), pictures by address, and what this
// run did not learn of a picture (it was skipped or not tried) is left as it was. A file that is
// no album.json of ours is kept as "album.json.bak" (or ".bakN" when that name is taken). False
// when nothing could be written.
bool WriteAlbumMetadata(const QString& folder, const AlbumFacts& album);
