#include "stage/PersonRules.h"

unsigned PersonRules::newMonsterLimit(unsigned exploreCnt) { return 1 + exploreCnt / kExploresPerNewMonster; }

MonsterCandidates PersonRules::candidatesWithMonsters(const Value& monsters, bool bossHunted, unsigned exploreCnt) {
    MonsterCandidates found;
    const unsigned limit = newMonsterLimit(exploreCnt);
    unsigned admittedNew = 0;
    for (const Value& entry : monsters.arrayValue()) {
        if (!bossHunted && entry["is_boss"].boolValue()) continue;
        const bool isNew = entry["is_new"].boolValue();
        if (isNew && admittedNew >= limit) continue;
        found.weights.push_back(entry["rate"].floatValue());
        found.monsterIds.push_back(static_cast<unsigned>(entry["monster_id"].unsignedValue()));
        if (isNew) ++admittedNew;
    }
    return found;
}
