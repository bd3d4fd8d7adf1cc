#include "stage/BattleResolver.h"

#include "explore/NMCommon.h"
#include "platform/core/Random.h"
#include "stage/PersonRules.h"

bool BattleResolver::bossShows(const BattleFacts& f) {
    return f.bossId != 0 && !f.bossHunted && f.depth <= f.exploreCnt && f.sinceBoss >= f.exploreTime;
}

unsigned BattleResolver::drawMonster(const DungeonMonsterList& monsters, bool bossHunted, unsigned exploreCnt, RandomSource& random) {
    const MonsterCandidates candidates = PersonRules::candidatesWithMonsters(monsters, bossHunted, exploreCnt);
    if (candidates.monsterIds.empty()) return 0;
    const unsigned index = NMCommon::selectedIndexWithProbabilities(candidates.weights, random.next() % 1000u);
    return index < candidates.monsterIds.size() ? candidates.monsterIds[index] : candidates.monsterIds.front();
}

BattleOutcome BattleResolver::resolve(const BattleFacts& f, const Strength& isStronger, RandomSource& random) {
    BattleOutcome out;
    out.bossShowed = bossShows(f);
    out.monsterId = out.bossShowed ? f.bossId : drawMonster(f.monsters, f.bossHunted, f.exploreCnt, random);
    if (out.monsterId == 0) return out;
    out.won = isStronger(out.monsterId);
    if (out.won) {
        out.firstBossWin = out.monsterId == f.bossId && !f.bossHunted;
    } else {
        out.logEntry = Value{{"id", Value(static_cast<int64_t>(f.personId))}, {"monsterId", Value(out.monsterId)}, {"isWin", Value(false)}};
    }
    return out;
}
