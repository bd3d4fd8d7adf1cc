#include "platform/services/LeaderboardService.h"

#include <pwd.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "platform/store/SavedStateStore.h"

namespace {

constexpr int kBusyTimeoutMs = 250;

std::mutex sharedMutex;
std::shared_ptr<LeaderboardService>& sharedSlot() {
    static std::shared_ptr<LeaderboardService> slot;
    return slot;
}

// One connection for one piece of work; closed whatever happens.
class Connection {
public:
    Connection(const std::string& path, bool writable) {
        const int flags = writable ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE : SQLITE_OPEN_READONLY;
        if (sqlite3_open_v2(path.c_str(), &db_, flags | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
            error_ = db_ ? sqlite3_errmsg(db_) : "cannot open the database";
            return;
        }
        sqlite3_busy_timeout(db_, kBusyTimeoutMs);
        if (writable)
            exec("CREATE TABLE IF NOT EXISTS scores ("
                 " id INTEGER PRIMARY KEY,"
                 " leaderboard TEXT NOT NULL,"
                 " player TEXT NOT NULL,"
                 " value INTEGER NOT NULL,"
                 " reported_at REAL NOT NULL);"
                 "CREATE INDEX IF NOT EXISTS scores_by_board ON scores (leaderboard, reported_at);");
    }
    ~Connection() { sqlite3_close_v2(db_); }
    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    sqlite3* db() const { return db_; }
    bool exec(const char* sql) {
        if (!ok()) return false;
        char* message = nullptr;
        if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) != SQLITE_OK) {
            error_ = message ? message : sqlite3_errmsg(db_);
            sqlite3_free(message);
            return false;
        }
        return true;
    }
    void fail() { error_ = sqlite3_errmsg(db_); }

private:
    sqlite3* db_ = nullptr;
    std::string error_;
};

std::string desktopUser() {
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_name && *entry->pw_name) return entry->pw_name;
    if (const char* user = std::getenv("USER"); user && *user) return user;
    return "player";
}

}  // namespace

const std::vector<std::string>& LeaderboardService::leaderboardIds() {
    static const std::vector<std::string> ids = {"treasure_hunter", "monster_hunter", "buta_hunter", "flamebird_hunter"};
    return ids;
}

LeaderboardService& LeaderboardService::shared() {
    std::lock_guard lock(sharedMutex);
    std::shared_ptr<LeaderboardService>& sharedService = sharedSlot();
    if (!sharedService) {
        const std::string dir = SavedStateStore::dataDirectory();
        sharedService = std::make_shared<LeaderboardService>(dir.empty() ? "" : (std::filesystem::path(dir) / kFileName).string());
        sharedService->setSignInEnabled(signInEnabledByEnvironment());
    }
    return *sharedService;
}

void LeaderboardService::setShared(std::shared_ptr<LeaderboardService> service) {
    std::lock_guard lock(sharedMutex);
    sharedSlot() = std::move(service);
}

LeaderboardService::LeaderboardService(std::string databasePath, std::function<double()> wallNow)
    : path_(std::move(databasePath)), wallNow_(std::move(wallNow)) {
    if (!wallNow_) wallNow_ = [] { return RunLoop::main().wallTime(); };
}

LeaderboardService::~LeaderboardService() = default;

void LeaderboardService::setSignInEnabled(bool enabled) {
    std::lock_guard lock(mutex_);
    signInEnabled_ = enabled;
    if (!enabled) authenticated_ = false;
}

