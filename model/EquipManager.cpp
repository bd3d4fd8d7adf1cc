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

bool EquipManager::isEquipUnlockedWithEquipStaticInfo(const EquipRow& equipStaticInfo) {
    if (equipStaticInfo.monster == 0) return true;
    return MonsterManager::getInstance()->numHuntedMonsterWithId(equipStaticInfo.monster) >= equipStaticInfo.num;
}

bool EquipManager::isNewEquipWithEquipStaticInfo(const EquipRow& equipStaticInfo) {
    return equipStaticInfo.reqDungeon == DungeonManager::latestUnlockedDungeonId();
}

std::optional<std::string> EquipManager::descriptionForUnlockWithEquipStaticInfo(const EquipRow& equipStaticInfo) {
    const unsigned monsterId = equipStaticInfo.monster;
    if (monsterId == 0) return std::nullopt;
    const unsigned num = equipStaticInfo.num;
    const unsigned hunted = MonsterManager::getInstance()->numHuntedMonsterWithId(monsterId);
    const std::string name = MonsterStaticData::getInstance()->monsterNameWithMonsterId(monsterId);
    const int missing = static_cast<int>(num - hunted);  // the hunts still missing
    return stringWithFormat(NSLocalizedString("FormatUnlockCondition"), {Value(name), Value(num), Value(missing)});
}

namespace {
std::vector<EquipRow> listed(const std::vector<EquipRow>& rows) {
    std::vector<EquipRow> result;
    for (const EquipRow& row : rows)
        if (DungeonManager::isUnlockedWithDungeonId(row.reqDungeon)) result.push_back(row);
    return result;
}
}  // namespace

std::vector<EquipRow> EquipManager::equipmentsInStore() { return listed(EquipStaticData::getInstance()->equipments()); }

std::vector<EquipRow> EquipManager::equipmentsInStoreOfType(int64_t type) {
    return listed(EquipStaticData::getInstance()->equipmentsOfType(type));
}

std::vector<EquipRow> EquipManager::equipmentsPurchasedWithType(int64_t type) {
    const std::vector<EquipRow> ofType = EquipStaticData::getInstance()->equipmentsOfType(type);
    std::vector<EquipRow> result;
    for (auto it = ofType.rbegin(); it != ofType.rend(); ++it)
        if (haveEquipmentWithId(it->id)) result.push_back(*it);
    return result;
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
    for (const EquipRow& entry : equipmentsPurchasedWithType(kTypeBonus)) {
        const float g = static_cast<float>(entry.goldRate);
        if (g > 1.0f) gold = gold * g;
        const float s = static_cast<float>(entry.speedRate);
        if (s > 1.0f) time = time * (1.0f / s);
    }
    auto& store = SavedStateStore::standardUserDefaults();
    store.setFloat(gold, SavedStateKeys::goldRate);
    store.setFloat(time, SavedStateKeys::timeRate);
}
