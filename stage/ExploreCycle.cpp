#include "stage/ExploreCycle.h"

ExploreProgress ExploreCycle::progressAt(double now, int64_t numComeback) const {
    ExploreProgress p;
    p.elapsed = now - start_;
    p.left = totalTime_ - p.elapsed;
    if (p.left < 0) p.left = 0;
    int64_t n = numComeback;
    // Whole intervals past the last return, counted off one person at a time.
    double rest = p.elapsed - static_cast<double>(n) * interval_;
    while (rest >= interval_ && n < party_) {
        rest -= interval_;
        ++n;
    }
    p.returning = n - numComeback;
    p.numComeback = n;
    p.finished = n >= party_;
    p.waitHintDue = !p.finished && p.elapsed >= kWaitHintMinElapsed && interval_ >= kWaitHintMinInterval && n < party_ / 2;
    return p;
}
