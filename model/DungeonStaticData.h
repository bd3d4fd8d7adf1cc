#pragma once
// The dungeon table ("dungeons.plist", sorted by id with id = position + 1) and the monster
// lists of the dungeons ("dungeon_monsters.plist"). Loaded once; read-only afterwards.
#include <string>

#include "platform/core/Singleton.h"
#include "platform/foundation/Value.h"

class DungeonStaticData : public Singleton<DungeonStaticData> {
public:
    void initFile();

    const Value& dungeons() const { return dungeons_; }
    const Value& dungeonMonsters() const { return dungeonMonsters_; }

    // The first entry whose "id" equals the id, or nil; its "name" ("" when none).
    Value dungeonStaticInfoWithId(unsigned dungeonId) const;
    std::string dungeonNameWithId(unsigned dungeonId) const;

    // The stored current dungeon; 1 for an absent key or any value below 1.
    static unsigned currentDungeonId();
    Value currentDungeonStaticInfo() const;
    std::string currentDungeonName() const;

    // The "monsters" list of the dungeon's first dungeon-monster list, or nil.
    Value monstersWithDungeonId(unsigned dungeonId) const;
    // "boss_id" of the dungeon, 0 when none.
    unsigned bossIdWithDungeionId(unsigned dungeonId) const;
    // The boss whose first hunt opens the dungeon: the previous dungeon's; 0 for dungeon 1,
    // which is always open.
    unsigned bossIdOpeningDungeonId(unsigned dungeonId) const;
    // "is_boss" of the first entry for that monster in the dungeon's list; NO when none.
    bool isBossinDungeonId(unsigned dungeonId, unsigned monsterId) const;

    // The dungeon whose opening shows the second half of the game.
    static constexpr unsigned kSecondHalfDungeonId = 7;

private:
    friend class Singleton<DungeonStaticData>;
    DungeonStaticData() = default;
    Value dungeons_;
    Value dungeonMonsters_;
};
