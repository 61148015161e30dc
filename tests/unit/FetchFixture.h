#pragma once

#include "MyCode/URLSource2.h"
#include "support/FakeServiceTest.h"

#include <chrono>

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// A request as the adapters make it (empty address and save path, 20000 ms), without the pause
// after a failed attempt unless a test asks for it.
struct Fetch {
    CURLSource2 source{QString(), QString(), 20000};
    CURLResponse response;

    explicit Fetch(const QString& url, const QString& savePath = {})
    {
        source.m_strUrl = url;
        source.m_strSavePath = savePath;
        source.m_nRetryDelay = 0;
    }
    bool Send(int flags = 0) { return source.Send(response, flags); }
    QString Text(int flags) const
    {
        QString text;
        response.GetText(text, flags);
        return text;
    }
};

inline qint64 MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration_cast<milliseconds>(Clock::now() - start).count();
}
