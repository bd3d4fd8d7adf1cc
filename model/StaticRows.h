#pragma once
// The rows of the game's fixed tables, typed. Each table is read once, at its first use, and every
// field is checked then: a field of the wrong kind, negative or missing reads as its default, so
// nothing further on ever meets a string where a number belongs.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/foundation/Value.h"

// "monsters.plist": one row per monster, six per dungeon.
struct MonsterRow {
    unsigned id = 0;
    std::string name;
    std::string description;
    unsigned gold = 0;                  // paid when a person carries it home
    std::array<unsigned, 3> reqEquip{}; // the equipment that beats it ("req_equip1..3"); 0: none

    static MonsterRow fromValue(const Value& entry);
};

// "equipments.plist": items monsters require (type 0) and bonus items (type 1).
struct EquipRow {
    unsigned id = 0;
    int64_t type = 0;
    std::string name;
    std::string description;
    int64_t gold = 0;           // the price; below 1 for items sold only in the store
    std::string productId;      // the store's product, "" for gold items
    double goldRate = 1.0;      // bonus items: gold multiplied by this
    double speedRate = 1.0;     // bonus items: explores shortened by this
    unsigned monster = 0;       // sold once this monster is hunted "num" times; 0: always
    unsigned num = 0;
    unsigned reqDungeon = 0;    // listed once this dungeon is open

    static EquipRow fromValue(const Value& entry);
};

// One entry of a dungeon's monster list ("dungeon_monsters.plist").
struct DungeonMonsterRow {
    unsigned monsterId = 0;
    bool isBoss = false;
    bool isNew = false;         // kept back until enough explores (PersonRules)
    float rate = 0.0f;          // its weight in the draw

    static DungeonMonsterRow fromValue(const Value& entry);
};

// "dungeons.plist", with its monster list from "dungeon_monsters.plist".
struct DungeonRow {
    unsigned id = 0;
    std::string name;
    unsigned bossId = 0;        // 0: no boss
    unsigned depth = 0;         // the boss shows from this many explores on

    static DungeonRow fromValue(const Value& entry);
};

using DungeonMonsterList = std::vector<DungeonMonsterRow>;
