#pragma once

#include <QByteArray>

#include <functional>

// A process-wide hook that sees every request hop the fetcher makes: method, address and the
// HTTP status (0 when no answer came). Set it before any transfer starts and clear it after the
// last ends; the command line's --verbose prints through it.
using RequestSink = std::function<void(const QByteArray& method, const QByteArray& url, long status)>;

void SetRequestSink(RequestSink sink);
void LogRequest(const QByteArray& method, const QByteArray& url, long status);
