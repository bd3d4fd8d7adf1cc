#include "model/PersonManager.h"

#include <algorithm>

#include "model/GoldManager.h"
#include "model/MemberManager.h"
#include "model/MonsterManager.h"
#include "model/SavedStateKeys.h"

namespace {
// Record rewrites read, then write: one at a time.
std::mutex recordMutex;

void removeFirst(std::vector<int64_t>& list, int64_t id) {
    auto it = std::find(list.begin(), list.end(), id);
    if (it != list.end()) list.erase(it);
}

void appendOnce(std::vector<int64_t>& list, int64_t id) {
    if (std::find(list.begin(), list.end(), id) == list.end()) list.push_back(id);
}

Value recordOrNew(int64_t personId) {
    Value record = PersonManager::personInfoWithId(personId);
    return record.isNil() ? Value{{"person_id", Value(static_cast<long long>(personId))}} : record;
}
}  // namespace

void PersonManager::initFile() {
    std::vector<int64_t> out, home;
    const int64_t total = MemberManager::numTotalMembers();
    for (int64_t id = 1; id <= total; ++id) (isPersonExploring(id) ? out : home).push_back(id);
    std::lock_guard lock(mutex_);
    explorings_ = std::move(out);
    waitings_ = std::move(home);
}

std::vector<int64_t> PersonManager::explorings() const {
    std::lock_guard lock(mutex_);
    return explorings_;
}

std::vector<int64_t> PersonManager::waitings() const {
    std::lock_guard lock(mutex_);
    return waitings_;
}

void PersonManager::addExploringsWithPersonId(int64_t personId) {
    updatePersonInfoWithId(personId, true);
    std::lock_guard lock(mutex_);
    removeFirst(waitings_, personId);
    appendOnce(explorings_, personId);
}

void PersonManager::addWaitingsWithPersonId(int64_t personId) {
    updatePersonInfoWithId(personId, false);
    std::lock_guard lock(mutex_);
    removeFirst(explorings_, personId);
    appendOnce(waitings_, personId);
}

void PersonManager::removeFromWaitingsWithPersonId(int64_t personId) {
    std::lock_guard lock(mutex_);
    removeFirst(waitings_, personId);
}

void PersonManager::removeFromExploringsWithPersonId(int64_t personId) {
    std::lock_guard lock(mutex_);
    removeFirst(explorings_, personId);
}

std::string PersonManager::personInfoUserDefaultsKeyWithId(int64_t personId) { return SavedStateKeys::keyWithId("person_", personId); }

Value PersonManager::personInfoWithId(int64_t personId) {
    return SavedStateKeys::recordForKey(personInfoUserDefaultsKeyWithId(personId));
}

void PersonManager::updatePersonInfoWithId(int64_t personId, bool isExploring) {
    std::lock_guard lock(recordMutex);
    Value record = recordOrNew(personId).with("is_exploring", Value(isExploring));
    SavedStateStore::standardUserDefaults().setObject(record, personInfoUserDefaultsKeyWithId(personId));
}

void PersonManager::updatePersonInfoWithId(int64_t personId, int64_t yieldType, unsigned monsterId, unsigned dungeonId) {
    std::lock_guard lock(recordMutex);
    Value record = recordOrNew(personId).with("yieldType", Value(static_cast<long long>(yieldType)));
    if (yieldType == kYieldMonster)
        record = record.with("monsterId", Value(monsterId)).with("dungeonId", Value(dungeonId));
    else
        record = record.without("monsterId").without("dungeonId");
    SavedStateStore::standardUserDefaults().setObject(record, personInfoUserDefaultsKeyWithId(personId));
}

void PersonManager::finishCollectionWithPersonId(int64_t personId) {
    std::lock_guard lock(recordMutex);
    Value::Dictionary values = GoldManager::getInstance()->storedValues();
    values.merge(MonsterManager::getInstance()->storedValues());
    values[personInfoUserDefaultsKeyWithId(personId)] =
        recordOrNew(personId).with("yieldType", Value(static_cast<long long>(kYieldNothing))).without("monsterId").without("dungeonId");
    SavedStateStore::standardUserDefaults().setObjects(values);
}

bool PersonManager::isPersonExploring(int64_t personId) { return personInfoWithId(personId)["is_exploring"].boolValue(); }

int64_t PersonManager::currentYieldTypeWithPersonId(int64_t personId) { return personInfoWithId(personId)["yieldType"].integerValue(); }

unsigned PersonManager::currentMonsterIdWithPersonId(int64_t personId) {
    return static_cast<unsigned>(personInfoWithId(personId)["monsterId"].unsignedValue());
}

unsigned PersonManager::currentDungeonIdWithPersonId(int64_t personId) {
    return static_cast<unsigned>(personInfoWithId(personId)["dungeonId"].unsignedValue());
}
