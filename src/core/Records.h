#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>
#include <mutex>
#include <vector>

// Privacy bits of an album; a negative value is a service-specific code.
enum AlbumPrivacy : int {
    PRIVACY_PASSWORD = 0x1,
    PRIVACY_PRIVATE = 0x2,
    PRIVACY_FRIENDS = 0x4,
};

// One album as an album lister found it. Listers fill a template and pass it to AddAlbum.
struct ST_PERLISTRECORD {
    QString strName;
    QString strAlbumId;
    QString strCoverUrl;
    QString strParam1; // service-specific text the photo lister needs
    QString strParam2;
    int nPicCount = -1; // -1: not given
    int nPrivacy = 0;
    int nParam1 = 0; // placeholder "?4"
    int nParam2 = 0; // placeholder "?5"
    int nIndex = 0;  // position in the list when added
    int nImageIndex = -1;
};

// The album list. Listers append on the get-albums thread while the window draws rows on its
// own thread, so every access goes through the lock and readers get copies.
class ST_PERLIST {
public:
    int Append(ST_PERLISTRECORD record); // returns the new count
    int Count() const;
    bool IsEmpty() const { return Count() == 0; }
    ST_PERLISTRECORD At(int index) const;
    // Whether some album's name leads to the same folder as name: the names that reach the
    // disk are what must differ, not the texts in memory.
    bool HasName(const QString& name) const;
    void SetImageIndex(int index, int imageIndex);
    // A photo lister may learn an album's full name only from the album's own page.
    void SetName(int index, const QString& name);
    void Clear();
    // Where the "(n)" search for a name cleaned to stem resumes: every smaller counter (0 is the
    // name without one) leads to a folder some album holds.
    unsigned FirstFreeCounter(const QString& stem) const;
    // An album was just added under stem with counter.
    void TakeCounter(const QString& stem, unsigned counter);

    int nSelCount = 0; // albums selected for the current download; placeholder "?6"

private:
    mutable std::mutex m_lock;
    std::vector<std::unique_ptr<ST_PERLISTRECORD>> vRecords;
    // The folder each album name leads to, and how many albums lead there.
    QHash<QString, int> m_folders;
    // Per stem, the counter after the last one taken; without it a name repeated n times costs
    // n searches from 1 each.
    QHash<QString, unsigned> m_nextCounter;
};

// The pictures of the album being downloaded, as three parallel arrays. Filled by the download
// thread while no pool runs, read by the workers while one does.
struct CDownList {
    QStringList m_arrUrls;
    QStringList m_arrNames;   // relative to m_strSaveDir
    QStringList m_arrHeaders; // extra request header lines per picture (may be empty)
    QString m_strSaveDir;     // current album folder, ending with "/"
    // The folder was made for this list: no earlier run saved a picture in it, and none is
    // looked for there.
    bool m_bNewFolder = false;

    int Count() const { return int(m_arrUrls.size()); }
    void Append(const QString& url, const QString& name, const QString& headers);
    // Index of the first picture with that name in any letter case, or -1.
    int FindName(const QString& name) const;
    void Clear();
    // Where the "(n)" search for a picture named from stem resumes: every smaller counter (0 is
    // the name without one) gives a name already in the list.
    unsigned FirstFreeCounter(const QString& stem) const { return m_nextCounter.value(stem); }
    // A picture named from stem with counter was just appended.
    void TakeCounter(const QString& stem, unsigned counter) { m_nextCounter[stem] = counter + 1; }

private:
    // Folded names to their first index, so that an album of thousands of pictures is named in
    // linear time.
    QHash<QString, int> m_nameIndex;
    // Per stem, the counter after the last one taken: thousands of pictures sharing one
    // description would otherwise each search from 1.
    QHash<QString, unsigned> m_nextCounter;
};

QString FormatPicCount(int count);
QString FormatPrivacy(int privacy);
