#include "download/AlbumDownload.h"

#include "core/LumarexCore.h"
#include "download/History.h"
#include "download/ListFiles.h"
#include "download/Naming.h"

#include <QDir>

using namespace Qt::StringLiterals;

CAlbumDownload::CAlbumDownload(CLumarexCore& core, const CListing& listing, const QString& root,
                               const std::atomic<int>* shownAlbum, bool writeMetadata)
    : CPhotoListing(core, listing), m_bWriteMetadata(writeMetadata), m_pShownAlbum(shownAlbum)
{
    m_downList.m_strSaveDir = root;
}

void CAlbumDownload::AddPicture(const QString& strUrl, const QString& strDesc, const QString& strHeaders, int nAlbum)
{
    const ST_PERLISTRECORD album = Albums().At(nAlbum);
    const int n = m_downList.Count();
    const ST_NAMESET names = NameSet(m_nKind);
    const NamingContext context{names, listing.m_strOwnerName, Albums().nSelCount, Albums().Count()};

    // The description never chooses a folder: it is cleaned down to one file name.
    const QString stem = MakePictureName(strUrl, strDesc, album, n, context);
    QString name = HasImageExtension(stem)
                       ? FitFileName(stem.left(stem.lastIndexOf(u'.')), stem.mid(stem.lastIndexOf(u'.')))
                       : FitFileName(stem, u".jpg"_s);
    if (n == 0) StartAlbumFolder(album);
    unsigned counter = 0;
    name = UniquePictureName(stem, name, counter);

    if (StopsAtHistoryMark(strUrl)) return;
    m_downList.Append(strUrl, name, strHeaders);
    m_downList.TakeCounter(stem, counter);
    if (m_bWriteMetadata) m_arrDescs << strDesc;
    if (!m_pShownAlbum || *m_pShownAlbum == nAlbum)
        FrontEnd().SetStatusText(StatusLine::Counts, u"已获取到%1张图片信息"_s.arg(m_downList.Count()));

    if (names.nOptions & OPT_NAME_FILE)
        AppendPictureName(m_downList.m_strSaveDir + FitFileName(album.strName, u".txt"_s), strDesc,
                          m_downList.Count() == 1);
}

void CAlbumDownload::StartAlbumFolder(const ST_PERLISTRECORD& album)
{
    m_downList.m_strSaveDir += MakeAlbumDirName(album, NameSet(m_nKind));
    m_downList.m_bNewFolder = QDir().mkdir(m_downList.m_strSaveDir);
    m_strHistoryUrl = ReadHistoryMark(m_downList.m_strSaveDir);
}

QString CAlbumDownload::UniquePictureName(const QString& stem, const QString& name, unsigned& counter) const
{
    // Counter 0 is the name as built; every other candidate ends in ".jpg", whatever the name's
    // own extension was.
    const auto candidate = [&](unsigned c) { return c == 0 ? name : FitFileName(stem, u" (%1).jpg"_s.arg(c)); };
    return FreePictureName(m_downList, stem, candidate, counter);
}

bool CAlbumDownload::StopsAtHistoryMark(const QString& url)
{
    // An empty mark (a folder never downloaded before) matches nothing, not even an empty address.
    if (!HasOption(OPT_SKIP_OLD) || m_strHistoryUrl.isEmpty() || url != m_strHistoryUrl) return false;
    m_core.States().ReachedHistoryMark();
    return true;
}
