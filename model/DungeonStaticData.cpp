#include "model/DungeonStaticData.h"

#include "model/SavedStateKeys.h"
#include "model/StaticTable.h"

void DungeonStaticData::initFile() {
    dungeons_ = loadStaticRows<DungeonRow>("dungeons");
    dungeonMonsters_.clear();
    const Value lists = loadStaticTable("dungeon_monsters");
    for (const Value& list : lists.arrayValue()) {
        if (!list.isDictionary()) continue;
        const Value& id = list["dungeon_id"];
        DungeonMonsterList rows;
        for (const Value& entry : list["monsters"].arrayValue())
            if (entry.isDictionary()) rows.push_back(DungeonMonsterRow::fromValue(entry));
        dungeonMonsters_.emplace_back(id.isNumber() && id.doubleValue() >= 0 ? static_cast<unsigned>(id.unsignedValue()) : 0u,
                                      std::move(rows));
    }
}

const DungeonRow* DungeonStaticData::dungeonStaticInfoWithId(unsigned dungeonId) const {
    for (const DungeonRow& row : dungeons_)
        if (row.id == dungeonId) return &row;
    return nullptr;
}

std::string DungeonStaticData::dungeonNameWithId(unsigned dungeonId) const {
    const DungeonRow* row = dungeonStaticInfoWithId(dungeonId);
    return row ? row->name : std::string();
}

unsigned DungeonStaticData::currentDungeonId() {
    const int64_t stored = SavedStateStore::standardUserDefaults().integerForKey(SavedStateKeys::currentDungeonId);
    return stored < 1 ? 1u : static_cast<unsigned>(stored);
}

const DungeonRow* DungeonStaticData::currentDungeonStaticInfo() const { return dungeonStaticInfoWithId(currentDungeonId()); }

std::string DungeonStaticData::currentDungeonName() const { return dungeonNameWithId(currentDungeonId()); }

const DungeonMonsterList& DungeonStaticData::monstersWithDungeonId(unsigned dungeonId) const {
    static const DungeonMonsterList none;
    for (const auto& [id, list] : dungeonMonsters_)
        if (id == dungeonId) return list;
    return none;
}

unsigned DungeonStaticData::bossIdWithDungeionId(unsigned dungeonId) const {
    const DungeonRow* row = dungeonStaticInfoWithId(dungeonId);
    return row ? row->bossId : 0;
}

unsigned DungeonStaticData::bossIdOpeningDungeonId(unsigned dungeonId) const {
    return dungeonId < 2 ? 0 : bossIdWithDungeionId(dungeonId - 1);
}

bool DungeonStaticData::isBossinDungeonId(unsigned dungeonId, unsigned monsterId) const {
    for (const DungeonMonsterRow& entry : monstersWithDungeonId(dungeonId))
        if (entry.monsterId == monsterId) return entry.isBoss;
    return false;
}
