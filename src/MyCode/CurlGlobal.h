#pragma once

typedef void CURLSH;

// libcurl's process-wide set-up and tear-down. Each main holds one, made before any thread
// fetches and outliving every fetch. It also holds the connection and DNS caches that every
// transfer shares, so that the pictures of one host ride on kept-alive connections whichever
// thread fetches them.
class CCurlGlobal {
public:
    CCurlGlobal();
    ~CCurlGlobal();
    CCurlGlobal(const CCurlGlobal&) = delete;
    CCurlGlobal& operator=(const CCurlGlobal&) = delete;

    // The shared caches of the living instance; null when there is none (each transfer then
    // connects on its own).
    static CURLSH* Share();

private:
    CURLSH* m_share = nullptr; // installed by this instance
};