bool LeaderboardService::signInEnabledByEnvironment() {
    const char* value = std::getenv(kSignInVariable);
    if (!value) return true;
    std::string v = value;
    std::transform(v.begin(), v.end(), v.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return v != "off";
}

void LeaderboardService::authenticateLocalPlayer(std::function<void(bool ok, const std::string& error)> completion) {
    bool ok;
    {
        std::lock_guard lock(mutex_);
        ok = signInEnabled_;
        authenticated_ = ok;
        alias_ = ok ? desktopUser() : "";
    }
    RunLoop::main().post([ok, completion = std::move(completion)] {
        if (completion) completion(ok, ok ? "" : "sign-in is switched off");
    });
}

bool LeaderboardService::isAuthenticated() const {
    std::lock_guard lock(mutex_);
    return authenticated_;
}

std::string LeaderboardService::playerAlias() const {
    std::lock_guard lock(mutex_);
    return alias_;
}

bool LeaderboardService::writeScores(const std::vector<LeaderboardScore>& scores, const std::string& player, double at,
                                     std::string* error) const {
    if (path_.empty()) {
        *error = "no database";
        return false;
    }
    Connection c(path_, true);
    if (!c.exec("BEGIN IMMEDIATE")) {
        *error = c.error();
        return false;
    }
    sqlite3_stmt* insert = nullptr;
    bool ok = sqlite3_prepare_v2(c.db(), "INSERT INTO scores (leaderboard, player, value, reported_at) VALUES (?, ?, ?, ?)", -1,
                                 &insert, nullptr) == SQLITE_OK;
    for (size_t i = 0; ok && i < scores.size(); ++i) {
        sqlite3_bind_text(insert, 1, scores[i].leaderboardId.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 2, player.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int64(insert, 3, scores[i].value);
        sqlite3_bind_double(insert, 4, at);
        ok = sqlite3_step(insert) == SQLITE_DONE;
        sqlite3_reset(insert);
    }
    if (!ok) c.fail();
    sqlite3_finalize(insert);
    if (ok && c.exec("COMMIT")) return true;
    *error = c.error();
    sqlite3_exec(c.db(), "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
}

void LeaderboardService::reportScores(std::vector<LeaderboardScore> scores, ReportCompletion completion) {
    auto finish = [completion](bool ok, std::string error) {
        if (completion) RunLoop::main().post([completion, ok, error] { completion(ok, error); });
    };
    if (!isAuthenticated()) return finish(false, "not signed in");
    for (const auto& s : scores)
        if (std::find(leaderboardIds().begin(), leaderboardIds().end(), s.leaderboardId) == leaderboardIds().end())
            return finish(false, "unknown leaderboard " + s.leaderboardId);
    const double at = wallNow_();
    const std::string player = playerAlias();
    worker_.dispatch([this, scores = std::move(scores), player, at, finish] {
        std::string error;
        const bool ok = writeScores(scores, player, at, &error);
        finish(ok, error);
    });
}

void LeaderboardService::reportScore(const std::string& leaderboardId, int64_t value, ReportCompletion completion) {
    reportScores({{leaderboardId, value}}, std::move(completion));
}

double LeaderboardService::scopeStart(LeaderboardTimeScope scope, double now) {
    if (scope == LeaderboardTimeScope::allTime) return 0;
    const time_t t = static_cast<time_t>(now);
    std::tm local{};
    localtime_r(&t, &local);
    local.tm_hour = 0;
    local.tm_min = 0;
    local.tm_sec = 0;
    if (scope == LeaderboardTimeScope::week) local.tm_mday -= (local.tm_wday + 6) % 7;  // back to Monday
    local.tm_isdst = -1;
    return static_cast<double>(mktime(&local));
}

LeaderboardSnapshot LeaderboardService::readBoards(LeaderboardTimeScope scope, double now) const {
    LeaderboardSnapshot snapshot;
    snapshot.scope = scope;
    for (const auto& id : leaderboardIds()) snapshot.boards.push_back({id, {}, {}, {}});
    std::error_code ec;
    if (path_.empty() || !std::filesystem::exists(path_, ec)) {
        snapshot.readable = !path_.empty();  // nothing reported yet
        if (path_.empty()) snapshot.problem = "no database";
        return snapshot;
    }
    Connection c(path_, false);
    sqlite3_stmt* query = nullptr;
    // Per board: the best score and the latest one of the scope (the newest row wins a tie).
    const char* sql =
        "SELECT leaderboard, MAX(value),"
        " (SELECT s2.value FROM scores s2 WHERE s2.leaderboard = s.leaderboard AND s2.reported_at >= ?1"
        "  ORDER BY s2.reported_at DESC, s2.id DESC LIMIT 1),"
        " MAX(reported_at)"
        " FROM scores s WHERE reported_at >= ?1 GROUP BY leaderboard";
    if (!c.ok() || sqlite3_prepare_v2(c.db(), sql, -1, &query, nullptr) != SQLITE_OK) {
        snapshot.problem = c.ok() ? sqlite3_errmsg(c.db()) : c.error();
        sqlite3_finalize(query);
        return snapshot;
    }
    sqlite3_bind_double(query, 1, scopeStart(scope, now));
    int rc;
    while ((rc = sqlite3_step(query)) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(query, 0));
        const std::string id = text ? text : "";
        for (auto& board : snapshot.boards) {
            if (board.leaderboardId != id) continue;
            board.best = sqlite3_column_int64(query, 1);
            board.last = sqlite3_column_int64(query, 2);
            board.lastReportedAt = sqlite3_column_double(query, 3);
        }
    }
    if (rc == SQLITE_DONE) snapshot.readable = true;
    else snapshot.problem = sqlite3_errmsg(c.db());
    sqlite3_finalize(query);
    if (!snapshot.readable)
        for (auto& board : snapshot.boards) board = {board.leaderboardId, {}, {}, {}};
    return snapshot;
}

void LeaderboardService::loadBoards(LeaderboardTimeScope scope, std::weak_ptr<void> owner,
                                    std::function<void(const LeaderboardSnapshot&)> completion) {
    const bool owned = !isUnsetOwner(owner);
    const double now = wallNow_();
    worker_.dispatch([this, scope, now, owner, owned, completion] {
        auto snapshot = readBoards(scope, now);
        RunLoop::main().post([owner, owned, completion, snapshot = std::move(snapshot)] {
            if (owned && owner.expired()) return;
            if (completion) completion(snapshot);
        });
    });
}

void LeaderboardService::waitUntilIdle() { worker_.waitUntilIdle(); }
