#include "unit/FetchFixture.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

// Sends raw bytes to the service and returns everything it answers until it closes.
QByteArray Exchange(quint16 port, const QByteArray& request)
{
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    QByteArray answer;
    if (connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        send(socket, request.constData(), request.size(), MSG_NOSIGNAL) == request.size()) {
        char buffer[4096];
        for (ssize_t count; (count = recv(socket, buffer, sizeof buffer, 0)) > 0;)
            answer.append(buffer, count);
    }
    close(socket);
    return answer;
}

QByteArray BodyOf(const QByteArray& answer)
{
    return answer.mid(answer.indexOf("\r\n\r\n") + 4);
}

TEST(FakeService, RoutesByHostAndTargetWithTheMostSpecificWinning)
{
    FakeService service;
    service.Route("*", "/p*", FakeReply::Ok("any host prefix"));
    service.Route("a.example.com", "/p*", FakeReply::Ok("prefix"));
    service.Route("a.example.com", "/page*", FakeReply::Ok("longer prefix"));
    service.Route("a.example.com", "/page", FakeReply::Ok("path"));
    service.Route("a.example.com", "/page?id=1", FakeReply::Ok("exact"));
    const auto get = [&](const QByteArray& host, const QByteArray& target) {
        return BodyOf(
            Exchange(service.Port(), "GET " + target + " HTTP/1.1\r\nHost: " + host + "\r\nConnection: close\r\n\r\n"));
    };
    EXPECT_EQ(get("a.example.com", "/page?id=1"), "exact");
    EXPECT_EQ(get("a.example.com:80", "/page?id=2"), "path");
    EXPECT_EQ(get("A.Example.com", "/pages/2"), "longer prefix");
    EXPECT_EQ(get("a.example.com", "/pix"), "prefix");
    EXPECT_EQ(get("b.example.com", "/pix"), "any host prefix");
    EXPECT_TRUE(Exchange(service.Port(), "GET /x HTTP/1.1\r\nHost: b.example.com\r\nConnection: close\r\n\r\n")
                    .startsWith("HTTP/1.1 404 Not Found\r\n"));
    const FakeRequest first = service.Requests().value(0);
    EXPECT_FALSE(first.viaProxy);
    EXPECT_EQ(first.host, "a.example.com");
}

TEST(FakeService, SendsChunksAndWrongLengthsAsAsked)
{
    FakeService service;
    service.Route("a.example.com", "/chunked", FakeReply::Ok("abcdefghij").ChunkedAt({3, 7}));
    service.Route("a.example.com", "/short", FakeReply::Ok("abc").AnnounceLength(10));
    const QByteArray chunked =
        Exchange(service.Port(),
                 "GET http://a.example.com/chunked HTTP/1.1\r\nHost: a.example.com\r\nConnection: close\r\n\r\n");
    EXPECT_TRUE(chunked.contains("\r\nTransfer-Encoding: chunked\r\n"));
    EXPECT_EQ(BodyOf(chunked), "3\r\nabc\r\n4\r\ndefg\r\n3\r\nhij\r\n0\r\n\r\n");

    // The stream closes after a lying length, so the exchange ends without Connection: close.
    const QByteArray lying =
        Exchange(service.Port(), "GET http://a.example.com/short HTTP/1.1\r\nHost: a.example.com\r\n\r\n");
    EXPECT_TRUE(lying.contains("\r\nContent-Length: 10\r\n"));
    EXPECT_EQ(BodyOf(lying), "abc");
}

TEST(FakeService, StopEndsConnectionsThatArePaused)
{
    auto service = std::make_unique<FakeService>();
    service->Route("*", "/slow", FakeReply::Ok("late").PauseAt(0, 60000));
    std::thread client(
        [port = service->Port()] { Exchange(port, "GET /slow HTTP/1.1\r\nHost: a.example.com\r\n\r\n"); });
    while (service->InFlight() == 0)
        std::this_thread::sleep_for(milliseconds(10));
    const auto start = Clock::now();
    service->Stop();
    client.join();
    EXPECT_LT(MillisecondsSince(start), 5000);
}

TEST(FakeService, ChildProcessReachesItThroughItsProxySetting)
{
    FakeService service;
    setenv("NO_PROXY", "*", 1);
    const ChildResult child = RunProxied(service, QStringLiteral("/usr/bin/env"), {});
    unsetenv("NO_PROXY");
    ASSERT_TRUE(child.finished);
    EXPECT_EQ(child.exitCode, 0);
    const QList<QByteArray> variables = child.out.split('\n');
    EXPECT_TRUE(variables.contains("http_proxy=" + service.ProxyUrl().toUtf8()));
    EXPECT_FALSE(std::any_of(variables.begin(), variables.end(),
                             [](const QByteArray& v) { return v.toLower().startsWith("no_proxy="); }));
}

class FakeServiceConcurrencyTest : public FakeServiceTest {};

TEST_F(FakeServiceConcurrencyTest, CountsRequestsInFlight)
{
    // Each answer waits until all three requests have arrived, however slowly the clients start.
    std::mutex mutex;
    std::condition_variable allArrived;
    int arrived = 0;
    service.Route("pics.example.com", "/slow*", [&](const FakeRequest&) {
        std::unique_lock lock(mutex);
        ++arrived;
        allArrived.notify_all();
        allArrived.wait_for(lock, std::chrono::seconds(10), [&] { return arrived == 3; });
        return FakeReply::Ok("jpeg");
    });
    std::vector<std::thread> workers;
    for (int i = 0; i < 3; ++i)
        workers.emplace_back([i] { Fetch(QStringLiteral("http://pics.example.com/slow%1").arg(i)).Send(); });
    for (std::thread& worker : workers)
        worker.join();
    EXPECT_EQ(service.MaxInFlight(), 3);
    EXPECT_EQ(service.RequestCount(), 3);
}

} // namespace
