#include "explore/RankingManager.h"

#include "model/MonsterManager.h"
#include "model/SavedStateKeys.h"
#include "platform/core/RunLoop.h"
#include "platform/store/SavedStateStore.h"

namespace {
constexpr unsigned kButaId = 1;
constexpr unsigned kFlamebirdId = 17;
}  // namespace

std::vector<LeaderboardScore> RankingManager::currentScores() {
    SavedStateStore& store = SavedStateStore::standardUserDefaults();
    auto* monsters = MonsterManager::getInstance();
    // The stored totals go out with their sign; the hunted counts are unsigned.
    return {{"treasure_hunter", store.integerForKey(SavedStateKeys::totalGold)},
            {"monster_hunter", store.integerForKey(SavedStateKeys::totalMonster)},
            {"buta_hunter", static_cast<int64_t>(monsters->numHuntedMonsterWithId(kButaId))},
            {"flamebird_hunter", static_cast<int64_t>(monsters->numHuntedMonsterWithId(kFlamebirdId))}};
}

void RankingManager::reportIfNeeded() {
    SavedStateStore& store = SavedStateStore::standardUserDefaults();
    if (!store.boolForKey(SavedStateKeys::gkLoginSucceeded)) return;
    const double now = RunLoop::main().wallTime();
    // A last report "in the future" means the clock was moved back: that does not hold reports off
    // until the clock has caught up again.
    const double since = now - store.doubleForKey(SavedStateKeys::timestampLastReport);
    if (since >= 0 && since < kReportInterval) return;
    LeaderboardService::shared().reportScores(currentScores());
    store.setDouble(now, SavedStateKeys::timestampLastReport);
}
