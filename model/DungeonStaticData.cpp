#include "model/DungeonStaticData.h"

#include <mutex>

#include "model/SavedStateKeys.h"
#include "model/StaticTable.h"

void DungeonStaticData::initFile() {
    dungeons_ = loadStaticTable("dungeons");
    dungeonMonsters_ = loadStaticTable("dungeon_monsters");
}

Value DungeonStaticData::dungeonStaticInfoWithId(unsigned dungeonId) const {
    for (const Value& entry : dungeons_.arrayValue())
        if (entry["id"].unsignedValue() == dungeonId) return entry;
    return Value();
}

std::string DungeonStaticData::dungeonNameWithId(unsigned dungeonId) const {
    return dungeonStaticInfoWithId(dungeonId)["name"].stringValue();
}

unsigned DungeonStaticData::currentDungeonId() {
    const int64_t stored = SavedStateStore::standardUserDefaults().integerForKey(SavedStateKeys::currentDungeonId);
    return stored < 1 ? 1u : static_cast<unsigned>(stored);
}

Value DungeonStaticData::currentDungeonStaticInfo() const { return dungeonStaticInfoWithId(currentDungeonId()); }

std::string DungeonStaticData::currentDungeonName() const { return dungeonNameWithId(currentDungeonId()); }

Value DungeonStaticData::monstersWithDungeonId(unsigned dungeonId) const {
    for (const Value& list : dungeonMonsters_.arrayValue())
        if (list["dungeon_id"].unsignedValue() == dungeonId) return list["monsters"];
    return Value();
}

unsigned DungeonStaticData::bossIdWithDungeionId(unsigned dungeonId) const {
    return static_cast<unsigned>(dungeonStaticInfoWithId(dungeonId)["boss_id"].unsignedValue());
}

unsigned DungeonStaticData::bossIdOpeningDungeonId(unsigned dungeonId) const {
    return dungeonId < 2 ? 0 : bossIdWithDungeionId(dungeonId - 1);
}

bool DungeonStaticData::isBossinDungeonId(unsigned dungeonId, unsigned monsterId) const {
    const Value list = monstersWithDungeonId(dungeonId);  // kept alive for the loop
    for (const Value& entry : list.arrayValue())
        if (entry["monster_id"].unsignedValue() == monsterId) return entry["is_boss"].boolValue();
    return false;
}
