// The picture records operations of the hub: what every photo lister reports through.
#include "core/LumarexCore.h"
#include "download/History.h"
#include "download/ListFiles.h"
#include "download/Naming.h"

#include <QDir>

using namespace Qt::StringLiterals;

void CLumarexCore::AddPicture(const QString& strUrl, const QString& strDesc, const QString& strHeaders, int nAlbum)
{
    const ST_PERLISTRECORD album = m_pAlbumList->At(nAlbum);
    const int n = m_downList.Count();
    const ST_NAMESET names = NameSet(m_nSourceKind);
    const NamingContext context{names, m_strOwnerName, m_pAlbumList->nSelCount, m_pAlbumList->Count()};

    // The description never chooses a folder: it is cleaned down to one file name.
    const QString stem = MakePictureName(strUrl, strDesc, album, n, context);
    QString name = HasImageExtension(stem)
                       ? FitFileName(stem.left(stem.lastIndexOf(u'.')), stem.mid(stem.lastIndexOf(u'.')))
                       : FitFileName(stem, u".jpg"_s);
    unsigned counter = 0;
    if (n == 0)
        StartAlbumFolder(album);
    else
        name = UniquePictureName(stem, name, counter);

    // An empty mark (a folder never downloaded before) matches nothing, not even an empty address.
    if ((names.nOptions & OPT_SKIP_OLD) && !m_strHistoryUrl.isEmpty() && strUrl == m_strHistoryUrl) {
        // A stop requested meanwhile stays a stop.
        std::uint8_t running = DOWN_RUNNING;
        m_nDownState.compare_exchange_strong(running, DOWN_AT_HISTORY);
        return;
    }
    m_downList.Append(strUrl, name, strHeaders);
    m_downList.TakeCounter(stem, counter);
    m_frontEnd.SetStatusText(STATUS_COUNTS, u"已获取到%1张图片信息"_s.arg(m_downList.Count()));

    if (names.nOptions & OPT_NAME_FILE)
        AppendPictureName(m_downList.m_strSaveDir + FitFileName(album.strName, u".txt"_s), strDesc,
                          m_downList.Count() == 1);
}

void CLumarexCore::StartAlbumFolder(const ST_PERLISTRECORD& album)
{
    m_downList.m_strSaveDir += MakeAlbumDirName(album, NameSet(m_nSourceKind));
    QDir().mkdir(m_downList.m_strSaveDir);
    m_strHistoryUrl = ReadHistoryMark(m_downList.m_strSaveDir);
}

QString CLumarexCore::UniquePictureName(const QString& stem, const QString& name, unsigned& counter) const
{
    // Counter 0 is the name as built; every other candidate ends in ".jpg", whatever the name's
    // own extension was. The search resumes after the counters this stem already took.
    const auto candidate = [&](unsigned c) { return c == 0 ? name : FitFileName(stem, u" (%1).jpg"_s.arg(c)); };
    counter = m_downList.FirstFreeCounter(stem);
    QString result = candidate(counter);
    while (FindPictureName(result) >= 0)
        result = candidate(++counter);
    return result;
}

int CLumarexCore::FindPictureName(const QString& name) const
{
    return m_downList.FindName(name);
}
