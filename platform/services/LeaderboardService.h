#pragma once
// The local leaderboard service, standing in for the phone's: the local player signs in as the
// desktop user, and every reported score is kept with its time in an SQLite database in the
// data folder ("leaderboards.sqlite"), one row a score, the scores of one report written in one
// transaction. The boards are read back per time scope (today, this week, all time, in local
// time) as the player's best and last score.
//
// Threading: the database is used only on the service's own background thread; completions
// come back on the main run loop. A damaged or locked database never stops the game: the
// report fails (its completion says why, nothing else happens) and reading gives a snapshot
// that is not readable. The file is never deleted or rewritten.
//
//   auto& boards = LeaderboardService::shared();
//   boards.authenticateLocalPlayer([](bool ok, const std::string&) { ...GKLoginSucceeded := ok... });
//   boards.reportScores({{"treasure_hunter", gold}, {"monster_hunter", monsters}, ...});
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/core/RunLoop.h"

struct LeaderboardScore {
    std::string leaderboardId;
    int64_t value = 0;
};

enum class LeaderboardTimeScope { today = 0, week = 1, allTime = 2 };

struct LeaderboardBoard {
    std::string leaderboardId;
    std::optional<int64_t> best;  // highest score reported in the scope
    std::optional<int64_t> last;  // latest score reported in the scope
    std::optional<double> lastReportedAt;
};

struct LeaderboardSnapshot {
    LeaderboardTimeScope scope = LeaderboardTimeScope::today;
    bool readable = false;
    std::string problem;                 // why not, when not readable
    std::vector<LeaderboardBoard> boards;  // the four boards, in kLeaderboardIds order
};

class LeaderboardService {
public:
    static constexpr const char* kFileName = "leaderboards.sqlite";
    static constexpr const char* kSignInVariable = "RE_SIGN_IN";
    // The game's four boards, in the order they are reported and shown.
    static const std::vector<std::string>& leaderboardIds();

    // The service in use; created on first use for the saved-state store's data folder.
    static LeaderboardService& shared();
    static void setShared(std::shared_ptr<LeaderboardService> service);

    // `databasePath` "" keeps nothing (every report fails). `wallNow` gives the report times
    // (default: the main run loop's wall clock).
    explicit LeaderboardService(std::string databasePath, std::function<double()> wallNow = {});
    ~LeaderboardService();
    LeaderboardService(const LeaderboardService&) = delete;
    LeaderboardService& operator=(const LeaderboardService&) = delete;

    const std::string& databasePath() const { return path_; }

    // ---- Sign-in
    // Off (the --sign-in off option, or RE_SIGN_IN=off) makes every sign-in fail.
    void setSignInEnabled(bool enabled);
    // False when RE_SIGN_IN is "off" (any letter case).
    static bool signInEnabledByEnvironment();
    // Signs the local player in as the desktop user; the completion runs on a later pass of the
    // main loop with ok and, when not ok, the reason.
    void authenticateLocalPlayer(std::function<void(bool ok, const std::string& error)> completion);
    bool isAuthenticated() const;
    std::string playerAlias() const;

    // ---- Scores
    using ReportCompletion = std::function<void(bool ok, const std::string& error)>;
    // Writes the scores with the current time in one transaction (all or none). Fails when not
    // signed in, for an unknown board, or when the database cannot be written. The completion
    // (optional) runs on the main loop.
    void reportScores(std::vector<LeaderboardScore> scores, ReportCompletion completion = {});
    void reportScore(const std::string& leaderboardId, int64_t value, ReportCompletion completion = {});

    // Reads the four boards for a scope; the completion runs on the main loop while `owner`
    // lives (an empty owner: always).
    void loadBoards(LeaderboardTimeScope scope, std::weak_ptr<void> owner, std::function<void(const LeaderboardSnapshot&)> completion);
    // The same on the calling thread, at wall time `now` (tests, and the background thread).
    LeaderboardSnapshot readBoards(LeaderboardTimeScope scope, double now) const;
    // The first instant of a scope at wall time `now`, in local time: today from midnight, the
    // week from Monday's midnight, all time from 0.
    static double scopeStart(LeaderboardTimeScope scope, double now);

    // Blocks until every report and read handed out so far has run (tests).
    void waitUntilIdle();

private:
    bool writeScores(const std::vector<LeaderboardScore>& scores, const std::string& player, double at, std::string* error) const;

    std::string path_;
    std::function<double()> wallNow_;
    mutable std::mutex mutex_;
    bool signInEnabled_ = true;
    bool authenticated_ = false;
    std::string alias_;
    BackgroundWorker worker_;
};
