#pragma once

typedef void CURL;
typedef void CURLSH;

// libcurl's process-wide set-up and tear-down. Each main holds one, made before any thread
// fetches and outliving every fetch. It also holds the DNS cache that every transfer shares and
// the easy handles between transfers, whose kept-alive connections carry the next pictures of
// the same host.
class CCurlGlobal {
public:
    CCurlGlobal();
    ~CCurlGlobal();
    CCurlGlobal(const CCurlGlobal&) = delete;
    CCurlGlobal& operator=(const CCurlGlobal&) = delete;

    // The shared DNS cache of the living instance; null when there is none (each transfer then
    // resolves on its own and no handle is kept).
    static CURLSH* Share();

    // An easy handle for one transfer: one that served an earlier transfer when there is one,
    // so that its set-up (buffers, its own event loop) is paid once per thread rather than once
    // per picture. Null only when libcurl cannot make one.
    static CURL* TakeEasy();
    // Hands the handle back once its transfer has ended; its options are cleared.
    static void GiveBackEasy(CURL* easy);

private:
    CURLSH* m_share = nullptr; // installed by this instance
};
