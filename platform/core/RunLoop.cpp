#include "platform/core/RunLoop.h"

#include <algorithm>

void TimerHandle::invalidate() {
    if (state_) {
        state_->valid = false;
        state_->block = nullptr;
    }
}

bool TimerHandle::isValid() const { return state_ && state_->valid; }

// ---- BackgroundWorker

BackgroundWorker::BackgroundWorker() {
    thread_ = std::thread([this] { run(); });
    RunLoop::main().registerWorker(this);
}

BackgroundWorker::~BackgroundWorker() {
    RunLoop::main().unregisterWorker(this);
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void BackgroundWorker::dispatch(std::function<void()> block) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(block));
    }
    wake_.notify_one();
}

void BackgroundWorker::waitUntilIdle() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return queue_.empty() && !busy_; });
}

bool BackgroundWorker::isIdle() const {
    std::lock_guard lock(mutex_);
    return queue_.empty() && !busy_;
}

void BackgroundWorker::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (queue_.empty()) {
            if (stopping_) return;
            continue;
        }
        auto block = std::move(queue_.front());
        queue_.pop_front();
        busy_ = true;
        lock.unlock();
        block();
        lock.lock();
        busy_ = false;
        if (queue_.empty()) idle_.notify_all();
    }
}

// ---- RunLoop

RunLoop& RunLoop::main() {
    // Never taken down: workers of objects that outlive main() (shared services, static caches)
    // still unregister from it at exit, whatever order the statics go in.
    static RunLoop* const loop = new RunLoop();
    return *loop;
}

RunLoop::RunLoop() : clock_(std::make_shared<SystemClock>()) {}

void RunLoop::setClock(std::shared_ptr<Clock> clock) {
    clock_ = std::move(clock);
    manual_ = dynamic_cast<ManualClock*>(clock_.get());
}

void RunLoop::post(std::function<void()> block) {
    std::function<void()> wake;
    {
        std::lock_guard lock(mutex_);
        posted_.push_back(std::move(block));
        wake = wakeHandler_;
    }
    if (wake) wake();
}

TimerHandle RunLoop::performAfterDelay(double delay, std::function<void()> block) {
    return scheduleTimer(delay, false, std::move(block));
}

TimerHandle RunLoop::scheduleTimer(double interval, bool repeats, std::function<void()> block) {
    auto state = std::make_shared<TimerHandle::State>();
    state->block = std::move(block);
    state->interval = std::max(0.0, interval);
    state->repeats = repeats && interval > 0;
    state->deadline = now() + state->interval;
    {
        std::lock_guard lock(mutex_);
        state->order = nextOrder_++;
        timers_.push_back(state);
    }
    return TimerHandle(state);
}

std::shared_ptr<TimerHandle::State> RunLoop::popDueTimer(double t, uint64_t limit) {
    std::lock_guard lock(mutex_);
    timers_.erase(std::remove_if(timers_.begin(), timers_.end(), [](auto& s) { return !s->valid; }), timers_.end());
    auto best = timers_.end();
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
        if ((*it)->deadline > t || (*it)->order >= limit) continue;
        if (best == timers_.end() || (*it)->deadline < (*best)->deadline ||
            ((*it)->deadline == (*best)->deadline && (*it)->order < (*best)->order))
            best = it;
    }
    if (best == timers_.end()) return nullptr;
    auto state = *best;
    if (!state->repeats) timers_.erase(best);
    return state;
}

bool RunLoop::runPass() {
    // Only timers scheduled before the pass began fire in it: one that a block of this pass
    // schedules, even with delay 0, waits for a later pass.
    std::deque<std::function<void()>> blocks;
    uint64_t limit;
    {
        std::lock_guard lock(mutex_);
        blocks.swap(posted_);
        limit = nextOrder_;
    }
    bool ran = !blocks.empty();
    for (auto& block : blocks) block();

    const double t = now();
    while (auto state = popDueTimer(t, limit)) {
        ran = true;
        auto block = state->block;
        if (state->repeats) {
            // Repeating timers keep their rhythm; a late one fires once and catches up.
            state->deadline += state->interval;
            if (state->deadline <= t) state->deadline = t + state->interval;
            std::lock_guard lock(mutex_);
            state->order = nextOrder_++;
        } else {
            state->valid = false;
            state->block = nullptr;
        }
        if (block) block();
    }
    return ran;
}

std::optional<double> RunLoop::nextDeadline() const {
    std::lock_guard lock(mutex_);
    if (!posted_.empty()) return now();
    std::optional<double> best;
    for (auto& s : timers_)
        if (s->valid && (!best || s->deadline < *best)) best = s->deadline;
    return best;
}

bool RunLoop::hasPostedBlocks() const {
    std::lock_guard lock(mutex_);
    return !posted_.empty();
}

void RunLoop::waitForWorkers() {
    std::vector<BackgroundWorker*> workers;
    {
        std::lock_guard lock(mutex_);
        workers = workers_;
    }
    for (auto* w : workers) w->waitUntilIdle();
}

void RunLoop::drain() {
    // Bounded: a block that reposts itself forever must not hang a test.
    for (int i = 0; i < 100000; ++i) {
        waitForWorkers();
        auto next = nextDeadline();
        if (!next || *next > now()) {
            if (!hasPostedBlocks()) return;
        }
        runPass();
    }
}

void RunLoop::advanceBy(double seconds) {
    if (!manual_) {
        drain();
        return;
    }
    const double target = now() + std::max(0.0, seconds);
    drain();
    for (;;) {
        auto next = nextDeadline();
        if (!next || *next > target) break;
        if (*next > now()) manual_->advance(*next - now());
        drain();
    }
    if (target > now()) manual_->advance(target - now());
    drain();
}

void RunLoop::setWakeHandler(std::function<void()> handler) {
    std::lock_guard lock(mutex_);
    wakeHandler_ = std::move(handler);
}

void RunLoop::registerWorker(BackgroundWorker* worker) {
    std::lock_guard lock(mutex_);
    workers_.push_back(worker);
}

void RunLoop::unregisterWorker(BackgroundWorker* worker) {
    std::lock_guard lock(mutex_);
    workers_.erase(std::remove(workers_.begin(), workers_.end(), worker), workers_.end());
}

void RunLoop::reset() {
    std::lock_guard lock(mutex_);
    posted_.clear();
    for (auto& s : timers_) {
        s->valid = false;
        s->block = nullptr;
    }
    timers_.clear();
}

// ---- Object

TimerHandle Object::performBlock(std::function<void()> block, double afterDelay) {
    std::weak_ptr<void> alive = lifetime_;
    return RunLoop::main().performAfterDelay(afterDelay, [alive, block = std::move(block)] {
        if (!alive.expired()) block();
    });
}
