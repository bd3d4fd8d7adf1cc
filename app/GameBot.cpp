#include "app/GameBot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <sstream>

#include "app/ScriptDriver.h"
#include "model/DungeonManager.h"
#include "model/DungeonStaticData.h"
#include "model/EquipManager.h"
#include "model/GoldManager.h"
#include "model/LeftTimeManager.h"
#include "model/MemberManager.h"
#include "model/MonsterManager.h"
#include "model/PersonManager.h"
#include "model/SavedStateKeys.h"
#include "platform/core/Clock.h"
#include "platform/foundation/DataFile.h"
#include "platform/services/LocalNotificationCenter.h"
#include "platform/store/SavedStateStore.h"

using nlohmann::json;

namespace {

constexpr double kHour = 3600;
constexpr double kWakeHour = 7;
constexpr double kBedHour = 23;
// The endings follow the bosses of the first half's last dungeon and of the table's last one.
unsigned dungeonCount() { return static_cast<unsigned>(DungeonStaticData::getInstance()->dungeons().size()); }
constexpr unsigned kFirstEndingDungeon = DungeonManager::kFirstHalfDungeonCount;
// Presses refused in a row (a screen still sliding in, a button covered) before the bot gives up.
constexpr int kMostRefusals = 400;
constexpr size_t kLongestRecord = 1 << 20;

double hourOfDay(double t) { return std::fmod(t, GameBot::kDay) / kHour; }
double dayStart(double t) { return std::floor(t / GameBot::kDay) * GameBot::kDay; }
bool asleep(double t) { return hourOfDay(t) < kWakeHour || hourOfDay(t) >= kBedHour; }

// How long a visit lasts: an explore ending within it is waited for.
double stayOf(PlayerKind kind) {
    switch (kind) {
        case PlayerKind::casual: return 15 * 60;
        case PlayerKind::hourly: return 5 * 60;
        case PlayerKind::eager: return 0;
    }
    return 0;
}

std::string twoDigits(int n) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", n);
    return buf;
}

// "14 min", "3 h 05", "2 d 04 h": a time since the start of the game.
std::string span(const json& seconds) {
    if (!seconds.is_number()) return "-";
    const long s = std::lround(seconds.get<double>());
    if (s < 3600) return std::to_string(s / 60) + " min" + (s < 600 ? " " + twoDigits(int(s % 60)) + " s" : "");
    if (s < 86400) return std::to_string(s / 3600) + " h " + twoDigits(int(s % 3600 / 60));
    return std::to_string(s / 86400) + " d " + twoDigits(int(s % 86400 / 3600)) + " h";
}

SavedStateStore& store() { return SavedStateStore::standardUserDefaults(); }

}  // namespace

std::optional<PlayerKind> GameBot::playerKindFromName(const std::string& name) {
    if (name == "casual") return PlayerKind::casual;
    if (name == "eager") return PlayerKind::eager;
    if (name == "hourly") return PlayerKind::hourly;
    return std::nullopt;
}

const char* GameBot::nameOfPlayerKind(PlayerKind kind) {
    switch (kind) {
        case PlayerKind::casual: return "casual";
        case PlayerKind::eager: return "eager";
        case PlayerKind::hourly: return "hourly";
    }
    return "casual";
}

GameBot::GameBot(ScriptDriver& driver, ManualClock& clock, SimulationOptions options, std::string dataDirectory)
    : driver_(driver), clock_(clock), options_(std::move(options)), dataDirectory_(std::move(dataDirectory)), rng_(options_.seed) {}

// ---- Driving the game

bool GameBot::command(const std::string& line) {
    std::string reason;
    if (driver_.runLine(line, &reason)) {
        if (trace_) *trace_ << span(elapsed()) << " " << line << "\n";
        refusals_ = 0;
        return true;
    }
    if (trace_) *trace_ << span(elapsed()) << " " << line << ": " << reason << "\n";
    if (++refusals_ > kMostRefusals) stuck_ = line + ": " + reason;
    return false;
}

