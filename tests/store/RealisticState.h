#pragma once
// A saved state as a player far into the game has it; used by the store tests and benchmark.
#include <string>
#include <utility>

#include "platform/foundation/Value.h"
#include "platform/store/SavedStateStore.h"

namespace storetest {

inline void fillRealisticState(SavedStateStore& store) {
    for (auto [value, key] : {std::pair{Value(1234567LL), "gold"}, {Value(98765432LL), "totalGold"}, {Value(4321LL), "totalMonster"},
                              {Value(7LL), "current_dungeon_id"}, {Value(12LL), "numComeback"}, {Value(1718000000.125), "timestamp_start"},
                              {Value(1717990000.5), "timestamp_boss"}, {Value(1717900000.75), "timestamp_post_bonus"},
                              {Value(1717950000.25), "timestampLastReport"}, {Value(1.5f), "goldRate"}, {Value(0.64f), "timeRate"}})
        store.setObject(value, key);
    for (const char* flag : {"collectionUnlocked", "mapUnlocked", "shopUnlocked", "GKLoginSucceeded", "pushSoundOff", "firstTitleDone",
                             "firstMainDone", "tutorialShown", "firstExplore", "secondExplore", "firstCheck", "exploreTutorial2Shown",
                             "waitTutorialShown", "swipeTutorialShown"})
        store.setBool(std::string(flag) != "pushSoundOff", flag);
    Value::Array monsters, logs;
    for (unsigned id = 1; id <= 60; ++id) {
        const std::string n = std::to_string(id);
        monsters.push_back(Value{{"monster_id", Value(id)}, {"times", Value(id * 7u)}, {"viewed", Value(id % 3 != 0)}});
        if (id <= 20) logs.push_back(Value{{"id", Value(int(id))}, {"monsterId", Value(40 + id)}, {"isWin", Value(false)}});
        if (id <= 10) store.setObject(Value{{"dungeon_id", Value(id)}, {"explore_cnt", Value(id * 100u)}}, "dungeon_" + n);
        if (id <= 10) store.setObject(Value{{"member_id", Value(int(id))}}, "member_" + n);
        if (id <= 27) store.setObject(Value{{"equip_id", Value(int(id))}}, "equip_" + n);
        Value person{{"person_id", Value(int(id))}, {"is_exploring", Value(id % 2 == 0)}, {"yieldType", Value(int(id % 4))}};
        if (id % 4 == 3) person = person.with("monsterId", Value(id + 10)).with("dungeonId", Value(7u));
        if (id <= 30) store.setObject(person, "person_" + n);
    }
    store.setObject(Value(monsters), "monsters"), store.setObject(Value(logs), "battleLogs");
}

}  // namespace storetest
