#pragma once

#include <QString>
#include <QtGlobal>

// A picture on its way to disk: written to an unnamed (or, where the file system has none, a
// hidden temporary) file in the picture's own folder, and given its final name only by Commit,
// in one step, so that no half-written picture ever carries it. Dropped uncommitted, it leaves
// nothing behind.
//
// Unlike QSaveFile it does not flush each picture to the disk before naming it: that costs more
// than the transfer itself. SyncFolderToDisk flushes a whole album at once before its history
// mark is written.
class CPictureFile {
public:
    explicit CPictureFile(QString path);
    ~CPictureFile();
    CPictureFile(const CPictureFile&) = delete;
    CPictureFile& operator=(const CPictureFile&) = delete;

    // Opens the temporary file on the first call; false on any failure to open or write.
    bool Write(const char* data, qsizetype size);
    // The written bytes take the final name, replacing a file of that name; false when nothing
    // was written or the name could not be given.
    bool Commit();

private:
    bool Open();

    QString m_path;
    QByteArray m_tempPath; // the hidden temporary name when the file has one
    int m_fd = -1;
    bool m_failed = false;
};

// Flushes what was written into folder's file system to the disk; false when it could not.
bool SyncFolderToDisk(const QString& folder);
