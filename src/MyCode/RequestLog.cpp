#include "MyCode/RequestLog.h"

#include <memory>
#include <mutex>

namespace {
std::mutex g_lock;
std::shared_ptr<const RequestSink> g_sink;
} // namespace

void SetRequestSink(RequestSink sink)
{
    std::lock_guard guard(g_lock);
    g_sink = sink ? std::make_shared<const RequestSink>(std::move(sink)) : nullptr;
}

void LogRequest(const QByteArray& method, const QByteArray& url, long status)
{
    std::shared_ptr<const RequestSink> sink;
    {
        std::lock_guard guard(g_lock);
        sink = g_sink;
    }
    // Called outside the lock: the sink may take its own locks (the terminal's).
    if (sink) (*sink)(method, url, status);
}
