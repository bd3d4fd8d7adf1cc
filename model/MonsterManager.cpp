#include "model/MonsterManager.h"

#include "explore/NMCommon.h"
#include "model/DungeonStaticData.h"
#include "model/GameEvents.h"
#include "model/MonsterStaticData.h"
#include "model/SavePointHooks.h"
#include "model/SavedStateKeys.h"
#include "platform/services/Analytics.h"

MonsterManager::~MonsterManager() { saveMonsters(); }

Value MonsterManager::generateMonsterInfoWithId(unsigned monsterId, unsigned huntedTimes) {
    return Value{{"monster_id", Value(monsterId)}, {"times", Value(huntedTimes)}, {"viewed", Value(false)}};
}

unsigned MonsterManager::numAllMonsters() {
    // Until the second half is open (its dungeon's opening boss hunted) only the first half counts.
    const unsigned opener = DungeonStaticData::getInstance()->bossIdOpeningDungeonId(DungeonStaticData::kSecondHalfDungeonId);
    if (!getInstance()->huntedMonsterWithId(opener)) return kFirstHalfMonsterCount;
    return static_cast<unsigned>(MonsterStaticData::getInstance()->monsters().size());
}

bool MonsterManager::isStrongerThanMonsterId(unsigned monsterId) {
    const MonsterRow* entry = MonsterStaticData::getInstance()->monsterStaticInfoWithMonsterId(monsterId);
    if (!entry) return true;  // an unknown monster asks for nothing
    for (const unsigned required : entry->reqEquip)
        if (required != 0 && !SavedStateKeys::ownsEquipWithId(required)) return false;
    return true;
}

void MonsterManager::initFile() {
    auto& store = SavedStateStore::standardUserDefaults();
    std::lock_guard lock(mutex_);
    monsters_ = store.arrayForKey(SavedStateKeys::monsters);
    totalMonster_ = static_cast<uint32_t>(store.integerForKey(SavedStateKeys::totalMonster));
}

Value MonsterManager::monsters() const {
    std::lock_guard lock(mutex_);
    return monsters_;
}

uint32_t MonsterManager::totalMonster() const {
    std::lock_guard lock(mutex_);
    return totalMonster_;
}

int MonsterManager::indexOfMonsterLocked(unsigned monsterId) const {
    const Value::Array& records = monsters_.arrayValue();
    for (size_t i = 0; i < records.size(); ++i)
        if (records[i]["monster_id"].unsignedValue() == monsterId) return static_cast<int>(i);
    return -1;
}

Value MonsterManager::monsterInfoWithId(unsigned monsterId) const {
    std::lock_guard lock(mutex_);
    const int index = indexOfMonsterLocked(monsterId);
    return index < 0 ? Value() : monsters_[static_cast<size_t>(index)];
}

bool MonsterManager::huntedMonsterWithId(unsigned monsterId) const { return !monsterInfoWithId(monsterId).isNil(); }

unsigned MonsterManager::numHuntedMonsterWithId(unsigned monsterId) const {
    return static_cast<unsigned>(monsterInfoWithId(monsterId)["times"].unsignedValue());
}

bool MonsterManager::viewedWithId(unsigned monsterId) const { return monsterInfoWithId(monsterId)["viewed"].boolValue(); }

unsigned MonsterManager::numHuntedMonsters() const {
    std::lock_guard lock(mutex_);
    return static_cast<unsigned>(monsters_.count());
}

void MonsterManager::addMonsterWithId(unsigned monsterId) {
    {
        std::lock_guard lock(mutex_);
        ++totalMonster_;
        const int index = indexOfMonsterLocked(monsterId);
        if (index >= 0) {
            const Value& record = monsters_[static_cast<size_t>(index)];
            const unsigned times = static_cast<unsigned>(record["times"].unsignedValue());
            monsters_ = monsters_.replacingAt(static_cast<size_t>(index), record.with("times", Value(times + 1)));
            return;
        }
        monsters_ = monsters_.appending(generateMonsterInfoWithId(monsterId, 1));
    }
    NMCommon::sendNotification(GameEvents::kNewMonster);
    Analytics::shared()->trackPageView("/NEW_MONSTER_" + std::to_string(monsterId));
}

void MonsterManager::updateMonsterInfoViewedWithId(unsigned monsterId) {
    std::lock_guard lock(mutex_);
    const int index = indexOfMonsterLocked(monsterId);
    if (index < 0) return;
    const Value& record = monsters_[static_cast<size_t>(index)];
    monsters_ = monsters_.replacingAt(static_cast<size_t>(index), record.with("viewed", Value(true)));
}

Value::Dictionary MonsterManager::storedValues() const {
    std::lock_guard lock(mutex_);
    return {{SavedStateKeys::monsters, monsters_}, {SavedStateKeys::totalMonster, Value(static_cast<long long>(totalMonster_))}};
}

void MonsterManager::saveMonsters() {
    auto& store = SavedStateStore::standardUserDefaults();
    unsigned hunted;
    {
        // Written and flushed under the lock, so two saves never store an older copy last.
        std::lock_guard lock(mutex_);
        store.setObject(monsters_, SavedStateKeys::monsters);
        store.setInteger(totalMonster_, SavedStateKeys::totalMonster);
        store.synchronize();
        hunted = static_cast<unsigned>(monsters_.count());
    }
    SavePointHooks::runAfterSave();
    std::lock_guard lock(mutex_);  // checked and set as one step: the event goes out once
    if (hunted > 0 && !store.boolForKey(SavedStateKeys::collectionUnlocked)) {
        // Set after the flush: it reaches the disk with the next save.
        store.setBool(true, SavedStateKeys::collectionUnlocked);
        NMCommon::sendNotification(GameEvents::kCollectionUnlocked);
    }
}
