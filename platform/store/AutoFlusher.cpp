#include "platform/store/AutoFlusher.h"

#include <algorithm>

namespace {
constexpr double retryPauseSeconds = 5.0;

std::chrono::steady_clock::duration seconds(double s) {
    return std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(s));
}
}  // namespace

AutoFlusher::AutoFlusher(std::function<bool()> flush) : flush_(std::move(flush)) {}

AutoFlusher::~AutoFlusher() { stop(); }

void AutoFlusher::setDelay(double s) {
    std::lock_guard lock(mutex_);
    delay_ = s;
    if (s <= 0) {
        pending_ = false;
    } else if (pending_) {
        due_ = std::min(due_, Clock::now() + seconds(s));
    }
    wake_.notify_all();
}

double AutoFlusher::delay() const {
    std::lock_guard lock(mutex_);
    return delay_;
}

void AutoFlusher::noteChange() {
    std::lock_guard lock(mutex_);
    if (delay_ <= 0 || stopped_ || pending_) return;
    pending_ = true;
    due_ = Clock::now() + seconds(delay_);
    if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
    wake_.notify_all();
}

void AutoFlusher::stop() {
    std::thread finished;
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
        pending_ = false;
        finished = std::move(thread_);
        wake_.notify_all();
    }
    if (finished.joinable()) finished.join();
}

void AutoFlusher::run() {
    std::unique_lock lock(mutex_);
    while (!stopped_) {
        if (!pending_) {
            wake_.wait(lock);
            continue;
        }
        if (Clock::now() < due_) {
            wake_.wait_until(lock, due_);
            continue;
        }
        pending_ = false;
        lock.unlock();
        bool ok = flush_();
        lock.lock();
        if (!ok && !pending_ && !stopped_ && delay_ > 0) {
            pending_ = true;
            due_ = Clock::now() + seconds(std::max(delay_, retryPauseSeconds));
        }
    }
}
