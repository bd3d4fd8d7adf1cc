#pragma once
// The main run loop. One pass: move the posted blocks out of the queue and run them in posting
// order, then fire every timer that is due, earliest first. Anything a block posts or schedules
// runs on a later pass. Timers and delayed blocks run on the monotonic clock; with a
// ManualClock, advanceBy() steps time by hand and runs everything due, in time order.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "platform/core/Clock.h"

class RunLoop;

// A scheduled timer or delayed block; invalidate() drops it. Copies share the same timer.
class TimerHandle {
public:
    TimerHandle() = default;
    void invalidate();
    bool isValid() const;

private:
    friend class RunLoop;
    struct State {
        std::function<void()> block;
        double deadline = 0;
        double interval = 0;
        bool repeats = false;
        bool valid = true;
        uint64_t order = 0;
    };
    explicit TimerHandle(std::shared_ptr<State> s) : state_(std::move(s)) {}
    std::shared_ptr<State> state_;
};

// A serial background queue: blocks run one at a time, in order, on their own thread.
// Follow-up steps for the main thread go through RunLoop::main().post().
class BackgroundWorker {
public:
    BackgroundWorker();
    ~BackgroundWorker();
    BackgroundWorker(const BackgroundWorker&) = delete;
    BackgroundWorker& operator=(const BackgroundWorker&) = delete;

    void dispatch(std::function<void()> block);
    // Blocks until every dispatched block has run (tests and the manual clock use it).
    void waitUntilIdle();
    bool isIdle() const;

private:
    void run();
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<std::function<void()>> queue_;
    bool busy_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

class RunLoop {
public:
    static RunLoop& main();

    RunLoop();
    void setClock(std::shared_ptr<Clock> clock);
    const Clock& clock() const { return *clock_; }
    // The manual clock, when one is set (tests, headless driver); nullptr otherwise.
    ManualClock* manualClock() const { return manual_; }
    double now() const { return clock_->monotonicNow(); }
    double wallTime() const { return clock_->wallNow(); }

    // Runs the block on a later pass of the main loop. Safe from any thread.
    void post(std::function<void()> block);
    // Runs the block once after the delay in seconds; 0 means the next pass. Main thread only.
    TimerHandle performAfterDelay(double delay, std::function<void()> block);
    // A timer firing after `interval` seconds, again and again when it repeats.
    TimerHandle scheduleTimer(double interval, bool repeats, std::function<void()> block);

    // One pass of the loop at the current time. Returns true when anything ran.
    bool runPass();
    // The earliest timer deadline, or now when posted blocks wait; nothing when idle.
    std::optional<double> nextDeadline() const;
    bool hasPostedBlocks() const;

    // Manual time: moves the clock forward, running every block and timer that falls due, in
    // deadline order, each at its own instant. Background workers are waited for in between.
    void advanceBy(double seconds);
    // Runs passes until nothing is left at the current time.
    void drain();

    // Called from any thread when a block is posted, to wake a loop that sleeps.
    void setWakeHandler(std::function<void()> handler);
    void registerWorker(BackgroundWorker* worker);
    void unregisterWorker(BackgroundWorker* worker);
    // Drops every posted block and timer (tests start clean).
    void reset();

private:
    void waitForWorkers();
    std::shared_ptr<TimerHandle::State> popDueTimer(double now, uint64_t limit);

    std::shared_ptr<Clock> clock_;
    ManualClock* manual_ = nullptr;
    mutable std::mutex mutex_;
    std::deque<std::function<void()>> posted_;
    std::vector<std::shared_ptr<TimerHandle::State>> timers_;
    uint64_t nextOrder_ = 0;
    std::function<void()> wakeHandler_;
    std::vector<BackgroundWorker*> workers_;
};

// The base of objects that schedule delayed blocks for themselves: a block still waiting when its
// object is destroyed is dropped instead of running into freed memory.
class Object {
public:
    Object() : lifetime_(std::make_shared<char>(0)) {}
    Object(const Object&) : lifetime_(std::make_shared<char>(0)) {}
    Object& operator=(const Object&) { return *this; }
    virtual ~Object() = default;

    // Runs the block once on the main loop after the delay (0: the next pass), while this lives.
    TimerHandle performBlock(std::function<void()> block, double afterDelay);
    // A weak token that expires when this object is destroyed.
    std::weak_ptr<void> lifetime() const { return lifetime_; }

private:
    std::shared_ptr<char> lifetime_;
};

// Whether an owner token was never set (an empty weak pointer), as opposed to one whose owner
// has gone: work handed out without an owner is always delivered.
inline bool isUnsetOwner(const std::weak_ptr<void>& owner) {
    const std::weak_ptr<void> none;
    return !owner.owner_before(none) && !none.owner_before(owner);
}
