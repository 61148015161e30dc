#pragma once

#include "core/AdapterRun.h"
#include "core/Records.h"

#include <QString>

#include <atomic>

// One album of a download run as its photo lister fills it: the download list, the album's
// folder under the run's root and the history mark read there.
class CAlbumDownload : public CPhotoListing {
public:
    // root: the run's download folder, ending with "/". shownAlbum, when given, is the album whose
    // listing may show its count line: an album listed ahead of the downloads keeps quiet.
    // writeMetadata: the run writes the album's metadata file (a run decides it once, at its start).
    CAlbumDownload(CLumarexCore& core, const CListing& listing, const QString& root,
                   const std::atomic<int>* shownAlbum = nullptr, bool writeMetadata = false);

    // The first picture creates the album folder and reads its history mark; a picture at the
    // mark ends the album's listing. The description never chooses a folder.
    void AddPicture(const QString& strUrl, const QString& strDesc, const QString& strHeaders, int nAlbum) override;
    int PictureCount() const override { return m_downList.Count(); }
    // With the skip option, a picture at the album's history mark ends the album's listing:
    // it and the rest are already on disk. True when url is at the mark.
    bool StopsAtHistoryMark(const QString& url);

    CDownList m_downList;
    // With the album's metadata file: the pictures' descriptions as the pages gave them.
    const bool m_bWriteMetadata;
    QStringList m_arrDescs;
    QString m_strHistoryUrl;
    // Why the album could not be listed at all (its folder cannot be made): its failure in the
    // run's summary. Empty when it could.
    QString m_strFailure;

private:
    const std::atomic<int>* m_pShownAlbum;

    void StartAlbumFolder(const ST_PERLISTRECORD& album);
    // The first free name among name and the "(n)" forms of stem; counter says which it is.
    QString UniquePictureName(const QString& stem, const QString& name, unsigned& counter) const;
};
