#pragma once

#include "support/FakeReply.h"
#include "support/FakeRoutes.h"

#include <QHash>
#include <QList>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>

// What the fake service's acceptor and connection threads share. Connection threads hold it by
// shared pointer, so it outlives the service object if a thread is still unwinding.
struct FakeServiceState {
    FakeRoutes routes;

    mutable std::mutex mutex;
    std::condition_variable changed;
    bool stopping = false;
    std::set<int> openSockets;
    int connections = 0;
    int opened = 0; // every connection ever accepted
    QList<FakeRequest> requests;
    int inFlight = 0;
    int maxInFlight = 0;
    // The same per host.
    QHash<QByteArray, int> hostInFlight;
    QHash<QByteArray, int> hostMaxInFlight;

    void Record(const FakeRequest& request);
    void Answered(const FakeRequest& request);
    // Sleeps for milliseconds unless the service stops first; false when it stops.
    bool Pause(int milliseconds);
    void Opened(int socket);
    void Closed(int socket);
};

// Serves one accepted connection until the client closes it or the service stops.
void ServeConnection(std::shared_ptr<FakeServiceState> state, int socket);
