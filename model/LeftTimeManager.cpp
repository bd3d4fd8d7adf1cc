#include "model/LeftTimeManager.h"

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
