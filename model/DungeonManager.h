#pragma once
// The player's progress through the dungeons. Nothing is kept in memory: every question reads the
// store and the tables afresh. Dungeon d (d >= 2) is unlocked exactly when the boss of dungeon
// d - 1 has been hunted at least once.
#include <string>
#include <vector>

#include "model/DungeonStaticData.h"
#include "platform/foundation/Value.h"

class DungeonManager {
public:
    DungeonManager() = delete;

    // "dungeon_%d".
    static std::string dungeonInfoUserDefaultsKeyWithId(unsigned dungeonId);
    // The stored current dungeon, 1 when absent or below 1.
    static unsigned currentDungeonId();
    static bool isUnlockedWithDungeonId(unsigned dungeonId);
    // The whole dungeon table once dungeon 7 is unlocked, else its first six entries.
    static std::vector<DungeonRow> visibleDungeons();
    // Visible dungeons from id 2 on that are unlocked (dungeon 1 is not counted).
    static unsigned numUnlockedDungeons();
    static unsigned latestUnlockedDungeonId();
    // "explore_cnt" of the dungeon record, 0 when absent.
    static unsigned currentExploreCntWithDungeonId(unsigned dungeonId);
    // Rewrites the whole record with the count raised by one (no flush).
    static void addExploreCntWithDungeonId(unsigned dungeonId);
    // The music file of the current dungeon.
    static std::string currentDungeonBGM();

    static constexpr unsigned kSecondHalfDungeonId = DungeonStaticData::kSecondHalfDungeonId;
    static constexpr unsigned kFirstHalfDungeonCount = 6;
};
