#include "support/FakeService.h"

#include "support/FakeServiceState.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

void FakeServiceState::Record(const FakeRequest& request)
{
    std::lock_guard lock(mutex);
    requests.append(request);
    maxInFlight = std::max(maxInFlight, ++inFlight);
    int& host = hostMaxInFlight[request.host];
    host = std::max(host, ++hostInFlight[request.host]);
}

void FakeServiceState::Answered(const FakeRequest& request)
{
    std::lock_guard lock(mutex);
    --inFlight;
    --hostInFlight[request.host];
}

bool FakeServiceState::Pause(int milliseconds)
{
    std::unique_lock lock(mutex);
    return !changed.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return stopping; });
}

void FakeServiceState::Opened(int socket)
{
    std::lock_guard lock(mutex);
    openSockets.insert(socket);
    ++connections;
    ++opened;
}

void FakeServiceState::Closed(int socket)
{
    {
        // Closed under the lock so that Stop never shuts down a number already reused.
        std::lock_guard lock(mutex);
        openSockets.erase(socket);
        close(socket);
        --connections;
    }
    changed.notify_all();
}

namespace {

void AcceptLoop(std::shared_ptr<FakeServiceState> state, int listenSocket, int wakeSocket)
{
    pollfd watched[2] = {{listenSocket, POLLIN, 0}, {wakeSocket, POLLIN, 0}};
    for (;;) {
        if (poll(watched, 2, -1) < 0 && errno != EINTR) return;
        if (watched[1].revents != 0) return;
        if ((watched[0].revents & POLLIN) == 0) continue;
        const int socket = accept4(listenSocket, nullptr, nullptr, SOCK_CLOEXEC);
        if (socket < 0) continue;
        // Small pieces must leave at once, or a pause would not split the client's reads.
        const int on = 1;
        setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        state->Opened(socket);
        std::thread(ServeConnection, state, socket).detach();
    }
}

} // namespace

FakeService::FakeService() : m_state(std::make_shared<FakeServiceState>())
{
    m_listenSocket = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_listenSocket < 0 || bind(m_listenSocket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(m_listenSocket, SOMAXCONN) != 0 ||
        getsockname(m_listenSocket, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
        pipe2(m_wakePipe, O_CLOEXEC) != 0) {
        if (m_listenSocket >= 0) close(m_listenSocket);
        throw std::runtime_error("fake service cannot listen on 127.0.0.1");
    }
    m_port = ntohs(address.sin_port);
    m_acceptor = std::thread(AcceptLoop, m_state, m_listenSocket, m_wakePipe[0]);
}

FakeService::~FakeService()
{
    Stop();
}

void FakeService::Stop()
{
    if (!m_acceptor.joinable()) return;
    const char wake = 1;
    [[maybe_unused]] const ssize_t written = write(m_wakePipe[1], &wake, 1);
    m_acceptor.join();
    close(m_listenSocket);
    close(m_wakePipe[0]);
    close(m_wakePipe[1]);
    std::unique_lock lock(m_state->mutex);
    m_state->stopping = true;
    for (const int socket : m_state->openSockets)
        shutdown(socket, SHUT_RDWR);
    m_state->changed.notify_all();
    m_state->changed.wait(lock, [this] { return m_state->connections == 0; });
}

QString FakeService::ProxyUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_port);
}

QString FakeService::DirectUrl(const QByteArray& target) const
{
    return ProxyUrl() + QString::fromUtf8(target);
}

void FakeService::Route(const QByteArray& host, const QByteArray& target, const FakeReply& reply)
{
    Route(host, target, [reply](const FakeRequest&) { return reply; });
}

void FakeService::Route(const QByteArray& host, const QByteArray& target, FakeHandler handler)
{
    m_state->routes.Add(host, target, std::move(handler));
}

QList<FakeRequest> FakeService::Requests() const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->requests;
}

QList<FakeRequest> FakeService::RequestsFor(const QByteArray& host, const QByteArray& path) const
{
    QList<FakeRequest> matching;
    for (const FakeRequest& request : Requests())
        if (request.host == host.toLower() && request.path() == path) matching.append(request);
    return matching;
}

qsizetype FakeService::RequestCount() const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->requests.size();
}

void FakeService::ClearRequests()
{
    std::lock_guard lock(m_state->mutex);
    m_state->requests.clear();
    m_state->maxInFlight = m_state->inFlight;
    m_state->hostMaxInFlight = m_state->hostInFlight;
}

int FakeService::InFlight() const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->inFlight;
}

int FakeService::MaxInFlight() const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->maxInFlight;
}

int FakeService::MaxInFlight(const QByteArray& host) const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->hostMaxInFlight.value(host);
}

int FakeService::ConnectionsOpened() const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->opened;
}