bool GameBot::shown(const std::string& name) const { return driver_.isShown(name); }

void GameBot::wait(double seconds) { driver_.wait(seconds); }

bool GameBot::clearScreen() {
    for (int i = 0; i < 300 && stuck_.empty(); ++i) {
        if (shown("titleRoot")) {
            command("key Return");  // the row of persons on the title, collected
            wait(2);
        } else if (shown("mangaRoot")) {
            if (!press("nextBtn")) press("closeBtn");
            wait(1);
        } else if (shown("alertView")) {
            wait(0.5);  // the alert has popped in
            press("alertBtn0");
            wait(0.5);
        } else if (shown("hiddenBtn")) {  // a hint that any touch closes
            press("hiddenBtn");
            wait(1);
        } else if (shown("msgLabel") && shown("cancelBtn")) {  // a question nobody meant to ask
            press("cancelBtn");
            wait(1);
        } else {
            return true;
        }
    }
    if (stuck_.empty()) stuck_ = "the screen never cleared";
    return false;
}

bool GameBot::collectAll() {
    for (int round = 0; round < 40; ++round) {
        if (!clearScreen()) return false;
        std::map<int64_t, std::pair<int64_t, unsigned>> carrying;  // person -> what, from where
        for (int64_t id = 1; id <= MemberManager::numTotalMembers(); ++id) {
            if (PersonManager::isPersonExploring(id)) continue;
            const int64_t yield = PersonManager::currentYieldTypeWithPersonId(id);
            if (yield == PersonManager::kYieldNothing) continue;
            // A coffin may carry no dungeon: it fell in the one the party is in.
            const unsigned from = PersonManager::currentDungeonIdWithPersonId(id);
            carrying[id] = {yield, from >= 1 && from <= dungeonCount() ? from : DungeonManager::currentDungeonId()};
        }
        if (carrying.empty()) {
            if (!walkingHome()) break;
            wait(1);  // the last of the party is still on the way home
            continue;
        }
        bool touched = false;
        for (const auto& v : driver_.shownViews()) {
            if (v.name.rfind("person", 0) != 0) continue;
            const int64_t id = std::atoll(v.name.c_str() + 6);
            if (!carrying.count(id)) continue;
            char line[64];
            std::snprintf(line, sizeof line, "touch %.1f %.1f", v.x + v.width / 2, v.y + v.height / 2);
            touched = command(line) || touched;
        }
        wait(touched ? 3 : 1);  // the loot flies to the counter; or they are still walking in
        noteCollection(carrying);
    }
    // Once the last loot is in, the explore button comes back (or a story starts).
    for (int i = 0; i < 20 && !exploreRunning() && !shown("exploreBtn") && stuck_.empty(); ++i) {
        if (!clearScreen()) return false;
        wait(1);
    }
    noteState();
    return stuck_.empty();
}

