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

    // The running explore's start (timestamp_start) as the game can use it at `now`: 0 when no
    // explore runs or the value is no time at all (NaN, infinite, not positive); a start past
    // the year 9999 (a damaged value) becomes now and is stored so, so the party sets out again
    // instead of staying away for ever.
    static double exploreStartAt(double now);
    // How many persons have come back (numComeback), within 0 .. numTotalMembers.
    static int64_t comebackCount();

    double leftTime() const { return leftTime_.load(); }
    void setLeftTime(double seconds) { leftTime_.store(seconds); }

private:
    friend class Singleton<LeftTimeManager>;
    LeftTimeManager() = default;
    std::atomic<double> leftTime_{0.0};
};
