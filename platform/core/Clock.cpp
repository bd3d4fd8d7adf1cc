#include "platform/core/Clock.h"

#include <chrono>

double SystemClock::monotonicNow() const {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

double SystemClock::wallNow() const {
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count();
}

void ManualClock::advance(double seconds) {
    if (seconds <= 0) return;
    monotonic_.store(monotonic_.load() + seconds);
    wall_.store(wall_.load() + seconds);
}

void ManualClock::jumpWall(double seconds) { wall_.store(wall_.load() + seconds); }
