#pragma once

#include "support/FakeReply.h"

#include <QByteArray>
#include <QHash>

#include <functional>
#include <mutex>
#include <vector>

using FakeHandler = std::function<FakeReply(const FakeRequest&)>;

// Which handler answers a request. A route names a host ("" or "*" for any) and a target:
// "/path" matches that path with any query, "/path?query" only that exact target, "/prefix*"
// every target starting with the prefix. Exact targets beat paths, paths beat prefixes, longer
// prefixes beat shorter ones, a named host beats any host; a route added again replaces the old.
class FakeRoutes {
public:
    void Add(const QByteArray& host, const QByteArray& target, FakeHandler handler);
    // Empty when no route matches.
    FakeHandler Find(const FakeRequest& request) const;

private:
    struct Prefix {
        QByteArray host;
        QByteArray prefix;
        FakeHandler handler;
    };

    mutable std::mutex m_mutex;
    QHash<QByteArray, FakeHandler> m_targets; // "host target"
    QHash<QByteArray, FakeHandler> m_paths;   // "host path"
    std::vector<Prefix> m_prefixes;
};
