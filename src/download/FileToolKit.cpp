#include "download/FileToolKit.h"

#include "download/AlbumMetadata.h"
#include "download/History.h"
#include "download/ListFiles.h"

#include <QDirIterator>
#include <QFileInfo>

namespace {
QStringList FilesUnder(const QString& folder, const std::function<bool(const QString& name)>& keep,
                       const std::atomic<bool>& stop)
{
    QStringList files;
    // Hidden files too: the history mark is one, and a picture saved under a dot name is another.
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext() && !stop) {
        const QFileInfo info = it.nextFileInfo();
        if (keep(info.fileName())) files << info.filePath();
    }
    files.sort();
    return files;
}
} // namespace

QStringList ToolFiles(const QString& folder, const std::atomic<bool>& stop)
{
    const auto picture = [](const QString& name) {
        return !IsHistoryMarkName(name) && !IsAlbumMetadataName(name) && !IsListFileName(name);
    };
    return FilesUnder(folder, picture, stop);
}

QStringList ListFilesUnder(const QString& folder, const std::atomic<bool>& stop)
{
    return FilesUnder(folder, IsListFileName, stop);
}

CProgressSteps::CProgressSteps(const FileToolReport& report, int total) : m_report(report), m_total(total)
{
    Done(0);
}

void CProgressSteps::Done(int done)
{
    const int step = m_total > 0 ? int(qint64(done) * 100 / m_total) : 100;
    if (step == m_lastStep || !m_report.progress) return;
    m_lastStep = step;
    m_report.progress(done, m_total);
}

FileToolTally ForEachFile(const QStringList& files, const std::function<std::optional<FileFinding>(const QString&)>& look,
                          const FileToolReport& report, const std::atomic<bool>& stop)
{
    FileToolTally tally;
    CProgressSteps steps(report, int(files.size()));
    for (const QString& path : files) {
        if (stop) {
            tally.stopped = true;
            break;
        }
        if (const std::optional<FileFinding> finding = look(path)) {
            ++tally.findings;
            if (report.found) report.found(*finding);
        }
        steps.Done(++tally.files);
    }
    return tally;
}
