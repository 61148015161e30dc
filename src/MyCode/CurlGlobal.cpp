#include "MyCode/CurlGlobal.h"

#include <curl/curl.h>

#include <atomic>
#include <mutex>
#include <vector>

namespace {

// One lock per kind of shared data, as libcurl asks for it.
std::mutex g_locks[CURL_LOCK_DATA_LAST];
std::atomic<CURLSH*> g_share{nullptr};

// Easy handles between transfers, each with the kept-alive connections of its own cache: a
// worker's next transfer to the same host rides on one of them without waiting for a lock
// that every thread would take.
constexpr size_t kMaxIdleHandles = 64;
std::mutex g_idleLock;
std::vector<CURL*> g_idle;

void CleanUpIdleHandles()
{
    std::vector<CURL*> idle;
    {
        std::lock_guard guard(g_idleLock);
        idle.swap(g_idle);
    }
    for (CURL* easy : idle)
        curl_easy_cleanup(easy);
}

void Lock(CURL*, curl_lock_data data, curl_lock_access, void*)
{
    g_locks[data].lock();
}

void Unlock(CURL*, curl_lock_data data, void*)
{
    g_locks[data].unlock();
}

} // namespace

CCurlGlobal::CCurlGlobal()
{
    curl_global_init(CURL_GLOBAL_DEFAULT);
    CURLSH* share = curl_share_init();
    if (!share) return;
    curl_share_setopt(share, CURLSHOPT_LOCKFUNC, Lock);
    curl_share_setopt(share, CURLSHOPT_UNLOCKFUNC, Unlock);
    curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    CURLSH* none = nullptr;
    // A second instance (nested mains in tests) keeps the first one's caches.
    if (g_share.compare_exchange_strong(none, share))
        m_share = share;
    else
        curl_share_cleanup(share);
}

CCurlGlobal::~CCurlGlobal()
{
    // Every transfer has ended by now; cleaning up the idle handles closes the kept connections.
    // They go first: the shared cache cannot close while a handle still uses it.
    if (m_share) g_share = nullptr;
    CleanUpIdleHandles();
    if (m_share) curl_share_cleanup(m_share);
    curl_global_cleanup();
}

CURLSH* CCurlGlobal::Share()
{
    return g_share.load();
}

CURL* CCurlGlobal::TakeEasy()
{
    {
        std::lock_guard guard(g_idleLock);
        if (!g_idle.empty()) {
            CURL* easy = g_idle.back();
            g_idle.pop_back();
            return easy;
        }
    }
    return curl_easy_init();
}

void CCurlGlobal::GiveBackEasy(CURL* easy)
{
    if (!easy) return;
    curl_easy_reset(easy);
    {
        std::lock_guard guard(g_idleLock);
        // Without a living instance nobody would clean the handle up.
        if (g_share.load() && g_idle.size() < kMaxIdleHandles) {
            g_idle.push_back(easy);
            return;
        }
    }
    curl_easy_cleanup(easy);
}
