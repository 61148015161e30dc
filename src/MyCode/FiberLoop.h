#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

typedef void CURL;

// Many transfers on one thread. Each task runs on a small stack of its own (a fiber) as plain
// blocking code; where it would block (a transfer, a sleep, a wait for news) it yields to the
// loop, which drives every transfer through one libcurl multi handle and one poll. A worker
// pool of many threads wakes one thread per socket; this wakes once for all that are ready.
//
// Code below does not need to know: PerformTransfer, SleepUntil and WaitForNews behave as their
// blocking forms on any other thread. Only one rule binds a task: it never yields while it holds
// a lock another task may take.
class CFiberLoop {
public:
    using Clock = std::chrono::steady_clock;

    CFiberLoop();
    ~CFiberLoop();
    CFiberLoop(const CFiberLoop&) = delete;
    CFiberLoop& operator=(const CFiberLoop&) = delete;

    // A task to run once Run starts; false when no stack could be had for it.
    bool Spawn(std::function<void()> task);
    // Runs the tasks on this thread until every one has returned.
    void Run();

    // The loop running on this thread (in a task or in a transfer's callbacks), or null.
    static CFiberLoop* Current();
    // Whether this code runs in one of the loop's tasks (not in the loop itself).
    static bool InTask();

    // curl_easy_perform of the easy handle, ready to go; in a task it yields while the loop
    // drives it.
    static int PerformTransfer(CURL* easy);
    // Sleeps until when; in a task it yields meanwhile.
    static void SleepUntil(Clock::time_point when);
    // In a task: yields until Notify is called or until the deadline. Elsewhere it does nothing:
    // the caller waits on its own condition variable instead.
    static void WaitForNews(Clock::time_point deadline);
    // Wakes every task of this loop waiting for news; callable from any thread.
    void Notify();
    // The same for every loop of the process.
    static void NotifyAll();
    // From a transfer's callback: the loop resumes the paused transfer at when. (Its progress
    // callback is still called while it is paused, and can end it sooner.)
    void ResumeAt(CURL* easy, Clock::time_point when);

private:
    struct Task;
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};
