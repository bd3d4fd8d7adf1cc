#pragma once
// Every key of the saved state, and the record lookup all managers share: a stored value that is
// not a dictionary, or an empty dictionary, reads exactly as an absent key (nil).
#include <string>

#include "platform/foundation/Value.h"
#include "platform/store/SavedStateStore.h"

namespace SavedStateKeys {
inline constexpr const char* gold = "gold";
inline constexpr const char* totalGold = "totalGold";
inline constexpr const char* goldRate = "goldRate";
inline constexpr const char* timeRate = "timeRate";
inline constexpr const char* monsters = "monsters";
inline constexpr const char* totalMonster = "totalMonster";
inline constexpr const char* collectionUnlocked = "collectionUnlocked";
inline constexpr const char* mapUnlocked = "mapUnlocked";
inline constexpr const char* shopUnlocked = "shopUnlocked";
inline constexpr const char* currentDungeonId = "current_dungeon_id";
inline constexpr const char* timestampStart = "timestamp_start";
inline constexpr const char* numComeback = "numComeback";
inline constexpr const char* timestampBoss = "timestamp_boss";
inline constexpr const char* battleLogs = "battleLogs";
inline constexpr const char* timestampPostBonus = "timestamp_post_bonus";
inline constexpr const char* timestampLastReport = "timestampLastReport";
inline constexpr const char* gkLoginSucceeded = "GKLoginSucceeded";
inline constexpr const char* pushSoundOff = "pushSoundOff";
inline constexpr const char* firstTitleDone = "firstTitleDone";
inline constexpr const char* firstMainDone = "firstMainDone";
inline constexpr const char* tutorialShown = "tutorialShown";
inline constexpr const char* firstExplore = "firstExplore";
inline constexpr const char* secondExplore = "secondExplore";
inline constexpr const char* firstCheck = "firstCheck";
inline constexpr const char* exploreTutorial2Shown = "exploreTutorial2Shown";
inline constexpr const char* waitTutorialShown = "waitTutorialShown";
inline constexpr const char* swipeTutorialShown = "swipeTutorialShown";

// "prefix_%d" with the id in decimal: keyWithId("dungeon_", 3) is "dungeon_3".
inline std::string keyWithId(const char* prefix, long long id) { return std::string(prefix) + std::to_string(id); }

// The record stored under the key, or nil when absent, not a dictionary or empty.
inline Value recordForKey(const std::string& key) {
    Value v = SavedStateStore::standardUserDefaults().dictionaryForKey(key);
    return v.isDictionary() && !v.empty() ? v : Value();
}

// The equipment record "equip_%d"; the party owns the equipment while it exists.
inline std::string equipKeyWithId(long long equipId) { return keyWithId("equip_", equipId); }
inline bool ownsEquipWithId(long long equipId) { return !recordForKey(equipKeyWithId(equipId)).isNil(); }
}  // namespace SavedStateKeys