void GameBot::shop() {
    // Gear first, cheapest first, until one is too dear (the bot saves for it); bonus items sold
    // for gold only once every piece of gear on sale is owned.
    const auto wanted = [] {
        std::vector<EquipRow> gear, bonus;
        for (const EquipRow& item : EquipManager::equipmentsInStore()) {
            if (EquipManager::haveEquipmentWithId(item.id)) continue;
            if (item.type == EquipManager::kTypeItem) gear.push_back(item);
            else if (item.gold > 0 && item.productId.empty()) bonus.push_back(item);
        }
        const auto cheaper = [](const EquipRow& a, const EquipRow& b) { return a.gold < b.gold; };
        std::stable_sort(gear.begin(), gear.end(), cheaper);
        std::stable_sort(bonus.begin(), bonus.end(), cheaper);
        int64_t gold = GoldManager::getInstance()->currentGold();
        std::vector<EquipRow> buy;
        for (const EquipRow& item : gear) {
            if (!EquipManager::isEquipUnlockedWithEquipStaticInfo(item)) continue;
            if (item.gold > gold) return buy;
            gold -= item.gold;
            buy.push_back(item);
        }
        if (buy.size() < gear.size()) return buy;
        for (const EquipRow& item : bonus) {
            if (!EquipManager::isEquipUnlockedWithEquipStaticInfo(item) || item.gold > gold) continue;
            gold -= item.gold;
            buy.push_back(item);
        }
        return buy;
    }();
    if (trace_)
        for (const EquipRow& item : wanted) *trace_ << "  wants " << item.name << " " << item.gold << " of " << GoldManager::getInstance()->currentGold() << "\n";
    if (wanted.empty() || !shown("menuBtn1")) return;
    if (!press("menuBtn1")) return;
    wait(2);
    for (const EquipRow& item : wanted) {
        const std::vector<EquipRow> rows = EquipManager::equipmentsInStore();
        int row = -1;
        for (size_t i = 0; i < rows.size(); ++i)
            if (rows[i].id == item.id) row = int(i);
        if (row < 0 || !command("select myTableView " + std::to_string(row))) continue;
        wait(1);
        if (press("okBtn")) wait(1);
        if (EquipManager::haveEquipmentWithId(item.id)) {
            record_["goldSpent"] = record_["goldSpent"].get<int64_t>() + item.gold;
            record_["equipment"].push_back({{"id", item.id}, {"name", item.name}, {"price", item.gold},
                                            {"time", elapsed()}, {"dungeon", DungeonManager::currentDungeonId()}});
            noteProgress();
        }
        if (!clearScreen()) return;  // the purchase's alert
        if (shown("cancelBtn") && press("cancelBtn")) wait(1);
    }
    for (int i = 0; i < 5 && shown("myTableView"); ++i) {
        press("closeBtn");
        wait(2);
    }
}

unsigned GameBot::targetDungeon() const {
    // The newest open dungeon; once it has nothing new left to show, the newest one that has.
    const unsigned latest = DungeonManager::latestUnlockedDungeonId();
    const auto& monsters = *MonsterManager::getInstance();
    for (unsigned d = latest; d >= 1; --d) {
        for (const DungeonMonsterRow& entry : DungeonStaticData::getInstance()->monstersWithDungeonId(d))
            if (!monsters.huntedMonsterWithId(entry.monsterId)) return d;
    }
    return latest;
}

void GameBot::moveToDungeon() {
    const unsigned target = targetDungeon();
    if (target == DungeonManager::currentDungeonId() || exploreRunning() || !shown("menuBtn2")) return;
    if (!press("menuBtn2")) return;
    wait(1.5);
    command("select myTableView " + std::to_string(target - 1));
    wait(1.5);
    clearScreen();
    for (int i = 0; i < 5 && shown("myTableView"); ++i) {
        press("closeBtn");
        wait(1.5);
    }
}

// Sharing earns a member at most every three hours. The share screens may not answer yet: a
// press that opens nothing is not tried again in this run.
void GameBot::useShareBonus() {
    // The share sheet (an alert whose first button posts), then the composer's Post; the bonus
    // member's alerts are cleared after.
    if (!shareWorks_ || !shown("shareBtn") || MemberManager::isMaxMember() || !MemberManager::canAddMember()) return;
    if (!press("shareBtn")) return;
    wait(1);
    if (!shown("alertView")) {
        shareWorks_ = false;
        return;
    }
    press("alertBtn0");
    wait(1.5);
    if (shown("composePostBtn") && press("composePostBtn")) wait(1);
    else shareWorks_ = false;  // no composer: sharing cannot be used in this run
    for (int i = 0; i < 3 && shown("composeCancelBtn"); ++i) press("composeCancelBtn"), wait(1);
    if (MemberManager::numAddedMembers() > record_["shares"].get<int64_t>()) record_["shares"] = MemberManager::numAddedMembers();
    clearScreen();
}

