#pragma once
// Model tests run on small tables written here, a store in a temporary folder, a manual clock on
// the main run loop, and fresh singletons per test.
#include <gtest/gtest.h>

#include "model/DungeonManager.h"
#include "model/EquipManager.h"
#include "model/MemberManager.h"
#include "model/SavePointHooks.h"
#include "model/SavedStateKeys.h"
#include "platform/core/RunLoop.h"
#include "platform/events/NotificationCenter.h"
#include "platform/resources/LocalizedStrings.h"
#include "platform/resources/ResourceBundle.h"
#include "platform/services/Analytics.h"
#include "support/GameTestSupport.h"

using gametest::store;
using gametest::writePlist;

// Monsters 1..39 ("M<i>", 10 i gold), then a second id 39 that never wins; monster 2 requires
// equipment 3 and 5. Dungeons 1..8, the boss of d is monster 6d; dungeon 8 has no monster list,
// dungeon 1 a second one that is never used.
// Equipment id: type (0 item, 1 bonus), req_dungeon, monster, num, gold_rate, speed_rate, product_id.
// 2 needs 10 hunts of M1; bonus 5 has a speed rate and 6 a gold rate below one, both ignored;
// item 7's rates never count; 8 has an empty product id.
inline const gametest::TestFolders& folders() {
    static gametest::TestFolders made = [] {
        gametest::TestFolders f = gametest::makeTestFolders("re-model");
        std::filesystem::create_directories(f.root / "empty");
        Value::Array monsters, dungeons, lists;
        for (int i = 1; i <= 39; ++i)
            monsters.push_back(Value{{"id", Value(i)}, {"name", Value("M" + std::to_string(i))}, {"gold", Value(10 * i)}});
        monsters[1] = monsters[1].with("req_equip1", Value(3)).with("req_equip2", Value(0)).with("req_equip3", Value(5));
        monsters.push_back(Value{{"id", Value(39)}, {"name", Value("Duplicate")}, {"gold", Value(1)}});
        auto entry = [](int monster, bool boss) { return Value{{"monster_id", Value(monster)}, {"is_boss", Value(boss)}}; };
        for (int d = 1; d <= 8; ++d) {
            dungeons.push_back(Value{{"id", Value(d)}, {"name", Value("D" + std::to_string(d))}, {"boss_id", Value(6 * d)}});
            Value::Array list;
            for (int m = 6 * d - 5; m <= 6 * d; ++m) list.push_back(entry(m, m == 6 * d));
            if (d < 8) lists.push_back(Value{{"dungeon_id", Value(d)}, {"monsters", Value(list)}});
        }
        lists.push_back(Value{{"dungeon_id", Value(1)}, {"monsters", Value::array({entry(2, true)})}});
        auto row = [](int id, int type, int dungeon, int monster, int num, double goldRate, double speedRate, const char* product) {
            Value r{{"id", Value(id)}, {"name", Value("E" + std::to_string(id))}, {"type", Value(type)}, {"req_dungeon", Value(dungeon)},
                    {"monster", Value(monster)}, {"num", Value(num)}, {"gold", Value(product ? 0 : 100 * id)}};
            if (goldRate > 0) r = r.with("gold_rate", Value(goldRate));
            if (speedRate > 0) r = r.with("speed_rate", Value(speedRate));
            return product ? r.with("product_id", Value(product)) : r;
        };
        writePlist(f.bundle / "tables" / "monsters.plist", Value(monsters));
        writePlist(f.bundle / "tables" / "dungeons.plist", Value(dungeons));
        writePlist(f.bundle / "tables" / "dungeon_monsters.plist", Value(lists));
        writePlist(f.bundle / "tables" / "equipments.plist",
                   Value::array({row(1, 0, 1, 0, 0, 1.0, 1.0, nullptr), row(2, 0, 1, 1, 10, 0, 0, nullptr), row(3, 0, 2, 0, 0, 0, 0, nullptr),
                                 row(4, 1, 1, 0, 0, 1.5, 0, "gold15"), row(5, 1, 1, 0, 0, 2.0, 0.5, nullptr),
                                 row(6, 1, 1, 0, 0, 0.8, 2.0, "speed2"), row(7, 0, 1, 0, 0, 5.0, 5.0, nullptr), row(8, 1, 3, 0, 0, 1.1, 0, "")}));
        writePlist(f.bundle / "strings" / "en.lproj" / "Localizable.strings",
                   Value{{"FormatUnlockCondition", Value("Hunt %@ %u times (%d to go)")}});
        return f;
    }();
    return made;
}

inline std::vector<int64_t> field(const Value& list, const char* key = "id") {
    std::vector<int64_t> out;
    for (const Value& e : list.arrayValue()) out.push_back(e[key].integerValue());
    return out;
}
using Ids = std::vector<int64_t>;

inline void resetSingletons() { gametest::resetModelSingletons(); }

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
        gametest::clearStore();
        RunLoop::main().reset();
        NotificationCenter::defaultCenter().removeAllObservers();
    }
    void recordEvents(std::initializer_list<const char*> names) {
        for (const char* name : names)
            NotificationCenter::defaultCenter().addObserver(this, [this](const Notification& n) { events.push_back(n.name); }, name);
    }
    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>(1.8e9);
    std::shared_ptr<RecordingAnalytics> analytics = std::make_shared<RecordingAnalytics>();
    std::vector<std::string> events;
};
