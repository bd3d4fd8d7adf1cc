#pragma once
// Model tests: small tables written here, the store in a temporary folder, a manual clock, fresh singletons.
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

// Monsters 1..39 and a second 39; 2 needs equipment 3 and 5. Dungeons 1..8, boss of d is 6d; 8 has no monster
// list, 1 a second, unused one. Equipment 2 needs 10 hunts of M1; 5's speed and 6's gold rate are below one.
inline const gametest::TestFolders& folders() {
    static gametest::TestFolders made = [] {
        gametest::TestFolders f = gametest::makeTestFolders("re-model");
        Value::Array monsters, dungeons, lists, equipments;
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
        struct Row { int id, type, dungeon, monster, num; double goldRate, speedRate; const char* product; };
        for (const Row& r : {Row{1, 0, 1, 0, 0, 1.0, 1.0, nullptr}, Row{2, 0, 1, 1, 10, 0, 0, nullptr}, Row{3, 0, 2, 0, 0, 0, 0, nullptr},
                             Row{4, 1, 1, 0, 0, 1.5, 0, "gold15"}, Row{5, 1, 1, 0, 0, 2.0, 0.5, nullptr}, Row{6, 1, 1, 0, 0, 0.8, 2.0, "speed2"},
                             Row{7, 0, 1, 0, 0, 5.0, 5.0, nullptr}, Row{8, 1, 3, 0, 0, 1.1, 0, ""}}) {
            Value e{{"id", Value(r.id)}, {"name", Value("E" + std::to_string(r.id))}, {"type", Value(r.type)},
                    {"req_dungeon", Value(r.dungeon)}, {"monster", Value(r.monster)}, {"num", Value(r.num)}};
            if (r.goldRate > 0) e = e.with("gold_rate", Value(r.goldRate));
            if (r.speedRate > 0) e = e.with("speed_rate", Value(r.speedRate));
            equipments.push_back(r.product ? e.with("product_id", Value(r.product)) : e);
        }
        const Value tables[] = {Value(monsters), Value(dungeons), Value(lists), Value(equipments)};
        const char* names[] = {"monsters", "dungeons", "dungeon_monsters", "equipments"};
        for (int i = 0; i < 4; ++i) gametest::writePlist(f.bundle / "tables" / (std::string(names[i]) + ".plist"), tables[i]);
        gametest::writePlist(f.bundle / "strings" / "en.lproj" / "Localizable.strings",
                             Value{{"FormatUnlockCondition", Value("Hunt %@ %u times (%d to go)")}});
        return f;
    }();
    return made;
}

using Ids = std::vector<int64_t>;
template <class Rows>
inline Ids ids(const Rows& rows) {
    Ids out;
    for (const auto& row : rows) out.push_back(static_cast<int64_t>(row.id));
    return out;
}

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
        Singletons::resetAll();
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
