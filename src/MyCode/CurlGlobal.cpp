#include "MyCode/CurlGlobal.h"

#include <curl/curl.h>

#include <atomic>
#include <mutex>

namespace {

// One lock per kind of shared data, as libcurl asks for it.
std::mutex g_locks[CURL_LOCK_DATA_LAST];
std::atomic<CURLSH*> g_share{nullptr};

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
    curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_CONNECT);
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
    // Every transfer has ended by now; closing the caches closes the kept connections.
    if (m_share) {
        g_share = nullptr;
        curl_share_cleanup(m_share);
    }
    curl_global_cleanup();
}

CURLSH* CCurlGlobal::Share()
{
    return g_share.load();
}
