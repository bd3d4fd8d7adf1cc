#pragma once
// Two kinds of time: the monotonic time that timers and animations run on, and the wall clock
// (seconds since 1970) that explores are measured on, which the player may move at will.
#include <atomic>
#include <memory>

class Clock {
public:
    virtual ~Clock() = default;
    virtual double monotonicNow() const = 0;
    virtual double wallNow() const = 0;
};

class SystemClock final : public Clock {
public:
    double monotonicNow() const override;
    double wallNow() const override;
};

// A clock that moves only when told: tests and the headless driver step it by hand.
class ManualClock final : public Clock {
public:
    explicit ManualClock(double wallStart = 1.8e9) : wall_(wallStart) {}
    double monotonicNow() const override { return monotonic_.load(); }
    double wallNow() const override { return wall_.load(); }
    // Both clocks move on together, as time passes.
    void advance(double seconds);
    // Only the wall clock moves (a system clock change); may be negative.
    void jumpWall(double seconds);
    void setWall(double secondsSince1970) { wall_.store(secondsSince1970); }

private:
    std::atomic<double> monotonic_{0.0};
    std::atomic<double> wall_;
};
