#include "model/DungeonManager.h"

#include <algorithm>
#include <mutex>

#include "model/DungeonStaticData.h"
#include "model/MonsterManager.h"
#include "model/SavedStateKeys.h"

namespace {
// Record rewrites read, then write: one at a time, whichever thread asks.
std::mutex recordMutex;
}  // namespace

std::string DungeonManager::dungeonInfoUserDefaultsKeyWithId(unsigned dungeonId) {
    return SavedStateKeys::keyWithId("dungeon_", dungeonId);
}

unsigned DungeonManager::currentDungeonId() { return DungeonStaticData::currentDungeonId(); }

bool DungeonManager::isUnlockedWithDungeonId(unsigned dungeonId) {
    if (dungeonId < 2) return true;
    return MonsterManager::getInstance()->huntedMonsterWithId(DungeonStaticData::getInstance()->bossIdOpeningDungeonId(dungeonId));
}

std::vector<DungeonRow> DungeonManager::visibleDungeons() {
    const std::vector<DungeonRow>& all = DungeonStaticData::getInstance()->dungeons();
    if (isUnlockedWithDungeonId(kSecondHalfDungeonId)) return all;
    const size_t n = std::min<size_t>(kFirstHalfDungeonCount, all.size());
    return std::vector<DungeonRow>(all.begin(), all.begin() + static_cast<long>(n));
}

unsigned DungeonManager::numUnlockedDungeons() {
    unsigned count = 0;
    for (const DungeonRow& row : visibleDungeons())
        if (row.id >= 2 && isUnlockedWithDungeonId(row.id)) ++count;
    return count;
}

unsigned DungeonManager::latestUnlockedDungeonId() { return numUnlockedDungeons() + 1; }

unsigned DungeonManager::currentExploreCntWithDungeonId(unsigned dungeonId) {
    Value record = SavedStateKeys::recordForKey(dungeonInfoUserDefaultsKeyWithId(dungeonId));
    return static_cast<unsigned>(record["explore_cnt"].unsignedValue());
}

void DungeonManager::addExploreCntWithDungeonId(unsigned dungeonId) {
    std::lock_guard lock(recordMutex);
    const unsigned count = currentExploreCntWithDungeonId(dungeonId);
    Value record{{"dungeon_id", Value(dungeonId)}, {"explore_cnt", Value(count + 1)}};
    SavedStateStore::standardUserDefaults().setObject(record, dungeonInfoUserDefaultsKeyWithId(dungeonId));
}

std::string DungeonManager::currentDungeonBGM() {
    const DungeonRow* current = DungeonStaticData::getInstance()->currentDungeonStaticInfo();
    const unsigned id = current ? current->id : 0;
    switch (id) {
        case 2:
        case 9: return "bgm_2.aif";
        case 3:
        case 8: return "bgm_3.aif";
        case 4:
        case 7: return "bgm_4.aif";
        case 5: return "bgm_5.aif";
        case 6: return "bgm_6.aif";
        case 10: return "bgm_7.aif";
        default: return "bgm_9.aif";
    }
}
