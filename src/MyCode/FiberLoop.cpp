#include "MyCode/FiberLoop.h"

#include <curl/curl.h>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TALVORIA_FIBER_ASAN 1
#endif
#if __has_feature(thread_sanitizer)
#define TALVORIA_FIBER_TSAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) && !defined(TALVORIA_FIBER_ASAN)
#define TALVORIA_FIBER_ASAN 1
#endif
#if defined(__SANITIZE_THREAD__) && !defined(TALVORIA_FIBER_TSAN)
#define TALVORIA_FIBER_TSAN 1
#endif
#ifdef TALVORIA_FIBER_ASAN
#include <dlfcn.h>
#include <sanitizer/common_interface_defs.h>
#endif
#ifdef TALVORIA_FIBER_TSAN
#include <sanitizer/tsan_interface.h>
#endif

#include <sys/mman.h>
#include <ucontext.h>
#include <unistd.h>

#include <algorithm>
#include <mutex>
#include <thread>
#include <utility>

namespace {
// Enough for a picture's whole path (the request, its checks, the file): the transfers' own
// callbacks run on the loop's stack, not here.
constexpr size_t kStackSize = 512 * 1024;
// Without news or a transfer's own deadline, the loop still looks around this often: the
// transfers' progress callbacks watch their time-outs and the run's stop.
constexpr std::chrono::milliseconds kLongestPoll{100};

thread_local CFiberLoop* t_loop = nullptr;

// Where a switch leaves and where it lands, as the sanitizers must hear of it: they watch one
// stack per thread unless told that it changed.
struct StackSide {
    const void* bottom = nullptr;
    size_t size = 0;
    void* fakeStack = nullptr; // AddressSanitizer's stack-use-after-return frames of this side
    void* tsanFiber = nullptr;
};

// The switch helpers are inlined into their callers, so that between the sanitizers hearing of
// a switch and the switch itself no instrumented function enters or leaves: ThreadSanitizer
// keeps a call stack per fiber.

// Before swapcontext: from leaves (null when it ends for good) for to.
[[gnu::always_inline]] inline void StartSwitch(StackSide* from, StackSide& to)
{
#ifdef TALVORIA_FIBER_ASAN
    __sanitizer_start_switch_fiber(from ? &from->fakeStack : nullptr, to.bottom, to.size);
#endif
#ifdef TALVORIA_FIBER_TSAN
    __tsan_switch_to_fiber(to.tsanFiber, 0);
#endif
    (void)from;
    (void)to;
}

#ifdef TALVORIA_FIBER_ASAN
// AddressSanitizer's own swapcontext warns on stderr, at the first switch, that its support is
// partial; these switches are announced to it (StartSwitch, FinishSwitch), so libc's is called.
[[gnu::always_inline]] inline int SwapContext(ucontext_t* from, const ucontext_t* to)
{
    using Swap = int (*)(ucontext_t*, const ucontext_t*);
    static const auto libcSwap = [] {
        void* libc = dlopen("libc.so.6", RTLD_LAZY | RTLD_NOLOAD);
        return libc ? reinterpret_cast<Swap>(dlsym(libc, "swapcontext")) : nullptr;
    }();
    return libcSwap ? libcSwap(from, to) : swapcontext(from, to);
}
#else
[[gnu::always_inline]] inline int SwapContext(ucontext_t* from, const ucontext_t* to)
{
    return swapcontext(from, to);
}
#endif

// After swapcontext, on the side that runs now; came learns where the switch came from.
[[gnu::always_inline]] inline void FinishSwitch(StackSide& self, StackSide& came)
{
#ifdef TALVORIA_FIBER_ASAN
    __sanitizer_finish_switch_fiber(self.fakeStack, &came.bottom, &came.size);
#endif
    (void)self;
    (void)came;
}

// The living loops, for the news that concerns them all.
std::mutex g_loopsLock;
std::vector<CFiberLoop*> g_loops;
} // namespace

struct CFiberLoop::Task {
    enum class Waiting { Ready, Transfer, Sleep, News };

    ucontext_t context{};
    void* mapping = nullptr; // the stack, with a guard page below it
    size_t mapped = 0;
    StackSide side;
    std::function<void()> body;
    bool finished = false;
    Waiting waiting = Waiting::Ready;
    Clock::time_point wakeAt{};
    CURLcode result = CURLE_OK;

