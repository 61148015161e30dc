// The album records operations of the hub: what every album lister reports through.
#include "core/LumarexCore.h"
#include "core/FileNames.h"

using namespace Qt::StringLiterals;

void CLumarexCore::AddAlbum(const ST_PERLISTRECORD& album)
{
    if (!m_bReady) return;
    const int count = AddAlbumRecord(album);
    m_frontEnd.AlbumAdded(count - 1);
}

int CLumarexCore::AddAlbumRecord(const ST_PERLISTRECORD& album)
{
    ST_PERLISTRECORD record = album;
    record.nImageIndex = -1;
    record.nIndex = m_pAlbumList->Count();
    SanitizeName(record.strName, kTimeStampFallback, true);
    // Each candidate is built from the cleaned name, never from the previous candidate; the
    // search resumes after the counters this name already took.
    const QString cleaned = FitFileName(record.strName, {});
    const auto candidate = [&cleaned](unsigned counter) {
        return counter == 0 ? cleaned : FitFileName(cleaned, u" (%1)"_s.arg(counter));
    };
    unsigned counter = m_pAlbumList->FirstFreeCounter(cleaned);
    while (HasAlbumName(candidate(counter)))
        ++counter;
    record.strName = candidate(counter);
    const int count = m_pAlbumList->Append(std::move(record));
    m_pAlbumList->TakeCounter(cleaned, counter);
    return count;
}

bool CLumarexCore::HasAlbumName(const QString& name) const
{
    return m_pAlbumList->HasName(name);
}

void CLumarexCore::ClearAlbums()
{
    m_pAlbumList->Clear();
}