bool GameBot::startExplore() {
    if (exploreRunning()) return true;
    if (!shown("exploreBtn")) {  // something still on its way; the next visit starts it
        if (trace_) {
            *trace_ << "  no explore button:";
            for (const auto& v : driver_.shownViews()) *trace_ << " " << v.name;
            *trace_ << "\n";
        }
        return true;
    }
    if (!press("exploreBtn")) return true;
    wait(1);
    if (!press("okBtn")) return clearScreen();
    const unsigned d = DungeonManager::currentDungeonId();
    json& dungeon = record_["dungeons"][d - 1];
    if (dungeon["firstExplore"].is_null()) dungeon["firstExplore"] = elapsed();
    dungeon["explores"] = dungeon["explores"].get<int>() + 1;
    // The party walks off; the wanted poster shows and goes.
    for (int i = 0; i < 15 && !shown("suspendBtn") && exploreRunning(); ++i) wait(1);
    return clearScreen();
}

// ---- The clock

bool GameBot::walkingHome() const {
    if (store().doubleForKey(SavedStateKeys::timestampStart) > 0) return false;
    for (int64_t id = 1; id <= MemberManager::numTotalMembers(); ++id)
        if (PersonManager::isPersonExploring(id)) return true;
    return false;
}

bool GameBot::exploreRunning() const {
    if (store().doubleForKey(SavedStateKeys::timestampStart) > 0) return true;
    for (int64_t id = 1; id <= MemberManager::numTotalMembers(); ++id)
        if (PersonManager::isPersonExploring(id)) return true;
    return false;
}

double GameBot::slotAfter(double now) {
    for (double day = dayStart(now);; day += kDay) {
        // Each day's hours drawn from the seed and the day alone, so a resumed run keeps them.
        std::mt19937_64 draw(options_.seed * 1000003 + uint64_t(day / kDay));
        std::uniform_real_distribution<double> minutes(0, 1);
        std::vector<double> slots;
        switch (options_.player) {
            case PlayerKind::casual:
                slots = {day + (7 + 3 * minutes(draw)) * kHour, day + (12 + 3 * minutes(draw)) * kHour,
                         day + (18 + 4 * minutes(draw)) * kHour};
                break;
            case PlayerKind::hourly:
                for (double h = kWakeHour; h < kBedHour; ++h) slots.push_back(day + h * kHour);
                break;
            case PlayerKind::eager:
                slots = {day + (kWakeHour + 0.5 * minutes(draw)) * kHour};
                break;
        }
        for (double s : slots)
            if (s > now) return std::floor(s);
    }
}

double GameBot::nextVisitAfter(double now) {
    const double end = exploreRunning() ? store().doubleForKey(SavedStateKeys::timestampStart) + LeftTimeManager::totalTimeForExplore() : 0;
    if (options_.player == PlayerKind::eager) {
        double next = 0;
        for (const auto& n : LocalNotificationCenter::shared()->scheduledLocalNotifications())
            if (n.fireDate > now && (next == 0 || n.fireDate < next)) next = n.fireDate;
        if (next == 0) next = end > now ? end : now + kHour;
        next = std::ceil(next) + 1;
        return asleep(next) ? slotAfter(next) : next;
    }
    if (end > 0 && end + 1 <= visitEnd_) return std::max(now + 1, std::ceil(end) + 1);
    const double slot = slotAfter(now);
    visitEnd_ = slot + stayOf(options_.player);
    return slot;
}

// ---- Measuring

double GameBot::elapsed() const { return clock_.wallNow() - start_; }

void GameBot::noteProgress() {
    const double now = clock_.wallNow();
    json& dungeon = record_["dungeons"][DungeonManager::currentDungeonId() - 1];
    dungeon["longestWithoutNews"] = std::max(dungeon["longestWithoutNews"].get<double>(), now - lastProgress_);
    lastProgress_ = now;
}

void GameBot::noteCollection(const std::map<int64_t, std::pair<int64_t, unsigned>>& before) {
    for (const auto& [id, what] : before) {
        if (PersonManager::currentYieldTypeWithPersonId(id) != PersonManager::kYieldNothing) continue;
        if (what.first != PersonManager::kYieldCoffin) continue;
        json& dungeon = record_["dungeons"][what.second - 1];
        dungeon["deaths"] = dungeon["deaths"].get<int>() + 1;
    }
}

