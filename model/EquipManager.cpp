#include "model/EquipManager.h"

#include "explore/NMCommon.h"
#include "model/DungeonManager.h"
#include "model/EquipStaticData.h"
#include "model/GameEvents.h"
#include "model/MonsterManager.h"
#include "model/MonsterStaticData.h"
#include "model/SavedStateKeys.h"
#include "platform/resources/Format.h"
#include "platform/resources/LocalizedStrings.h"

std::string EquipManager::equipInfoUserDefaultsKeyWithId(int64_t equipId) { return SavedStateKeys::equipKeyWithId(equipId); }

Value EquipManager::equipInfoWithId(int64_t equipId) {
    return SavedStateKeys::recordForKey(equipInfoUserDefaultsKeyWithId(equipId));
}

bool EquipManager::haveEquipmentWithId(unsigned equipId) { return SavedStateKeys::ownsEquipWithId(equipId); }

bool EquipManager::isEquipUnlockedWithEquipStaticInfo(const Value& equipStaticInfo) {
    const unsigned monsterId = static_cast<unsigned>(equipStaticInfo["monster"].unsignedValue());
    if (monsterId == 0) return true;
    const uint64_t needed = equipStaticInfo["num"].unsignedValue();
    return MonsterManager::getInstance()->numHuntedMonsterWithId(monsterId) >= needed;
}

bool EquipManager::isNewEquipWithEquipStaticInfo(const Value& equipStaticInfo) {
    return equipStaticInfo["req_dungeon"].unsignedValue() == DungeonManager::latestUnlockedDungeonId();
}

std::optional<std::string> EquipManager::descriptionForUnlockWithEquipStaticInfo(const Value& equipStaticInfo) {
    const unsigned monsterId = static_cast<unsigned>(equipStaticInfo["monster"].unsignedValue());
    if (monsterId == 0) return std::nullopt;
    const unsigned num = static_cast<unsigned>(equipStaticInfo["num"].unsignedValue());
    const unsigned hunted = MonsterManager::getInstance()->numHuntedMonsterWithId(monsterId);
    const std::string name = MonsterStaticData::getInstance()->monsterNameWithMonsterId(monsterId);
    const int missing = static_cast<int>(num - hunted);  // the hunts still missing
    return stringWithFormat(NSLocalizedString("FormatUnlockCondition"), {Value(name), Value(num), Value(missing)});
}

namespace {
Value listed(const Value& entries) {
    Value::Array result;
    for (const Value& entry : entries.arrayValue())
        if (DungeonManager::isUnlockedWithDungeonId(static_cast<unsigned>(entry["req_dungeon"].unsignedValue())))
            result.push_back(entry);
    return Value(std::move(result));
}
}  // namespace

Value EquipManager::equipmentsInStore() { return listed(EquipStaticData::getInstance()->equipments()); }

Value EquipManager::equipmentsInStoreOfType(int64_t type) { return listed(EquipStaticData::getInstance()->equipmentsOfType(type)); }

Value EquipManager::equipmentsPurchasedWithType(int64_t type) {
    const Value ofType = EquipStaticData::getInstance()->equipmentsOfType(type);
    Value::Array result;
    const Value::Array& entries = ofType.arrayValue();
    for (auto it = entries.rbegin(); it != entries.rend(); ++it)
        if (haveEquipmentWithId(static_cast<unsigned>((*it)["id"].integerValue()))) result.push_back(*it);
    return Value(std::move(result));
}

void EquipManager::addEquipWithId(int64_t equipId) {
    auto& store = SavedStateStore::standardUserDefaults();
    store.setObject(Value{{"equip_id", Value(static_cast<long long>(equipId))}}, equipInfoUserDefaultsKeyWithId(equipId));
    updateBonusRate();
    store.synchronize();
    NMCommon::sendNotification(GameEvents::kEquipUpdated);
}

void EquipManager::updateBonusRate() {
    float gold = 1.0f;
    float time = 1.0f;
    const Value owned = equipmentsPurchasedWithType(kTypeBonus);  // kept alive for the loop
    for (const Value& entry : owned.arrayValue()) {
        const float g = entry["gold_rate"].floatValue();
        if (g > 1.0f) gold = gold * g;
        const float s = entry["speed_rate"].floatValue();
        if (s > 1.0f) time = time * (1.0f / s);
    }
    auto& store = SavedStateStore::standardUserDefaults();
    store.setFloat(gold, SavedStateKeys::goldRate);
    store.setFloat(time, SavedStateKeys::timeRate);
}
