#pragma once
// The pure part of a person's battle rules: which monsters of a dungeon's list may be met after
// a number of explores. A dungeon keeps its newest monsters back: one "is_new" monster takes
// part at first, one more for every 20 explores counted on the dungeon.
#include <vector>

#include "model/StaticRows.h"

struct MonsterCandidates {
    std::vector<float> weights;       // "rate" of each admitted entry, in list order
    std::vector<unsigned> monsterIds; // its "monster_id"
};

class PersonRules {
public:
    PersonRules() = delete;

    // One more new monster joins the draw every this many explores of the dungeon.
    static constexpr unsigned kExploresPerNewMonster = 20;

    // How many "is_new" monsters may take part: 1 + exploreCnt / 20.
    static unsigned newMonsterLimit(unsigned exploreCnt);
    // Walks the list in order; boss entries take part only once the boss has been hunted; new
    // monsters beyond the limit are passed over, later old ones still take part.
    static MonsterCandidates candidatesWithMonsters(const DungeonMonsterList& monsters, bool bossHunted, unsigned exploreCnt);
};
