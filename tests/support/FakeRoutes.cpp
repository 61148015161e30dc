#include "support/FakeRoutes.h"

namespace {
QByteArray Key(const QByteArray& host, const QByteArray& target)
{
    return host + ' ' + target;
}
} // namespace

void FakeRoutes::Add(const QByteArray& host, const QByteArray& target, FakeHandler handler)
{
    const QByteArray anyOrHost = host == "*" ? QByteArray() : host.toLower();
    std::lock_guard lock(m_mutex);
    if (target.endsWith('*')) {
        const QByteArray prefix = target.chopped(1);
        std::erase_if(m_prefixes, [&](const Prefix& p) { return p.host == anyOrHost && p.prefix == prefix; });
        m_prefixes.push_back({anyOrHost, prefix, std::move(handler)});
    } else if (target.contains('?')) {
        m_targets.insert(Key(anyOrHost, target), std::move(handler));
    } else {
        m_paths.insert(Key(anyOrHost, target), std::move(handler));
    }
}

FakeHandler FakeRoutes::Find(const FakeRequest& request) const
{
    std::lock_guard lock(m_mutex);
    for (const QByteArray& host : {request.host, QByteArray()}) {
        if (auto it = m_targets.constFind(Key(host, request.target)); it != m_targets.cend()) return *it;
    }
    for (const QByteArray& host : {request.host, QByteArray()}) {
        if (auto it = m_paths.constFind(Key(host, request.path())); it != m_paths.cend()) return *it;
    }
    const Prefix* best = nullptr;
    for (const Prefix& route : m_prefixes) {
        if ((!route.host.isEmpty() && route.host != request.host) || !request.target.startsWith(route.prefix)) continue;
        const bool longer = !best || route.prefix.size() > best->prefix.size();
        const bool sameButNamedHost =
            best && route.prefix.size() == best->prefix.size() && best->host.isEmpty() && !route.host.isEmpty();
        if (longer || sameButNamedHost) best = &route;
    }
    return best ? best->handler : FakeHandler();
}
