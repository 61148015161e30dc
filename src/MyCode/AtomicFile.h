#pragma once

#include <QString>
#include <QtGlobal>

#include <sys/types.h>

// A file written whole or not at all: to an unnamed (or, where the file system has none, a
// hidden temporary) file in its own folder, given its final name only by Commit, in one step, so
// that no half-written picture ever carries it. Dropped uncommitted, it leaves nothing behind.
//
// Unlike QSaveFile it does not force the file to the disk before naming it unless asked to, as
// no downloader does: for small pictures that wait costs more than the transfer itself.
class CAtomicFile {
public:
    // The file has mode (narrowed by the umask, as open(2) does) from its creation on, so that
    // no moment shows what is written to anyone the mode leaves out.
    explicit CAtomicFile(QString path, mode_t mode = 0666);
    ~CAtomicFile();
    CAtomicFile(const CAtomicFile&) = delete;
    CAtomicFile& operator=(const CAtomicFile&) = delete;

    // Opens the temporary file on the first call; false on any failure to open or write.
    bool Write(const char* data, qsizetype size);
    // The written bytes take the final name, replacing a file of that name; false when nothing
    // was written or the name could not be given. With flushFirst the bytes reach the disk before
    // the name does.
    bool Commit(bool flushFirst = false);

private:
    bool Open();

    QString m_path;
    QByteArray m_encodedPath; // m_path as the file system takes it, from Open on
    mode_t m_mode;
    QByteArray m_tempPath; // the hidden temporary name when the file has one
    int m_fd = -1;
    bool m_failed = false;
};

// Writes size bytes whole under path, readable and writable by the owner only, and on the disk
// before they take the name: for the settings and the login cookies.
bool WritePrivateFile(const QString& path, const char* data, qsizetype size);

// Waits until what was written into folder's file system is on the disk; false when it could not.
bool SyncFolderToDisk(const QString& folder);
