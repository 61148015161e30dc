#include "MyCode/AtomicFile.h"

#include <QFile>
#include <QRandomGenerator>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kNameAttempts = 100;

QByteArray FolderOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0) return ".";
    return slash == 0 ? QByteArray("/") : path.left(slash);
}

// The folder of this process's /proc links, opened once: a link is then found by its number
// alone, not by walking /proc each time.
int ProcFdFolder()
{
    static const int folder = ::open("/proc/self/fd", O_PATH | O_DIRECTORY | O_CLOEXEC);
    return folder;
}

bool CanNameUnnamedFiles()
{
    return ProcFdFolder() >= 0;
}

// Gives the unnamed file fd the name path; false with errno set. Since Linux 6.10 the file's
// opener names it by its descriptor alone; older kernels refuse that (ENOENT) to all but a
// process that may search every folder, and the file's /proc link names it instead, at the cost
// of a look through /proc for each file.
bool LinkUnnamed(int fd, const QByteArray& path)
{
    static std::atomic<bool> byDescriptor{true};
    if (byDescriptor.load(std::memory_order_relaxed)) {
        if (::linkat(fd, "", AT_FDCWD, path.constData(), AT_EMPTY_PATH) == 0) return true;
        if (errno != ENOENT) return false;
    }
    const bool linked = ::linkat(ProcFdFolder(), QByteArray::number(fd).constData(), AT_FDCWD, path.constData(),
                                 AT_SYMLINK_FOLLOW) == 0;
    // The link naming the file where its descriptor could not: the kernel is an older one. (A
    // folder that is gone fails both ways.)
    if (linked) byDescriptor.store(false, std::memory_order_relaxed);
    return linked;
}

// A hidden name in the final one's folder, different at each call. It does not grow with the
// final name, so that a name as long as the file system allows still has a temporary one.
QByteArray TempNameBeside(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return path.left(slash + 1) + ".tlv" + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
}

} // namespace

CAtomicFile::CAtomicFile(QString path, mode_t mode) : m_path(std::move(path)), m_mode(mode) {}

CAtomicFile::~CAtomicFile()
{
    if (!m_tempPath.isEmpty()) ::unlink(m_tempPath.constData());
    if (m_fd >= 0) ::close(m_fd);
}

bool CAtomicFile::Open()
{
    m_encodedPath = QFile::encodeName(m_path);
    const QByteArray& path = m_encodedPath;
    if (CanNameUnnamedFiles()) {
        m_fd = ::open(FolderOf(path).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, m_mode);
        if (m_fd >= 0) return true;
    }
    // File systems without unnamed files get a hidden temporary name in the same folder.
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        QByteArray temp = TempNameBeside(path);
        m_fd = ::open(temp.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, m_mode);
        if (m_fd >= 0) {
            m_tempPath = std::move(temp);
            return true;
        }
        if (errno != EEXIST) return false;
    }
    return false;
}

bool CAtomicFile::Write(const char* data, qsizetype size)
{
    if (m_failed || (m_fd < 0 && !Open())) return !(m_failed = true);
    while (size > 0) {
        const ssize_t written = ::write(m_fd, data, size_t(size));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return !(m_failed = true);
        data += written;
        size -= written;
    }
    return true;
}

bool CAtomicFile::Commit(bool flushFirst)
{
    if (m_failed || m_fd < 0) return false;
    if (flushFirst && ::fdatasync(m_fd) != 0) return false;
    const QByteArray& path = m_encodedPath;
    if (m_tempPath.isEmpty()) {
        if (LinkUnnamed(m_fd, path)) {
            ::close(m_fd);
            m_fd = -1;
            return true;
        }
        if (errno != EEXIST) return false;
        // The name is taken: the file gets a temporary name and replaces the old one by renaming.
        for (int attempt = 0; attempt < kNameAttempts && m_tempPath.isEmpty(); ++attempt) {
            const QByteArray temp = TempNameBeside(path);
            if (LinkUnnamed(m_fd, temp))
                m_tempPath = temp;
            else if (errno != EEXIST)
                return false;
        }
        if (m_tempPath.isEmpty()) return false;
    }
    if (::rename(m_tempPath.constData(), path.constData()) != 0) return false;
    m_tempPath.clear();
    ::close(m_fd);
    m_fd = -1;
    return true;
}

bool WritePrivateFile(const QString& path, const char* data, qsizetype size)
{
    CAtomicFile file(path, 0600);
    return file.Write(data, size) && file.Commit(true);
}

bool SyncFolderToDisk(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = ::syncfs(fd) == 0;
    ::close(fd);
    return synced;
}
