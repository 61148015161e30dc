#include "download/HostGate.h"

#include "MyCode/FiberLoop.h"

#include <QUrl>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
// A waiting worker looks at the stop request this often.
constexpr std::chrono::milliseconds kAbortPoll{100};
} // namespace

QString CHostGate::HostOf(const QString& url)
{
    // The pictures of an album come from few hosts: the answer for the scheme and authority
    // the thread met last is reused rather than parsing every address.
    thread_local QString lastPrefix, lastHost;
    const qsizetype schemeEnd = url.indexOf(u"://");
    qsizetype prefixEnd = -1;
    if (schemeEnd > 0) {
        for (prefixEnd = schemeEnd + 3; prefixEnd < url.size(); ++prefixEnd)
            if (const QChar c = url[prefixEnd]; c == u'/' || c == u'?' || c == u'#') break;
        if (QStringView(url).first(prefixEnd) == lastPrefix) return lastHost;
    }
    const QUrl parsed(url);
    const int defaultPort = parsed.scheme().compare(u"https"_s, Qt::CaseInsensitive) == 0 ? 443 : 80;
    QString host = parsed.host().toLower() + u':' + QString::number(parsed.port(defaultPort));
    if (prefixEnd > 0) {
        lastPrefix = url.first(prefixEnd);
        lastHost = host;
    }
    return host;
}

CHostGate::Admission CHostGate::Admit(const QString& host, const std::atomic<bool>* abort, std::uint64_t& wave)
{
    std::unique_lock guard(m_lock);
    for (;;) {
        if (abort && *abort) return Admission::Aborted;
        Host& state = m_hosts[host];
        if (state.down) return Admission::Down;
        const Clock::time_point now = Clock::now();
        // After a silence the requests already out decide whether the host is down before
        // another is sent; else every worker would wait out a silent host's time-out in turn.
        const bool awaitingVerdict = state.silences > 0 && state.inFlight > 0;
        const bool full = m_maxPerHost > 0 && state.inFlight >= m_maxPerHost;
        if (state.pausedUntil <= now && !awaitingVerdict && !full) {
            wave = state.wave;
            ++state.inFlight;
            return Admission::Go;
        }
        // A release wakes the waiters; a pause ends by the clock. A worker that is one of many
        // tasks on a loop yields to the others meanwhile.
        const Clock::duration wait = state.pausedUntil > now ? state.pausedUntil - now : Clock::duration(kAbortPoll);
        const Clock::duration slice = std::min<Clock::duration>(wait, kAbortPoll);
        if (CFiberLoop::InTask()) {
            ++m_taskWaiters;
            guard.unlock();
            CFiberLoop::WaitForNews(now + slice);
            guard.lock();
            --m_taskWaiters;
        } else {
            m_changed.wait_for(guard, slice);
        }
    }
}

bool CHostGate::Busy(const QString& host, std::uint64_t wave, qint64 retryAfter)
{
    std::lock_guard guard(m_lock);
    Host& state = m_hosts[host];
    state.silences = 0;
    const Clock::time_point now = Clock::now();
    const auto capped = [](qint64 seconds) {
        return std::chrono::seconds(std::min<qint64>(seconds, kMaxPause.count()));
    };
    if (wave == state.wave) {
        // Answers to requests sent before this pause belong to the same wave: one pause each.
        ++state.wave;
        ++state.busy;
        const qint64 backOff = qint64(1) << std::min(state.busy - 1, 20);
        state.pausedUntil = std::max(state.pausedUntil, now + capped(retryAfter >= 0 ? retryAfter : backOff));
    } else if (retryAfter >= 0) {
        state.pausedUntil = std::max(state.pausedUntil, now + capped(retryAfter));
    }
    return state.busy <= kMaxBusy;
}

bool CHostGate::Silent(const QString& host, bool connected)
{
    std::lock_guard guard(m_lock);
    Host& state = m_hosts[host];
    state.lastConnected = connected;
    state.down = state.down || ++state.silences >= kDownAfter;
    return state.down;
}

void CHostGate::Answered(const QString& host)
{
    std::lock_guard guard(m_lock);
    m_hosts[host].HeardAnswer();
}

bool CHostGate::IsDown(const QString& host) const
{
    std::lock_guard guard(m_lock);
    const auto found = m_hosts.constFind(host);
    return found != m_hosts.cend() && found->down;
}

void CHostGate::Release(const QString& host, bool answered)
{
    bool tasksWait = false;
    {
        std::lock_guard guard(m_lock);
        Host& state = m_hosts[host];
        --state.inFlight;
        if (answered) state.HeardAnswer();
        tasksWait = m_taskWaiters > 0;
    }
    m_changed.notify_all();
    if (tasksWait) CFiberLoop::NotifyAll();
}

QString CHostGate::DownReason(const QString& host) const
{
    std::lock_guard guard(m_lock);
    const QString text = m_hosts.value(host).lastConnected ? u"无应答（该主机已连续%1次无应答，不再尝试）"_s
                                                           : u"连接失败（该主机已连续%1次无法连接，不再尝试）"_s;
    return text.arg(kDownAfter);
}

QString CHostGate::PauseNote() const
{
    std::lock_guard guard(m_lock);
    const Clock::time_point now = Clock::now();
    QString longest;
    Clock::time_point until = now;
    for (auto it = m_hosts.cbegin(); it != m_hosts.cend(); ++it) {
        if (it->pausedUntil > until) {
            until = it->pausedUntil;
            longest = it.key();
        }
    }
    if (longest.isEmpty()) return {};
    const auto seconds = std::chrono::ceil<std::chrono::seconds>(until - now).count();
    return u"%1 繁忙，%2秒后继续"_s.arg(longest.section(u':', 0, 0)).arg(seconds);
}
