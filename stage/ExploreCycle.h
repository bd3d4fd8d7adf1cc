#pragma once
// The arithmetic of a running explore, on the wall clock from its stored start: person k is back
// at start + k x interval, and the explore is over when the whole party is back. Given what has
// already come back, it tells how many more are due now; nothing is stored or drawn here.
#include <cstdint>

struct ExploreProgress {
    double elapsed = 0;          // seconds since the start
    double left = 0;             // of the explore's total time, never below 0
    int64_t numComeback = 0;     // back after this step
    int64_t returning = 0;       // coming back in this step
    bool finished = false;       // the whole party is back
    bool waitHintDue = false;    // a long wait ahead: the "close the game meanwhile" hint may show
};

class ExploreCycle {
public:
    // The wait hint: after this much of an explore, when persons come this slowly, before half are back.
    static constexpr double kWaitHintMinElapsed = 2.0;
    static constexpr double kWaitHintMinInterval = 5.0;

    ExploreCycle(double start, double interval, int64_t party, double totalTime)
        : start_(start), interval_(interval), party_(party), totalTime_(totalTime) {}

    // The step at `now` when numComeback persons are back already.
    ExploreProgress progressAt(double now, int64_t numComeback) const;

private:
    double start_;
    double interval_;
    int64_t party_;
    double totalTime_;
};
