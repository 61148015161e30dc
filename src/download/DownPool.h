#pragma once

#include "core/FrontEnd.h"
#include "core/Records.h"
#include "MyCode/FiberLoop.h"
#include "MyCode/TransferMeter.h"
#include "download/AlbumMetadata.h"
#include "download/HostGate.h"
#include "download/RateMeter.h"

#include <QHash>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// What a run takes from the service's download settings.
struct DownRunParams {
    std::uint16_t nThreads = 5;
    std::uint16_t nTimeout = 30; // seconds: connecting, the first byte, each read, the speed floor
    std::uint16_t nMinKB = 0;
    std::uint16_t nMaxKB = 0;
    // Transfers at once to one host; 0: as many as there are threads.
    int maxPerHost = 0;
    // A saved picture takes the server's Last-Modified as its time.
    bool keepServerTimes = false;
    // Each picture's facts are kept for its album's metadata file.
    bool keepFacts = false;
};

// The worker pool of one download run: up to nThreads workers take the pictures of the albums
// handed to it, in order, the next album's first picture as soon as the album before has none
// left to hand out, so the pool never drains between albums. Each album's pictures are counted
// apart, and the run waits for the albums in the order it added them. A stop request is seen by
// every worker before its next picture, and every running transfer is cut short at once. What
// the pool learns about the hosts (a pause asked for, a host that gives no answer) lasts as long
// as the pool: one download run.
class CDownPool {
public:
    // stop: the run's stop request, set by whoever stops the run and never cleared by the pool.
    // The workers start here, as tasks of one loop on a thread of its own.
    CDownPool(const std::atomic<bool>& stop, const DownRunParams& params);
    // Joins the workers; those still in a transfer after a stop end it at once, cut short.
    ~CDownPool();
    CDownPool(const CDownPool&) = delete;
    CDownPool& operator=(const CDownPool&) = delete;

    // Queues the list's pictures behind those already queued; the list stays where it is until
    // WaitForAlbum has returned it. Without a worker every picture fails at once.
    void Add(const CDownList& list);
    // DownPicFunc: waits until every picture of the oldest album added and not yet waited for is
    // done, or a stop was requested and its transfers have ended; returns what became of them
    // (the counts and failures). frontEnd (may be null) hears the album's progress on top of the
    // run's, given in progress. With keepFacts, facts (when given) receives each picture's.
    DownSummary WaitForAlbum(IFrontEnd* frontEnd, RunProgress progress = {}, std::vector<PictureFacts>* facts = nullptr);
    // One album on its own: Add, then WaitForAlbum.
    DownSummary Run(const CDownList& list, IFrontEnd* frontEnd, RunProgress progress = {});
    // Waits while more than limit pictures are queued and not yet handed to a worker; false
    // once a stop was requested.
    bool WaitForRoom(int limit);

private:
    struct Album;
    // What one worker is fetching: the album it belongs to (null between pictures) and how far
    // its bytes have come.
    struct Slot {
        Album* album = nullptr;
        TransferMeter meter;
    };
    void Work(Slot& slot);
    // Under the lock: the album's pictures in hundredths, and the run's bytes received so far.
    int PictureHundredths(const Album& album) const;
    std::int64_t BytesReceived() const;
    // Under the lock: the speed and the album's time left, from the bytes the run received.
    void Estimate(const Album& album, RunProgress& progress);
    void Finish(Album& album, int picture, PictureFacts outcome);
    // A picture handed to a worker, with copies of what the worker needs of its list.
    struct Taken {
        std::shared_ptr<Album> album;
        int picture = 0;
        QString url, host, headers, path;
        bool mayBeOnDisk = true; // an earlier run may have saved it: its folder was there before
    };
    bool TakePicture(Taken& taken, Slot& slot);
    // Under the lock: the picture of album to hand out next, marked as handed out.
    int PickPicture(Album& album);

    const std::atomic<bool>& m_bStopDown;
    const DownRunParams m_params;
    CHostGate m_hosts;
    std::mutex m_lock;
    // With a cap per host: its pictures handed out and not yet done.
    QHash<QString, int> m_handedToHost;
    std::condition_variable m_progress; // an album is done, or a stop was seen
    std::condition_variable m_room;     // a picture was handed out
    std::deque<std::shared_ptr<Album>> m_albums; // added and not yet waited for, in order
    size_t m_handOut = 0;                        // the first of them with pictures not handed out
    int m_waiting = 0;                           // pictures queued and not handed out
    bool m_closed = false;
    std::unique_ptr<Slot[]> m_slots;
    int m_slotCount = 0;
    std::int64_t m_finishedBytes = 0; // of the pictures done, saved or not
    std::int64_t m_savedBytes = 0;
    int m_savedPictures = 0;
    CRateMeter m_rate;
    // The workers are tasks of one loop on a thread of its own. Without that thread there is no
    // worker at all.
    CFiberLoop m_loop;
    std::thread m_runner;
};