void GameBot::noteState() {
    const auto& monsters = *MonsterManager::getInstance();
    const unsigned hunted = monsters.numHuntedMonsters();
    json& book = record_["book"];
    if (book.empty() || book.back()[1].get<unsigned>() != hunted) {
        book.push_back({elapsed(), hunted});
        noteProgress();
    }
    for (unsigned d = 1; d <= dungeonCount(); ++d) {
        json& dungeon = record_["dungeons"][d - 1];
        if (dungeon["boss"].is_null() && monsters.huntedMonsterWithId(DungeonStaticData::getInstance()->bossIdWithDungeionId(d))) {
            dungeon["boss"] = elapsed();
            if (d == kFirstEndingDungeon) record_["firstEnding"] = elapsed();
            if (d == dungeonCount()) record_["secondEnding"] = elapsed();
        }
    }
    if (record_["fullBook"].is_null() && hunted >= MonsterManager::numAllMonsters()) record_["fullBook"] = elapsed();
    record_["bookSize"] = MonsterManager::numAllMonsters();
    record_["goldEarned"] = GoldManager::getInstance()->totalGold();
    record_["gold"] = GoldManager::getInstance()->currentGold();
    record_["members"] = MemberManager::numTotalMembers();
}

bool GameBot::finished() const {
    return !record_["firstEnding"].is_null() && !record_["secondEnding"].is_null() && !record_["fullBook"].is_null();
}

bool GameBot::saveRecord(std::string* error) const {
    json kept = record_;
    kept["clock"] = clock_.wallNow();
    kept["visitEnd"] = visitEnd_;
    kept["lastProgress"] = lastProgress_;
    return DataFile::replace(dataDirectory_ + "/" + kRecordFile, kept.dump(1) + "\n", error);
}

void GameBot::loadRecord() {
    json kept;
    const std::string path = dataDirectory_ + "/" + kRecordFile;
    if (DataFile::readJsonObject(path, kLongestRecord, &kept) == DataFile::Status::Read && kept.contains("dungeons") &&
        kept["dungeons"].is_array() && kept["dungeons"].size() == dungeonCount() && kept.value("player", "") == nameOfPlayerKind(options_.player)) {
        // Going on after a kill: the clock where the last visit left it, never backwards.
        record_ = kept;
        start_ = DataFile::number(kept, "start", clock_.wallNow());
        clock_.setWall(std::max(clock_.wallNow(), DataFile::number(kept, "clock", clock_.wallNow())));
        visitEnd_ = DataFile::number(kept, "visitEnd", 0);
        lastProgress_ = DataFile::number(kept, "lastProgress", clock_.wallNow());
        record_["resumed"] = record_.value("resumed", 0) + 1;
        return;
    }
    start_ = lastProgress_ = clock_.wallNow();
    visitEnd_ = start_ + stayOf(options_.player);
    record_ = {{"player", nameOfPlayerKind(options_.player)}, {"seed", options_.seed}, {"start", start_}, {"visits", 0}, {"shares", 0},
               {"firstEnding", nullptr}, {"secondEnding", nullptr}, {"fullBook", nullptr}, {"bookSize", MonsterManager::numAllMonsters()},
               {"book", json::array()}, {"goldEarned", 0}, {"goldSpent", 0}, {"gold", 0}, {"members", 20}, {"equipment", json::array()},
               {"dungeons", json::array()}};
    for (unsigned d = 1; d <= dungeonCount(); ++d)
        record_["dungeons"].push_back({{"id", d}, {"name", DungeonStaticData::getInstance()->dungeonNameWithId(d)}, {"firstExplore", nullptr},
                                       {"boss", nullptr}, {"explores", 0}, {"deaths", 0}, {"longestWithoutNews", 0.0}});
}

