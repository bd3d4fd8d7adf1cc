#pragma once
// The four leaderboard scores, pushed from the save points (saveGold, saveMonsters): at most once
// a minute and only for a player who signed in. Every allowed report sends all four, in one
// write of the leaderboard service, changed or not; the totals are read from the saved state,
// so a report from saveGold (which runs before saveMonsters) carries the monster total of the
// previous save, while the two hunted counts are current.
#include <cstdint>
#include <vector>

#include "platform/services/LeaderboardService.h"

class RankingManager {
public:
    RankingManager() = delete;

    static constexpr double kReportInterval = 60.0;

    // Reports the scores when signed in and a minute has passed since the last report (or the
    // clock now reads before it); the last report's time is then now. A report the service refuses is lost (the next one sends the
    // then current totals).
    static void reportIfNeeded();
    // The four scores as a report would send them now, in board order.
    static std::vector<LeaderboardScore> currentScores();
};
