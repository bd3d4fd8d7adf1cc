#pragma once
// Flushes the saved-state store on its own a short while after a change, the way the phone's
// store does: the first change after a quiet spell starts the delay, later changes ride along.
// Runs on a small thread of its own on real time (not the run loop, which may be on a manual
// clock), started on the first change. A failed flush is tried again after a longer pause.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class AutoFlusher {
public:
    explicit AutoFlusher(std::function<bool()> flush);
    ~AutoFlusher();
    AutoFlusher(const AutoFlusher&) = delete;
    AutoFlusher& operator=(const AutoFlusher&) = delete;

    // Seconds from a change to its flush; 0 or less turns automatic flushing off.
    void setDelay(double seconds);
    double delay() const;
    void noteChange();
    // Ends the thread for good (waiting for a flush under way); later changes are not flushed.
    void stop();

private:
    using Clock = std::chrono::steady_clock;
    void run();

    std::function<bool()> flush_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    double delay_ = 0;
    bool pending_ = false;
    bool stopped_ = false;
    Clock::time_point due_{};
    std::thread thread_;
};
