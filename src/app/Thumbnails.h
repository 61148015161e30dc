#pragma once

#include <QImage>
#include <QString>

#include <atomic>
#include <mutex>
#include <vector>

// Size of a preview thumbnail, the cells of the preview grid follow it.
inline constexpr int kThumbWidth = 113;
inline constexpr int kThumbHeight = 120;

// The preview image list: thumbnails in the order they were made; an album record's nImageIndex
// points into it. Filled by the threads that fetch covers, read by the grid.
class CThumbnailList {
public:
    int Add(const QImage& image); // returns the new image's index
    QImage At(int index) const;   // a null image for an unknown index
    int Count() const;
    void Clear();

private:
    mutable std::mutex m_lock;
    std::vector<QImage> m_images;
};

// Downloads a cover into "tmp/<album>.jpg" of the application folder and returns it scaled to the
// thumbnail size (aspect ratio not kept), or a null image when the download or decoding fails.
// Runs on a worker thread; abort, when raised, ends the transfer at once.
QImage FetchThumbnail(const QString& appDir, int album, const QString& coverUrl, const std::atomic<bool>* abort);
