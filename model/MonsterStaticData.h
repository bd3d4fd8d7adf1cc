#pragma once
// The monster table ("monsters.plist"): one row per monster, grouped by dungeon, six per
// dungeon. Read once into typed rows; read-only afterwards.
#include <span>
#include <string>
#include <vector>

#include "model/StaticRows.h"
#include "platform/core/Singleton.h"

class MonsterStaticData : public Singleton<MonsterStaticData> {
public:
    void initFile();

    // The whole table, in table order (empty when it could not be loaded).
    const std::vector<MonsterRow>& monsters() const { return monsters_; }

    // The first row whose id equals the id, or null.
    const MonsterRow* monsterStaticInfoWithMonsterId(unsigned monsterId) const;
    // Rows page*size .. page*size+size-1, cut at the table's end; empty when page*size is past it.
    std::span<const MonsterRow> monstersWithPageIndex(unsigned page, unsigned maxPerPage) const;
    // Its gold, 0 for an unknown monster.
    unsigned goldWithMonsterId(unsigned monsterId) const;
    // Its name, "" for an unknown monster.
    std::string monsterNameWithMonsterId(unsigned monsterId) const;

private:
    friend class Singleton<MonsterStaticData>;
    MonsterStaticData() = default;
    std::vector<MonsterRow> monsters_;
};
