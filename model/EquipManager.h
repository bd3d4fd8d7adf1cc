#pragma once
// What the player has bought. An item is owned when its record "equip_%d" exists; records are
// never removed. Every question reads the store afresh. After each purchase the two bonus rates
// ("goldRate", "timeRate") are recomputed and stored.
#include <cstdint>
#include <optional>
#include <string>

#include <vector>

#include "model/StaticRows.h"
#include "platform/foundation/Value.h"

class EquipManager {
public:
    EquipManager() = delete;

    // "equip_%d".
    static std::string equipInfoUserDefaultsKeyWithId(int64_t equipId);
    // The record, or nil when absent, not a dictionary or empty.
    static Value equipInfoWithId(int64_t equipId);
    static bool haveEquipmentWithId(unsigned equipId);

    // Purchasable: no monster condition, or that monster hunted at least num times.
    static bool isEquipUnlockedWithEquipStaticInfo(const EquipRow& equipStaticInfo);
    // New: its reqDungeon is the latest unlocked dungeon.
    static bool isNewEquipWithEquipStaticInfo(const EquipRow& equipStaticInfo);
    // "FormatUnlockCondition" filled with the monster's name, num and the hunts still missing;
    // nothing for an item without a monster condition.
    static std::optional<std::string> descriptionForUnlockWithEquipStaticInfo(const EquipRow& equipStaticInfo);

    // Items whose dungeon (reqDungeon) is unlocked, in table order (all types, or one type).
    static std::vector<EquipRow> equipmentsInStore();
    static std::vector<EquipRow> equipmentsInStoreOfType(int64_t type);
    // Owned items of the type, last table entry first.
    static std::vector<EquipRow> equipmentsPurchasedWithType(int64_t type);

    // Records the purchase, recomputes the rates, flushes, posts "equipUpdated".
    static void addEquipWithId(int64_t equipId);
    // goldRate = product of gold_rate > 1 of owned bonus items; timeRate = product of
    // 1 / speed_rate for speed_rate > 1. Single precision, stored with setFloat.
    static void updateBonusRate();

    static constexpr int64_t kTypeItem = 0;
    static constexpr int64_t kTypeBonus = 1;
};
