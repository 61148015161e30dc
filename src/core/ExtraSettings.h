#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <cstdint>

// A service's settings beyond what its soft.dat slot holds: its restraint toward its hosts, and
// what a download keeps of the service's word (the pictures' times, the albums' metadata).
struct ServiceExtras {
    static constexpr int kMaxSleepRequestMs = 3600 * 1000;
    static constexpr int kMaxPerHost = 15; // the most threads a run has
    int sleepRequestMs = 0;     // least interval between two requests to one host; 0: none
    int maxPerHost = 0;         // transfers at once to one host; 0: as many as the threads
    std::int64_t limitRate = 0; // bytes a second for all transfers of a run; 0: no cap
    bool keepServerTimes = false; // a saved picture takes the server's Last-Modified as its time
    bool writeMetadata = false;   // each album folder gets its album.json
};

// Settings soft.dat has no slot for (its layout is fixed): per service its restraint, and the
// window's remembered places, in "talvoria.ini" beside it. Every change is written at once, so
// a process that is killed keeps what was set before.
class CExtraSettings {
public:
    // appDir: the application folder, ending with "/".
    explicit CExtraSettings(const QString& appDir);

    QByteArray WindowGeometry() const;
    bool SetWindowGeometry(const QByteArray& geometry);
    // The save folder of the last download started; empty when none was.
    QString LastSavePath() const;
    bool SetLastSavePath(const QString& path);

    ServiceExtras Extras(int kind) const;
    bool SetExtras(int kind, const ServiceExtras& extras);

    QString FilePath() const { return m_path; }

private:
    QVariant Value(const QString& key) const;
    bool SetValue(const QString& key, const QVariant& value);

    QString m_path;
};
