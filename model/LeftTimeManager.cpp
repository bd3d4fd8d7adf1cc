#include "model/LeftTimeManager.h"

#include <algorithm>
#include <cmath>
#include <mutex>

#include "model/DungeonStaticData.h"
#include "model/MemberManager.h"
#include "model/SavedStateKeys.h"

double LeftTimeManager::baseIntervalWithDungeonId(unsigned dungeonId) {
    static constexpr double kSecondsPerPerson[] = {1, 6, 15, 30, 90, 180, 360, 540, 720, 1080};
    if (dungeonId < 1 || dungeonId > 10) return 1;
    return kSecondsPerPerson[dungeonId - 1];
}

double LeftTimeManager::intervalAtCurrentDungeon() {
    double interval = baseIntervalWithDungeonId(DungeonStaticData::currentDungeonId());
    const float rate = SavedStateStore::standardUserDefaults().floatForKey(SavedStateKeys::timeRate);
    if (rate > 0.0f && rate < 1.0f) interval = interval * static_cast<double>(rate);
    return interval;
}

double LeftTimeManager::totalTimeForExplore() {
    return intervalAtCurrentDungeon() * static_cast<double>(MemberManager::numTotalMembers());
}

double LeftTimeManager::exploreStartAt(double now) {
    SavedStateStore& store = SavedStateStore::standardUserDefaults();
    const double start = store.doubleForKey(SavedStateKeys::timestampStart);
    if (!std::isfinite(start) || start <= 0) return 0;
    // A clock set back keeps the start (nobody returns until it passes it again); a start past
    // the year 9999 is no time the game wrote, and waiting for it would keep the party away.
    if (start > 253402300799.0 && std::isfinite(now) && now > 0) {
        store.setDouble(now, SavedStateKeys::timestampStart);
        return now;
    }
    return start;
}

int64_t LeftTimeManager::comebackCount() {
    const int64_t n = SavedStateStore::standardUserDefaults().integerForKey(SavedStateKeys::numComeback);
    return std::clamp<int64_t>(n, 0, MemberManager::numTotalMembers());
}
