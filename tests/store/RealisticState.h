#pragma once
// A saved state as a player far into the game has it; used by the store tests and benchmark.
#include <string>
#include <utility>

#include "platform/foundation/Value.h"
#include "platform/store/SavedStateStore.h"

namespace storetest {

inline void fillRealisticState(SavedStateStore& store) {
    for (auto [value, key] : {std::pair{1234567, "gold"}, {98765432, "totalGold"}, {4321, "totalMonster"}, {7, "current_dungeon_id"},
                              {12, "numComeback"}})
        store.setInteger(value, key);
    for (auto [value, key] : {std::pair{1718000000.125, "timestamp_start"}, {1717990000.5, "timestamp_boss"},
                              {1717900000.75, "timestamp_post_bonus"}, {1717950000.25, "timestampLastReport"}})
        store.setDouble(value, key);
    store.setFloat(1.5f, "goldRate");
    store.setFloat(0.64f, "timeRate");
    Value::Array monsters;
    for (unsigned id = 1; id <= 60; ++id)
        monsters.push_back(Value{{"monster_id", Value(id)}, {"times", Value(id * 7u)}, {"viewed", Value(id % 3 != 0)}});
    store.setObject(Value(monsters), "monsters");
    Value::Array logs;
    for (int i = 1; i <= 20; ++i)
        logs.push_back(Value{{"id", Value(i)}, {"monsterId", Value(static_cast<unsigned>(40 + i))}, {"isWin", Value(false)}});
    store.setObject(Value(logs), "battleLogs");
    for (const char* flag : {"collectionUnlocked", "mapUnlocked", "shopUnlocked", "GKLoginSucceeded", "pushSoundOff", "firstTitleDone",
                             "firstMainDone", "tutorialShown", "firstExplore", "secondExplore", "firstCheck", "exploreTutorial2Shown",
                             "waitTutorialShown", "swipeTutorialShown"})
        store.setBool(std::string(flag) != "pushSoundOff", flag);
    for (unsigned id = 1; id <= 10; ++id)
        store.setObject(Value{{"dungeon_id", Value(id)}, {"explore_cnt", Value(id * 100u)}}, "dungeon_" + std::to_string(id));
    for (int id = 1; id <= 30; ++id) {
        Value person{{"person_id", Value(id)}, {"is_exploring", Value(id % 2 == 0)}, {"yieldType", Value(id % 4)}};
        if (id % 4 == 3) person = person.with("monsterId", Value(static_cast<unsigned>(id + 10))).with("dungeonId", Value(7u));
        store.setObject(person, "person_" + std::to_string(id));
    }
    for (int id = 1; id <= 10; ++id) store.setObject(Value{{"member_id", Value(id)}}, "member_" + std::to_string(id));
    for (int id = 1; id <= 27; ++id) store.setObject(Value{{"equip_id", Value(id)}}, "equip_" + std::to_string(id));
}

}  // namespace storetest
