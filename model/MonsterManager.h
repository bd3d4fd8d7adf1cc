#pragma once
// The player's hunting record: one record per monster hunted at least once ({monster_id, times,
// viewed}), in the order first hunted, and the lifetime hunt count. Loaded once, kept in memory,
// written at saveMonsters. Safe from any thread: the collect sequence records hunts on a
// background worker while the main thread reads.
#include <cstdint>
#include <mutex>

#include "platform/core/Singleton.h"
#include "platform/foundation/Value.h"

class MonsterManager : public Singleton<MonsterManager> {
public:
    ~MonsterManager();

    // {monster_id: id, times: times, viewed: NO}.
    static Value generateMonsterInfoWithId(unsigned monsterId, unsigned huntedTimes);
    // 36 until dungeon 7 is unlocked, then every entry of the monster table.
    static unsigned numAllMonsters();
    // Whether every required equipment (req_equip1..3, 0 = none) of the monster is owned.
    static bool isStrongerThanMonsterId(unsigned monsterId);

    void initFile();

    // The records (an array, nil before the first hunt) and the lifetime count.
    Value monsters() const;
    uint32_t totalMonster() const;

    Value monsterInfoWithId(unsigned monsterId) const;
    bool huntedMonsterWithId(unsigned monsterId) const;
    unsigned numHuntedMonsterWithId(unsigned monsterId) const;
    bool viewedWithId(unsigned monsterId) const;
    unsigned numHuntedMonsters() const;

    // Counts one hunt; a first hunt appends a record and posts "newMonster". Not stored here.
    void addMonsterWithId(unsigned monsterId);
    // Marks a hunted monster's page as seen (stored at the next save).
    void updateMonsterInfoViewedWithId(unsigned monsterId);
    // Stores the records and the count, flushes, then unlocks the collection once.
    void saveMonsters();
    // monsters and totalMonster as saveMonsters stores them.
    Value::Dictionary storedValues() const;

    static constexpr unsigned kFirstHalfMonsterCount = 36;

private:
    friend class Singleton<MonsterManager>;
    MonsterManager() = default;
    int indexOfMonsterLocked(unsigned monsterId) const;

    mutable std::mutex mutex_;
    Value monsters_;
    uint32_t totalMonster_ = 0;
};
