#pragma once
// Who is out exploring and what each person carries, so the stage can be rebuilt exactly after a
// restart. The records "person_%d" are read and written through the class operations; the
// instance keeps the two lists of person ids (out, at home) in memory, rebuilt at creation.
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/core/Singleton.h"
#include "platform/foundation/Value.h"

class PersonManager : public Singleton<PersonManager> {
public:
    // Fills the lists from the stored records of persons 1 .. numTotalMembers.
    void initFile();

    // Person ids out exploring, in the order they left; at home, in the order they came back.
    std::vector<int64_t> explorings() const;
    std::vector<int64_t> waitings() const;

    // Stores is_exploring YES and moves the id from waitings to the end of explorings (once).
    void addExploringsWithPersonId(int64_t personId);
    // Stores is_exploring NO and moves the id from explorings to the end of waitings (once).
    void addWaitingsWithPersonId(int64_t personId);
    void removeFromWaitingsWithPersonId(int64_t personId);
    void removeFromExploringsWithPersonId(int64_t personId);

    // ---- The stored records
    // "person_%d".
    static std::string personInfoUserDefaultsKeyWithId(int64_t personId);
    // The record, or nil when absent, not a dictionary or empty.
    static Value personInfoWithId(int64_t personId);
    // Copies the record (or starts {person_id}), sets is_exploring, stores it (no flush).
    static void updatePersonInfoWithId(int64_t personId, bool isExploring);
    // Copies the record (or starts {person_id}), sets yieldType; monsterId and dungeonId are
    // kept only for yield 3 and removed otherwise; stores it (no flush).
    static void updatePersonInfoWithId(int64_t personId, int64_t yieldType, unsigned monsterId, unsigned dungeonId);
    // A collection is over: the person's yield is cleared in the same write that stores the gold
    // and the hunts it became, so no flush ever keeps the one without the other.
    static void finishCollectionWithPersonId(int64_t personId);
    static bool isPersonExploring(int64_t personId);
    static int64_t currentYieldTypeWithPersonId(int64_t personId);
    static unsigned currentMonsterIdWithPersonId(int64_t personId);
    static unsigned currentDungeonIdWithPersonId(int64_t personId);

    static constexpr int64_t kYieldNothing = 0;
    static constexpr int64_t kYieldPicture = 1;
    static constexpr int64_t kYieldCoffin = 2;
    static constexpr int64_t kYieldMonster = 3;

private:
    friend class Singleton<PersonManager>;
    PersonManager() = default;
    mutable std::mutex mutex_;
    std::vector<int64_t> explorings_;
    std::vector<int64_t> waitings_;
};
