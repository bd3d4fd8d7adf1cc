#pragma once
// What a returning person met in the dungeon, decided from the facts it is handed: the boss rule,
// the weighted draw among the admitted monsters (PersonRules) and the fight's outcome. It reads
// no store and draws no picture; the person applies the outcome (stores the boss time, shows the
// monster or the coffin, writes the log entry, announces a first boss win).
//
// The boss waits deep in the dungeon (from `depth` explores on) and shows itself at most once per
// explore time until it has been beaten; a dungeon without a boss never has a boss fight.
#include <cstdint>
#include <functional>

#include "model/StaticRows.h"
#include "platform/foundation/Value.h"

class RandomSource;

struct BattleFacts {
    int personId = 0;
    unsigned bossId = 0;         // 0: the dungeon has no boss
    bool bossHunted = false;
    unsigned exploreCnt = 0;     // explores counted on the dungeon
    unsigned depth = 0;          // the boss shows from this many explores on
    double sinceBoss = 0;        // seconds since the boss last showed ("timestamp_boss")
    double exploreTime = 0;      // the length of an explore
    DungeonMonsterList monsters; // the dungeon's monster list
};

struct BattleOutcome {
    unsigned monsterId = 0;      // 0: met nothing
    bool bossShowed = false;     // the boss time is to be stored now
    bool won = false;            // carries the monster home; else comes home as a coffin
    bool firstBossWin = false;   // announce "bossHunted"
    Value logEntry;              // a lost fight's line for "battleLogs"; nil otherwise
};

class BattleResolver {
public:
    BattleResolver() = delete;

    // The party beats this monster (owns every equipment it requires).
    using Strength = std::function<bool(unsigned monsterId)>;

    static bool bossShows(const BattleFacts& facts);
    // The weighted choice among the admitted monsters; 0 when none may take part (then nothing
    // is drawn from the random source), and a draw beyond every band falls to the first.
    static unsigned drawMonster(const DungeonMonsterList& monsters, bool bossHunted, unsigned exploreCnt, RandomSource& random);
    static BattleOutcome resolve(const BattleFacts& facts, const Strength& isStronger, RandomSource& random);
};
