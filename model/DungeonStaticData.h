#pragma once
// The dungeon table ("dungeons.plist", sorted by id with id = position + 1) and the monster
// lists of the dungeons ("dungeon_monsters.plist"). Read once into typed rows; read-only afterwards.
#include <string>
#include <utility>
#include <vector>

#include "model/StaticRows.h"
#include "platform/core/Singleton.h"

class DungeonStaticData : public Singleton<DungeonStaticData> {
public:
    void initFile();

    const std::vector<DungeonRow>& dungeons() const { return dungeons_; }

    // The first row whose id equals the id, or null; its name ("" when none).
    const DungeonRow* dungeonStaticInfoWithId(unsigned dungeonId) const;
    std::string dungeonNameWithId(unsigned dungeonId) const;

    // The stored current dungeon; 1 for an absent key or any value below 1.
    static unsigned currentDungeonId();
    const DungeonRow* currentDungeonStaticInfo() const;
    std::string currentDungeonName() const;

    // The first monster list given for the dungeon, empty when none.
    const DungeonMonsterList& monstersWithDungeonId(unsigned dungeonId) const;
    // The dungeon's boss, 0 when none.
    unsigned bossIdWithDungeionId(unsigned dungeonId) const;
    // The boss whose first hunt opens the dungeon: the previous dungeon's; 0 for dungeon 1,
    // which is always open.
    unsigned bossIdOpeningDungeonId(unsigned dungeonId) const;
    // Whether the first entry for that monster in the dungeon's list is its boss; NO when none.
    bool isBossinDungeonId(unsigned dungeonId, unsigned monsterId) const;

    // The dungeon whose opening shows the second half of the game.
    static constexpr unsigned kSecondHalfDungeonId = 7;

private:
    friend class Singleton<DungeonStaticData>;
    DungeonStaticData() = default;
    std::vector<DungeonRow> dungeons_;
    std::vector<std::pair<unsigned, DungeonMonsterList>> dungeonMonsters_;  // by dungeon id, in table order
};