std::optional<double> GameBot::savedClock(const std::string& dataDirectory) {
    json kept;
    if (DataFile::readJsonObject(dataDirectory + "/" + kRecordFile, kLongestRecord, &kept) != DataFile::Status::Read) return std::nullopt;
    const double clock = DataFile::number(kept, "clock", 0);
    return clock > 0 ? std::optional<double>(clock) : std::nullopt;
}

// ---- Playing

bool GameBot::visit() {
    record_["visits"] = record_["visits"].get<int>() + 1;
    if (!clearScreen() || !collectAll()) return false;
    shop();
    moveToDungeon();
    useShareBonus();
    if (!clearScreen() || !startExplore()) return false;
    noteState();
    return stuck_.empty();
}

int GameBot::play(std::ostream& out, std::ostream& err) {
    if (const char* trace = std::getenv("RE_BOT_TRACE"); trace && *trace) trace_ = &err;
    loadRecord();
    driver_.settle();
    int status = 0;
    const double limit = start_ + (options_.days > 0 ? options_.days : kLongestGameDays) * kDay;
    for (;;) {
        if (!visit()) {
            err << "royal-expedition: the simulated player got stuck: " << stuck_ << "\n";
            status = 1;
            break;
        }
        if (finished()) break;
        const double next = nextVisitAfter(clock_.wallNow());
        if (next > limit) {
            clock_.setWall(std::max(clock_.wallNow(), limit));
            break;
        }
        command("background");
        clock_.setWall(next);
        std::string error;
        if (!saveRecord(&error)) err << "royal-expedition: " << error << "\n";
        command("activate");
    }
    // An open stretch without news at the end counts too: a wall the run ended in.
    const double now = clock_.wallNow();
    json& dungeon = record_["dungeons"][DungeonManager::currentDungeonId() - 1];
    dungeon["longestWithoutNews"] = std::max(dungeon["longestWithoutNews"].get<double>(), now - lastProgress_);
    record_["played"] = elapsed();
    record_["finished"] = finished();
    command("terminate");
    std::string error;
    if (!saveRecord(&error)) err << "royal-expedition: " << error << "\n";
    out << tableText(record_);
    if (!options_.reportPath.empty() && !DataFile::replace(options_.reportPath, record_.dump(1) + "\n", &error)) {
        err << "royal-expedition: cannot write the report " << options_.reportPath << ": " << error << "\n";
        status = 1;
    }
    return status;
}

std::string GameBot::tableText(const json& r) {
    std::ostringstream t;
    t << "Pacing of a " << r.value("player", "") << " player (seed " << r.value("seed", 0) << "), " << r.value("visits", 0) << " visits over "
      << span(r["played"]) << (r.value("finished", false) ? "" : ", not finished") << "\n\n";
    t << "| Dungeon | First explore | Boss | Explores | Deaths | Longest without news |\n|---|---|---|---|---|---|\n";
    for (const json& d : r["dungeons"])
        t << "| " << d["id"].get<int>() << ". " << d["name"].get<std::string>() << " | " << span(d["firstExplore"]) << " | " << span(d["boss"])
          << " | " << d["explores"].get<int>() << " | " << d["deaths"].get<int>() << " | " << span(d["longestWithoutNews"]) << " |\n";
    t << "\nFirst ending " << span(r["firstEnding"]) << ", second ending " << span(r["secondEnding"]) << ", full book "
      << span(r["fullBook"]) << ".\nGold earned " << r.value("goldEarned", 0) << ", spent " << r.value("goldSpent", 0) << "; party of "
      << r.value("members", 20) << ".\nBook:";
    for (const json& entry : r["book"]) t << " " << span(entry[0]) << " " << entry[1].get<int>() << "/" << r.value("bookSize", 0) << ";";
    t << "\nEquipment:";
    for (const json& e : r["equipment"]) t << " " << e["name"].get<std::string>() << " (" << e["price"].get<int64_t>() << " G) " << span(e["time"]) << ";";
    t << "\n";
    return t.str();
}
