#include "ModelTestSupport.h"

static const EquipRow& entry(int64_t id) { return *EquipStaticData::getInstance()->equipStaticInfoWithEquipId(id); }

using EquipManagerTest = ModelTest;

TEST_F(EquipManagerTest, ShopListsItemsOfUnlockedDungeonsTheLatestAreNewAndHuntsUnlockPieces) {
    EXPECT_EQ(ids(EquipManager::equipmentsInStoreOfType(0)), (Ids{1, 2, 7}));
    EXPECT_TRUE(EquipManager::isNewEquipWithEquipStaticInfo(entry(1)));
    MonsterManager::getInstance()->addMonsterWithId(6);  // dungeon 2 opens
    EXPECT_EQ(ids(EquipManager::equipmentsInStore()), (Ids{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_FALSE(EquipManager::isNewEquipWithEquipStaticInfo(entry(1)));
    EXPECT_TRUE(EquipManager::isNewEquipWithEquipStaticInfo(entry(3)));

    for (int i = 0; i < 9; ++i) MonsterManager::getInstance()->addMonsterWithId(1);
    EXPECT_EQ(EquipManager::descriptionForUnlockWithEquipStaticInfo(entry(2)).value_or(""), "Hunt M1 10 times (1 to go)");
    EXPECT_FALSE(EquipManager::isEquipUnlockedWithEquipStaticInfo(entry(2)));
    MonsterManager::getInstance()->addMonsterWithId(1);
    EXPECT_TRUE(EquipManager::isEquipUnlockedWithEquipStaticInfo(entry(2)));
}

TEST_F(EquipManagerTest, PurchasesStoreTheRecordAndMultiplyOnlyRaisingBonusRatesInSinglePrecision) {
    recordEvents({"equipUpdated"});
    EquipManager::addEquipWithId(1);  // an item: the rates are stored as no bonus at all
    EXPECT_EQ(store().dictionaryForKey("equip_1"), (Value{{"equip_id", Value(1)}}));
    EXPECT_TRUE(store().objectForKey(SavedStateKeys::timeRate).isSinglePrecision() && store().floatForKey(SavedStateKeys::timeRate) == 1.0f);

    for (int id : {5, 6, 7}) EquipManager::addEquipWithId(id);  // gold 2 (speed 0.5 ignored), speed 2 (gold 0.8 ignored), an item
    EXPECT_EQ(std::make_pair(store().floatForKey(SavedStateKeys::goldRate), store().floatForKey(SavedStateKeys::timeRate)),
              std::make_pair(2.0f, 0.5f));
    for (int id : {4, 8}) EquipManager::addEquipWithId(id);  // gold 1.5, and 1.1 of a dungeon not yet open
    EXPECT_EQ(store().floatForKey(SavedStateKeys::goldRate), ((1.0f * 1.1f) * 2.0f) * 1.5f) << "a float product in reverse table order";
    EXPECT_EQ(ids(EquipManager::equipmentsPurchasedWithType(0)), (Ids{7, 1}));
    store().setObject(Value::dictionary(), "equip_5");  // empty or malformed records are not owned
    store().setObject(Value(Value::Array{Value(1)}), "equip_6");
    EXPECT_EQ(ids(EquipManager::equipmentsPurchasedWithType(1)), (Ids{8, 4}));
    EquipManager::updateBonusRate();
    EXPECT_EQ(store().floatForKey(SavedStateKeys::goldRate), 1.1f * 1.5f);
    RunLoop::main().drain();
    EXPECT_EQ(events.size(), 6u) << "one per purchase";
}