    ~Task()
    {
#ifdef TALVORIA_FIBER_TSAN
        if (side.tsanFiber) __tsan_destroy_fiber(side.tsanFiber);
#endif
        if (mapping) munmap(mapping, mapped);
    }
};

struct CFiberLoop::Impl {
    CURLM* multi = curl_multi_init();
    ucontext_t scheduler{};
    StackSide schedulerSide; // the thread's own stack, learnt at the first switch
    std::vector<std::unique_ptr<Task>> tasks;
    Task* current = nullptr;
    std::atomic<bool> news{false};
    struct Paused {
        CURL* easy;
        Clock::time_point until;
    };
    std::vector<Paused> paused;

    void Resume(Task& task)
    {
        current = &task;
        task.waiting = Task::Waiting::Ready;
        StartSwitch(&schedulerSide, task.side);
        SwapContext(&scheduler, &task.context);
        StackSide came;
        FinishSwitch(schedulerSide, came);
        current = nullptr;
    }
    void Yield(Task::Waiting why)
    {
        Task& task = *current;
        task.waiting = why;
        StartSwitch(&task.side, schedulerSide);
        SwapContext(&task.context, &scheduler);
        FinishSwitch(task.side, schedulerSide);
    }
    // Hands finished transfers back to their tasks.
    void CollectTransfers()
    {
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
            if (message->msg != CURLMSG_DONE) continue;
            Task* task = nullptr;
            curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, reinterpret_cast<char**>(&task));
            const CURLcode result = message->data.result;
            CURL* easy = message->easy_handle;
            curl_multi_remove_handle(multi, easy);
            // The handle goes back to the idle ones: nothing may resume it any more.
            std::erase_if(paused, [easy](const Paused& entry) { return entry.easy == easy; });
            if (task) {
                task->result = result;
                task->waiting = Task::Waiting::Ready;
            }
        }
    }
    void ResumePausedTransfers(Clock::time_point now)
    {
        std::vector<CURL*> due;
        for (auto it = paused.begin(); it != paused.end();) {
            if (it->until <= now) {
                due.push_back(it->easy);
                it = paused.erase(it);
            } else {
                ++it;
            }
        }
        // Resuming may call the transfer's callbacks at once, which may pause it again.
        for (CURL* easy : due)
            curl_easy_pause(easy, CURLPAUSE_CONT);
    }
    // Wakes the sleepers whose time has come, and every waiter for news when there is some;
    // returns the earliest time a task still sleeping wants to wake.
    Clock::time_point WakeTasks(Clock::time_point now, bool hasNews, bool& anyReady)
    {
        Clock::time_point earliest = Clock::time_point::max();
        for (const auto& task : tasks) {
            if (task->finished) continue;
            const bool sleeping = task->waiting == Task::Waiting::Sleep || task->waiting == Task::Waiting::News;
            if (sleeping && (task->wakeAt <= now || (hasNews && task->waiting == Task::Waiting::News)))
                task->waiting = Task::Waiting::Ready;
            else if (sleeping)
                earliest = std::min(earliest, task->wakeAt);
            anyReady = anyReady || task->waiting == Task::Waiting::Ready;
        }
        for (const Paused& entry : paused)
            earliest = std::min(earliest, entry.until);
        return earliest;
    }
};

CFiberLoop::CFiberLoop() : m_impl(std::make_unique<Impl>())
{
    std::lock_guard guard(g_loopsLock);
    g_loops.push_back(this);
}

CFiberLoop::~CFiberLoop()
{
    {
        std::lock_guard guard(g_loopsLock);
        std::erase(g_loops, this);
    }
    if (m_impl->multi) curl_multi_cleanup(m_impl->multi);
}

