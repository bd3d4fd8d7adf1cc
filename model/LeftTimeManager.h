#pragma once
// How long an explore of the current dungeon takes, with the speed bonus applied, and the
// remaining time of the running explore that the main screen shows.
#include <atomic>

#include "platform/core/Singleton.h"

class LeftTimeManager : public Singleton<LeftTimeManager> {
public:
    void initFile() {}

    // Seconds between two persons' returns in the current dungeon: the dungeon's base interval,
    // times the stored timeRate r when 0 < r < 1.
    static double intervalAtCurrentDungeon();
    // intervalAtCurrentDungeon x numTotalMembers.
    static double totalTimeForExplore();
    // Base seconds per person of a dungeon (1 for ids outside 1..10).
    static double baseIntervalWithDungeonId(unsigned dungeonId);

    double leftTime() const { return leftTime_.load(); }
    void setLeftTime(double seconds) { leftTime_.store(seconds); }

private:
    friend class Singleton<LeftTimeManager>;
    LeftTimeManager() = default;
    std::atomic<double> leftTime_{0.0};
};
