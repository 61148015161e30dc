#pragma once

#include "support/FakeReply.h"
#include "support/FakeRoutes.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>
#include <thread>

struct FakeServiceState;

// A real HTTP/1.1 server on 127.0.0.1 (ephemeral port) that stands in for the services. It
// answers plain requests and proxy-style ones ("GET http://host/path HTTP/1.1"), so that with
// http_proxy pointing at it (see ScopedProxy) the code under test asks for the real host names.
// Unknown routes answer 404. Every request is recorded. One thread per connection; safe to use
// from any thread.
//
//   FakeService service;
//   ScopedProxy proxy(service);
//   service.Route("photo.example.com", "/list", FakeReply::File(FixturePath("x/list.html")));
//   ... fetch "http://photo.example.com/list?page=1" ...
//   EXPECT_EQ(service.RequestsFor("photo.example.com", "/list").size(), 1);
class FakeService {
public:
    FakeService(); // listening and serving when it returns
    ~FakeService();
    FakeService(const FakeService&) = delete;
    FakeService& operator=(const FakeService&) = delete;

    // Closes every connection, also those waiting in a pause, and waits for them to end.
    void Stop();

    quint16 Port() const { return m_port; }
    QString ProxyUrl() const;
    // "http://127.0.0.1:port" followed by target, for requests that reach the service directly.
    QString DirectUrl(const QByteArray& target) const;

    // Target rules of FakeRoutes: "/path", "/path?exact=query", "/prefix*"; host "*" for any.
    void Route(const QByteArray& host, const QByteArray& target, const FakeReply& reply);
    void Route(const QByteArray& host, const QByteArray& target, FakeHandler handler);

    QList<FakeRequest> Requests() const;
    // The requests for that host and path (any query).
    QList<FakeRequest> RequestsFor(const QByteArray& host, const QByteArray& path) const;
    qsizetype RequestCount() const;
    void ClearRequests();
    // Requests received and not yet fully answered: now, and the most there ever were at once.
    int InFlight() const;
    int MaxInFlight() const;
    // The most requests to host answered at once.
    int MaxInFlight(const QByteArray& host) const;
    // Connections accepted since the service started.
    int ConnectionsOpened() const;

private:
    std::shared_ptr<FakeServiceState> m_state;
    int m_listenSocket = -1;
    int m_wakePipe[2] = {-1, -1};
    quint16 m_port = 0;
    std::thread m_acceptor;
};
