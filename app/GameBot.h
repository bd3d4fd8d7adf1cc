#pragma once
// Plays the whole game headless, as a player of one kind would, through the script driver on the
// manual clock: the real screens pressed by name, the real store file in the data folder. It
// decides by reading the saved state and the tables, and acts only as a finger would (press,
// select, touch, key), so every rule it meets is the game's own.
//
// The players:
//   casual   three visits a day at irregular hours (morning, afternoon, evening)
//   hourly   a visit every waking hour
//   eager    back whenever a notification says a person or the party has come home
// Nobody plays between 23:00 and 07:00. A visit lasts a few minutes: an explore that ends
// within it is waited for. Between visits the game goes to the background and the clock jumps
// straight to the next visit.
//
// Each visit: collect everything, buy the gear the monsters ask for (cheapest first), then the
// bonus items sold for gold (never the store's), move to the newest open dungeon, read every
// story to its end, take the share bonus when it is offered, start the next explore.
//
// It keeps what it has measured (the pacing record) in the data folder after every visit, so a
// run killed at any moment goes on from the saved game when started again on the same folder.
#include <cstdint>
#include <iosfwd>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <random>
#include <string>
#include <vector>

class ManualClock;
class ScriptDriver;

enum class PlayerKind { casual, eager, hourly };

struct SimulationOptions {
    PlayerKind player = PlayerKind::casual;
    double days = 0;  // 0: until both endings and the full book (at most GameBot::kLongestGameDays)
    uint64_t seed = 1;
    std::string reportPath;  // "" when not wanted
};

class GameBot {
public:
    static constexpr double kDay = 86400;
    static constexpr double kLongestGameDays = 120;
    // The record kept in the data folder between visits.
    static constexpr const char* kRecordFile = "simulation.json";

    static std::optional<PlayerKind> playerKindFromName(const std::string& name);
    static const char* nameOfPlayerKind(PlayerKind kind);

    // Where the clock of a stopped run in this folder had got to, so the game starts there.
    static std::optional<double> savedClock(const std::string& dataDirectory);

    GameBot(ScriptDriver& driver, ManualClock& clock, SimulationOptions options, std::string dataDirectory);

    // Plays to the end (or the day limit), prints the pacing table to `out`, writes the report.
    // 0 when played through; 1 when the bot got stuck or could not write the report (reason on err).
    int play(std::ostream& out, std::ostream& err);

    // The pacing record as JSON (see docs/PACING.md), and the table printed from it.
    const nlohmann::json& record() const { return record_; }
    static std::string tableText(const nlohmann::json& record);

private:
    // One visit; false when the game no longer answered as expected.
    bool visit();
    bool clearScreen();
    bool collectAll();
    void shop();
    void moveToDungeon();
    void useShareBonus();
    bool startExplore();

    // The driver's commands; a refused press is retried by the caller.
    bool command(const std::string& line);
    bool press(const std::string& name) { return command("press " + name); }
    bool shown(const std::string& name) const;
    void wait(double seconds);

    bool exploreRunning() const;
    bool walkingHome() const;
    double nextVisitAfter(double now);
    double slotAfter(double now);
    unsigned targetDungeon() const;
    bool finished() const;

    // Measuring.
    double elapsed() const;
    void noteProgress();
    void noteCollection(const std::map<int64_t, std::pair<int64_t, unsigned>>& before);
    void noteState();
    bool saveRecord(std::string* error) const;
    void loadRecord();

    ScriptDriver& driver_;
    ManualClock& clock_;
    SimulationOptions options_;
    std::string dataDirectory_;
    std::mt19937_64 rng_;
    nlohmann::json record_;
    double start_ = 0;
    double visitEnd_ = 0;
    double lastProgress_ = 0;
    int refusals_ = 0;
    bool shareWorks_ = true;
    std::string stuck_;
    std::ostream* trace_ = nullptr;  // every command and its refusal, with RE_BOT_TRACE set
};
