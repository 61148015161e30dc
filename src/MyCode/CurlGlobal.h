#pragma once

// libcurl's process-wide set-up and tear-down. Each main holds one, made before any thread
// fetches and outliving every fetch.
class CCurlGlobal {
public:
    CCurlGlobal();
    ~CCurlGlobal();
    CCurlGlobal(const CCurlGlobal&) = delete;
    CCurlGlobal& operator=(const CCurlGlobal&) = delete;
};
