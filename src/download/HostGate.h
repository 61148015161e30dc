#pragma once

#include <QHash>
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

// What one download run has learnt about each picture host, shared by the pool's workers: a
// pause the host asked for (429 or 503, with or without Retry-After), and whether it keeps
// refusing connections or leaving them unanswered. Every call takes the one lock; the state is a few numbers per host.
class CHostGate {
public:
    using Clock = std::chrono::steady_clock;

    // Requests in a row that got no connection or no answer, after which the host's remaining
    // pictures are not tried.
    static constexpr int kDownAfter = 5;
    // Busy answers in a row (for one host, or one picture) that are waited out before a busy
    // answer counts as the picture's failure.
    static constexpr int kMaxBusy = 8;
    static constexpr std::chrono::seconds kMaxPause{300};

    // maxPerHost: transfers at once to one host; 0: no limit of the gate's own.
    explicit CHostGate(int maxPerHost = 0) : m_maxPerHost(maxPerHost) {}

    enum class Admission { Go, Down, Aborted };
    // The host's name and port in an address: the key the gate keeps.
    static QString HostOf(const QString& url);

    // Waits while the host is paused, while it has its most transfers at once, or while
    // requests sent after its last silence are still out. Go with the host's pause count at that
    // moment in wave (hand it back to Busy), and the request counted as out until Release; Down
    // when the host has been given up; Aborted once abort is raised.
    Admission Admit(const QString& host, const std::atomic<bool>* abort, std::uint64_t& wave);
    // The host answered busy to a request admitted in wave. The first such answer since the
    // last pause pauses the host: retryAfter seconds when the answer gave them (>= 0), else a
    // back-off that doubles with each pause in a row from one second, never above kMaxPause;
    // later answers of the same wave only lengthen it to their own Retry-After. False when the
    // host has been busy more than kMaxBusy times in a row: the answer is then a failure.
    bool Busy(const QString& host, std::uint64_t wave, qint64 retryAfter);
    // No connection could be made, or (connected) no answer came in time; true when that gave
    // the host up.
    bool Silent(const QString& host, bool connected);
    // The host answered something other than busy: it is up and not pausing.
    void Answered(const QString& host);
    // A request that Admit let go has ended; call it after its outcome was told. answered:
    // its host answered, told with the release (one look at the host rather than two).
    void Release(const QString& host, bool answered = false);

    // Releases the request it holds when it goes out of scope.
    class Sent {
    public:
        Sent(CHostGate& gate, const QString& host) : m_gate(gate), m_host(host) {}
        ~Sent() { m_gate.Release(m_host, m_answered); }
        Sent(const Sent&) = delete;
        Sent& operator=(const Sent&) = delete;
        // The host answered (Answered, at the release).
        void Answered() { m_answered = true; }

    private:
        CHostGate& m_gate;
        const QString& m_host;
        bool m_answered = false;
    };

    bool IsDown(const QString& host) const;
    // Why a host given up fails its remaining pictures, by what its last silence was.
    QString DownReason(const QString& host) const;
    // "HOST 繁忙，N秒后继续" for the paused host with the longest wait left; empty when none is.
    QString PauseNote() const;

private:
    struct Host {
        int silences = 0;
        int inFlight = 0;
        bool down = false;
        bool lastConnected = false;
        int busy = 0;
        std::uint64_t wave = 0;
        Clock::time_point pausedUntil{};
        // An answer other than busy: the host is up and not pausing.
        void HeardAnswer()
        {
            silences = 0;
            busy = 0;
        }
    };

    const int m_maxPerHost;
    mutable std::mutex m_lock;
    std::condition_variable m_changed;
    int m_taskWaiters = 0; // workers of a loop waiting in Admit: they hear a release as news
    QHash<QString, Host> m_hosts;
};
