#pragma once
// Shared set-up of the model tests: a saved-state store in a temporary folder, a resource bundle
// in another one holding small tables written here (so the tests do not depend on the game's
// content), a manual clock on the main run loop, and every singleton torn down between tests.
#include <gtest/gtest.h>

#include <memory>

#include "model/SavePointHooks.h"
#include "platform/core/RunLoop.h"
#include "platform/events/NotificationCenter.h"
#include "platform/resources/LocalizedStrings.h"
#include "platform/resources/ResourceBundle.h"
#include "platform/services/Analytics.h"
#include "platform/store/SavedStateStore.h"
#include "support/GameTestSupport.h"

namespace modeltest {

namespace fs = std::filesystem;

using gametest::clearStore;
using gametest::store;
using gametest::writePlist;

// ---- The small tables every model test runs on.
//
// Monsters: 40 entries, ids 1..39 with the last entry repeating id 39 (first entry wins).
// Monster i yields 10 * i gold and is named "M<i>"; monster 2 requires equipment 3 and 5.
// Dungeons 1..8, boss of dungeon d is monster 6d, depth 2d. Dungeon 8 has no monster list;
// dungeon 1 has two lists (the first wins).
// Equipment: see equipmentTable().
inline Value monsterTable() {
    Value::Array rows;
    for (int i = 1; i <= 39; ++i) {
        Value row{{"id", Value(i)}, {"name", Value("M" + std::to_string(i))}, {"gold", Value(10 * i)},
                  {"description", Value("Monster number " + std::to_string(i))}};
        if (i == 2) row = row.with("req_equip1", Value(3)).with("req_equip2", Value(0)).with("req_equip3", Value(5));
        rows.push_back(row);
    }
    rows.push_back(Value{{"id", Value(39)}, {"name", Value("Duplicate")}, {"gold", Value(1)}});
    return Value(rows);
}

inline Value dungeonTable() {
    Value::Array rows;
    for (int d = 1; d <= 8; ++d)
        rows.push_back(Value{{"id", Value(d)}, {"name", Value("D" + std::to_string(d))}, {"boss_id", Value(6 * d)}, {"depth", Value(2 * d)}});
    return Value(rows);
}

inline Value dungeonMonsterTable() {
    auto entry = [](int monster, bool boss, bool isNew, double rate) {
        return Value{{"monster_id", Value(monster)}, {"is_boss", Value(boss)}, {"is_new", Value(isNew)}, {"rate", Value(rate)}};
    };
    Value::Array lists;
    for (int d = 1; d <= 7; ++d) {
        const int first = 6 * (d - 1) + 1;
        Value::Array monsters;
        for (int m = first; m < first + 5; ++m) monsters.push_back(entry(m, false, m >= first + 3, 0.2));
        monsters.push_back(entry(6 * d, true, false, 0.0));
        lists.push_back(Value{{"dungeon_id", Value(d)}, {"monsters", Value(monsters)}});
    }
    // A second list for dungeon 1, never used.
    lists.push_back(Value{{"dungeon_id", Value(1)}, {"monsters", Value(Value::Array{entry(2, true, false, 1.0)})}});
    return Value(lists);
}

// id: type, req_dungeon, monster, num, gold_rate, speed_rate, product_id
//  1: item,  dungeon 1, free
//  2: item,  dungeon 1, needs 10 hunts of M1
//  3: item,  dungeon 2, free
//  4: bonus, dungeon 1, gold 1.5,              store product "gold15"
//  5: bonus, dungeon 1, gold 2.0, speed 0.5 (ignored)
//  6: bonus, dungeon 1, gold 0.8 (ignored), speed 2.0, store product "speed2"
//  7: item,  dungeon 1, gold 5.0, speed 5.0 (an item: rates never count)
//  8: bonus, dungeon 3, gold 1.1, empty product id
inline Value equipmentTable() {
    auto row = [](int id, int type, int dungeon, int monster, int num, double goldRate, double speedRate, const char* product) {
        Value r{{"id", Value(id)}, {"name", Value("E" + std::to_string(id))}, {"type", Value(type)}, {"req_dungeon", Value(dungeon)},
                {"monster", Value(monster)}, {"num", Value(num)}, {"gold", Value(product ? 0 : 100 * id)}};
        if (goldRate > 0) r = r.with("gold_rate", Value(goldRate));
        if (speedRate > 0) r = r.with("speed_rate", Value(speedRate));
        if (product) r = r.with("product_id", Value(product));
        return r;
    };
    return Value(Value::Array{
        row(1, 0, 1, 0, 0, 1.0, 1.0, nullptr),
        row(2, 0, 1, 1, 10, 0, 0, nullptr),
        row(3, 0, 2, 0, 0, 0, 0, nullptr),
        row(4, 1, 1, 0, 0, 1.5, 0, "gold15"),
        row(5, 1, 1, 0, 0, 2.0, 0.5, nullptr),
        row(6, 1, 1, 0, 0, 0.8, 2.0, "speed2"),
        row(7, 0, 1, 0, 0, 5.0, 5.0, nullptr),
        row(8, 1, 3, 0, 0, 1.1, 0, ""),
    });
}

// Folders made once per test program.
struct Folders : gametest::TestFolders {
    fs::path emptyBundle;
};

inline const Folders& folders() {
    static Folders f = [] {
        Folders made{gametest::makeTestFolders("re-model"), fs::path()};
        made.emptyBundle = made.root / "empty";
        fs::create_directories(made.emptyBundle);
        writePlist(made.bundle / "tables" / "monsters.plist", monsterTable());
        writePlist(made.bundle / "tables" / "dungeons.plist", dungeonTable());
        writePlist(made.bundle / "tables" / "dungeon_monsters.plist", dungeonMonsterTable());
        writePlist(made.bundle / "tables" / "equipments.plist", equipmentTable());
        writePlist(made.bundle / "strings" / "en.lproj" / "Localizable.strings",
                   Value{{"FormatUnlockCondition", Value("Hunt %@ %u times (%d to go)")}});
        return made;
    }();
    return f;
}

inline void resetSingletons() { gametest::resetModelSingletons(); }

// Every model test derives from this fixture.
class ModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResourceBundle::setRootDirectory(folders().bundle.string());
        LocalizedStrings::setPreferredLanguages({"en"});
        LocalizedStrings::shared().reload();
        TearDown();
        RunLoop::main().setClock(clock);
        Analytics::setShared(analytics);
    }

    void TearDown() override {
        SavePointHooks::setAfterSaveHandler(nullptr);
        resetSingletons();
        clearStore();
        RunLoop::main().reset();
        NotificationCenter::defaultCenter().removeAllObservers();
    }

    // Records every event of these names, in delivery order.
    void recordEvents(std::initializer_list<const char*> names) {
        for (const char* name : names)
            NotificationCenter::defaultCenter().addObserver(static_cast<const void*>(this),
                                                            [this](const Notification& n) { events.push_back(n.name); }, name);
    }

    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>(1.8e9);
    std::shared_ptr<RecordingAnalytics> analytics = std::make_shared<RecordingAnalytics>();
    std::vector<std::string> events;
};

}  // namespace modeltest
