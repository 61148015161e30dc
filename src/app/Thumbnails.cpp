#include "app/Thumbnails.h"

#include "MyCode/URLSource2.h"

#include <QDir>
#include <QImageReader>

using namespace Qt::StringLiterals;

namespace {
constexpr int kCoverTimeoutMs = 15000;
// A cover is a small picture; anything larger is not worth holding up the preview for.
constexpr quint32 kCoverMaxKB = 8 * 1024;
} // namespace

int CThumbnailList::Add(const QImage& image)
{
    std::lock_guard guard(m_lock);
    m_images.push_back(image);
    return int(m_images.size()) - 1;
}

QImage CThumbnailList::At(int index) const
{
    std::lock_guard guard(m_lock);
    if (index < 0 || index >= int(m_images.size())) return {};
    return m_images[size_t(index)];
}

int CThumbnailList::Count() const
{
    std::lock_guard guard(m_lock);
    return int(m_images.size());
}

void CThumbnailList::Clear()
{
    std::lock_guard guard(m_lock);
    m_images.clear();
}

QImage FetchThumbnail(const QString& appDir, int album, const QString& coverUrl, const std::atomic<bool>* abort)
{
    if (coverUrl.isEmpty()) return {};
    const QString folder = appDir + u"tmp/"_s;
    QDir().mkpath(folder);
    const QString path = folder + u"%1.jpg"_s.arg(album);
    QFile::remove(path); // a cover of the previous listing must not stand in for this one
    CURLSource2 request(coverUrl, path, kCoverTimeoutMs);
    request.m_nMaxKB = kCoverMaxKB;
    // A missing cover only leaves its cell without a picture: no pause after the failed attempt,
    // which would hold up every following album of the preview.
    request.m_nRetryDelay = 0;
    request.m_pAbort = abort;
    CURLResponse response;
    if (!request.Send(response, 0)) return {};
    QImageReader reader(path);
    const QImage cover = reader.read();
    if (cover.isNull()) return {};
    return cover.scaled(kThumbWidth, kThumbHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_RGB888);
}