bool CFiberLoop::Spawn(std::function<void()> body)
{
    if (!m_impl->multi) return false;
    auto task = std::make_unique<Task>();
    const size_t page = size_t(sysconf(_SC_PAGESIZE));
    task->mapped = kStackSize + page;
    task->mapping = mmap(nullptr, task->mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
    if (task->mapping == MAP_FAILED) {
        task->mapping = nullptr;
        return false;
    }
    // A task that overruns its stack meets the guard page instead of another task's stack.
    mprotect(task->mapping, page, PROT_NONE);
    if (getcontext(&task->context) != 0) return false;
    task->context.uc_stack.ss_sp = static_cast<char*>(task->mapping) + page;
    task->context.uc_stack.ss_size = kStackSize;
    task->context.uc_link = &m_impl->scheduler;
    task->side.bottom = task->context.uc_stack.ss_sp;
    task->side.size = kStackSize;
#ifdef TALVORIA_FIBER_TSAN
    task->side.tsanFiber = __tsan_create_fiber(0);
#endif
    task->body = std::move(body);
    makecontext(&task->context, [] {
        Impl& impl = *t_loop->m_impl;
        Task& self = *impl.current;
        FinishSwitch(self.side, impl.schedulerSide);
        self.body();
        self.finished = true;
        // The task's stack is done with: its side is not kept, and the switch never returns
        // here (a return would leave this frame on the loop's side).
        StartSwitch(nullptr, impl.schedulerSide);
        setcontext(&impl.scheduler);
    }, 0);
    m_impl->tasks.push_back(std::move(task));
    return true;
}

void CFiberLoop::Run()
{
    Impl& impl = *m_impl;
    CFiberLoop* const outer = std::exchange(t_loop, this);
#ifdef TALVORIA_FIBER_TSAN
    impl.schedulerSide.tsanFiber = __tsan_get_current_fiber();
#endif
    for (;;) {
        bool unfinished = false;
        for (const auto& task : impl.tasks) {
            if (!task->finished && task->waiting == Task::Waiting::Ready) impl.Resume(*task);
            unfinished = unfinished || !task->finished;
        }
        if (!unfinished) break;
        int running = 0;
        curl_multi_perform(impl.multi, &running);
        impl.CollectTransfers();
        const Clock::time_point now = Clock::now();
        impl.ResumePausedTransfers(now);
        bool anyReady = false;
        const Clock::time_point earliest = impl.WakeTasks(now, impl.news.exchange(false), anyReady);
        if (anyReady) continue;
        long curlMs = -1;
        curl_multi_timeout(impl.multi, &curlMs);
        auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(kLongestPoll);
        if (earliest != Clock::time_point::max())
            wait = std::min(wait, std::chrono::ceil<std::chrono::milliseconds>(std::max(earliest - now, Clock::duration(0))));
        if (curlMs >= 0) wait = std::min(wait, std::chrono::milliseconds(curlMs));
        curl_multi_poll(impl.multi, nullptr, 0, int(wait.count()), nullptr);
    }
    t_loop = outer;
}

CFiberLoop* CFiberLoop::Current()
{
    return t_loop;
}

bool CFiberLoop::InTask()
{
    return t_loop && t_loop->m_impl->current;
}

int CFiberLoop::PerformTransfer(CURL* easy)
{
    if (!InTask()) return curl_easy_perform(easy);
    Impl& impl = *t_loop->m_impl;
    Task& task = *impl.current;
    curl_easy_setopt(easy, CURLOPT_PRIVATE, &task);
    if (curl_multi_add_handle(impl.multi, easy) != CURLM_OK) return CURLE_FAILED_INIT;
    impl.Yield(Task::Waiting::Transfer);
    curl_easy_setopt(easy, CURLOPT_PRIVATE, nullptr);
    return task.result;
}

void CFiberLoop::SleepUntil(Clock::time_point when)
{
    if (!InTask()) {
        std::this_thread::sleep_until(when);
        return;
    }
    Impl& impl = *t_loop->m_impl;
    impl.current->wakeAt = when;
    impl.Yield(Task::Waiting::Sleep);
}

void CFiberLoop::WaitForNews(Clock::time_point deadline)
{
    if (!InTask()) return;
    Impl& impl = *t_loop->m_impl;
    impl.current->wakeAt = deadline;
    impl.Yield(Task::Waiting::News);
}

void CFiberLoop::Notify()
{
    m_impl->news = true;
    // The loop's own thread looks at the news before it polls again.
    if (t_loop != this && m_impl->multi) curl_multi_wakeup(m_impl->multi);
}

void CFiberLoop::NotifyAll()
{
    std::lock_guard guard(g_loopsLock);
    for (CFiberLoop* loop : g_loops)
        loop->Notify();
}

void CFiberLoop::ResumeAt(CURL* easy, Clock::time_point when)
{
    m_impl->paused.push_back({easy, when});
}
