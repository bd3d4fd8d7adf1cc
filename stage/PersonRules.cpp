#include "stage/PersonRules.h"

unsigned PersonRules::newMonsterLimit(unsigned exploreCnt) { return 1 + exploreCnt / kExploresPerNewMonster; }

MonsterCandidates PersonRules::candidatesWithMonsters(const DungeonMonsterList& monsters, bool bossHunted, unsigned exploreCnt) {
    MonsterCandidates found;
    const unsigned limit = newMonsterLimit(exploreCnt);
    unsigned admittedNew = 0;
    for (const DungeonMonsterRow& entry : monsters) {
        if (!bossHunted && entry.isBoss) continue;
        if (entry.isNew && admittedNew >= limit) continue;
        found.weights.push_back(entry.rate);
        found.monsterIds.push_back(entry.monsterId);
        if (entry.isNew) ++admittedNew;
    }
    return found;
}
