#include "core/Records.h"

#include "core/FileNames.h"

int ST_PERLIST::Append(ST_PERLISTRECORD record)
{
    const QString folder = AlbumFolderName(record.strName);
    std::lock_guard guard(m_lock);
    ++m_folders[folder];
    vRecords.push_back(std::make_unique<ST_PERLISTRECORD>(std::move(record)));
    return int(vRecords.size());
}

int ST_PERLIST::Count() const
{
    std::lock_guard guard(m_lock);
    return int(vRecords.size());
}

ST_PERLISTRECORD ST_PERLIST::At(int index) const
{
    std::lock_guard guard(m_lock);
    if (index < 0 || index >= int(vRecords.size())) return {};
    return *vRecords[size_t(index)];
}

bool ST_PERLIST::HasName(const QString& name) const
{
    const QString folder = AlbumFolderName(name);
    std::lock_guard guard(m_lock);
    return m_folders.value(folder) > 0;
}

void ST_PERLIST::SetImageIndex(int index, int imageIndex)
{
    std::lock_guard guard(m_lock);
    if (index >= 0 && index < int(vRecords.size())) vRecords[size_t(index)]->nImageIndex = imageIndex;
}

void ST_PERLIST::SetName(int index, const QString& name)
{
    const QString folder = AlbumFolderName(name);
    std::lock_guard guard(m_lock);
    if (index < 0 || index >= int(vRecords.size())) return;
    QString& current = vRecords[size_t(index)]->strName;
    const QString oldFolder = AlbumFolderName(current);
    if (--m_folders[oldFolder] <= 0) {
        m_folders.remove(oldFolder);
        // A freed folder may be one that a counter search stepped over; search from 1 again.
        m_nextCounter.clear();
    }
    ++m_folders[folder];
    current = name;
}

void ST_PERLIST::Clear()
{
    std::lock_guard guard(m_lock);
    vRecords.clear();
    m_folders.clear();
    m_nextCounter.clear();
}

unsigned ST_PERLIST::FirstFreeCounter(const QString& stem) const
{
    std::lock_guard guard(m_lock);
    return m_nextCounter.value(stem);
}

void ST_PERLIST::TakeCounter(const QString& stem, unsigned counter)
{
    std::lock_guard guard(m_lock);
    m_nextCounter[stem] = counter + 1;
}

void CDownList::Append(const QString& url, const QString& name, const QString& headers)
{
    const QString key = name.toCaseFolded();
    if (!m_nameIndex.contains(key)) m_nameIndex.insert(key, int(m_arrNames.size()));
    m_arrUrls.append(url);
    m_arrNames.append(name);
    m_arrHeaders.append(headers);
}

int CDownList::FindName(const QString& name) const
{
    return m_nameIndex.value(name.toCaseFolded(), -1);
}

void CDownList::Clear()
{
    m_arrUrls.clear();
    m_arrNames.clear();
    m_arrHeaders.clear();
    m_nameIndex.clear();
    m_nextCounter.clear();
    m_bNewFolder = false;
}

QString FormatPicCount(int count)
{
    if (count == -1) return QStringLiteral("未知");
    return QString::asprintf("%4u", unsigned(count));
}

QString FormatPrivacy(int privacy)
{
    if (privacy < 0) return QString::asprintf("%08u", unsigned(privacy) & 0x7FFFFFFFu);
    if (privacy & PRIVACY_PASSWORD) return QStringLiteral("加密相册");
    if (privacy & PRIVACY_PRIVATE) return QStringLiteral("私密相册");
    if (privacy & PRIVACY_FRIENDS) return QStringLiteral("好友可见");
    return {};
}
