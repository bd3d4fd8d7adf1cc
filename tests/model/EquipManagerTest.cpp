#include "ModelTestSupport.h"


static Value entry(int64_t id) { return EquipStaticData::getInstance()->equipStaticInfoWithEquipId(id); }

using EquipManagerTest = ModelTest;

TEST_F(EquipManagerTest, ShopListsOnlyItemsOfUnlockedDungeonsAndTheLatestAreNew) {
    EXPECT_EQ(field(EquipManager::equipmentsInStore()), (Ids{1, 2, 4, 5, 6, 7}));
    EXPECT_EQ(field(EquipManager::equipmentsInStoreOfType(0)), (Ids{1, 2, 7}));
    EXPECT_TRUE(EquipManager::isNewEquipWithEquipStaticInfo(entry(1)));
    EXPECT_FALSE(EquipManager::isNewEquipWithEquipStaticInfo(entry(3)));
    MonsterManager::getInstance()->addMonsterWithId(6);  // dungeon 2 opens
    EXPECT_EQ(field(EquipManager::equipmentsInStore()), (Ids{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_FALSE(EquipManager::isNewEquipWithEquipStaticInfo(entry(1)));
    EXPECT_TRUE(EquipManager::isNewEquipWithEquipStaticInfo(entry(3)));
    MonsterManager::getInstance()->addMonsterWithId(12);  // dungeon 3 opens
    EXPECT_EQ(field(EquipManager::equipmentsInStoreOfType(1)), (Ids{4, 5, 6, 8}));
}

TEST_F(EquipManagerTest, HuntCountConditionAndItsUnlockText) {
    EXPECT_TRUE(EquipManager::isEquipUnlockedWithEquipStaticInfo(entry(1)));
    EXPECT_FALSE(EquipManager::descriptionForUnlockWithEquipStaticInfo(entry(1)).has_value());
    for (int i = 0; i < 4; ++i) MonsterManager::getInstance()->addMonsterWithId(1);
    EXPECT_EQ(EquipManager::descriptionForUnlockWithEquipStaticInfo(entry(2)).value_or(""), "Hunt M1 10 times (6 to go)");
    for (int i = 0; i < 5; ++i) MonsterManager::getInstance()->addMonsterWithId(1);
    EXPECT_FALSE(EquipManager::isEquipUnlockedWithEquipStaticInfo(entry(2)));
    MonsterManager::getInstance()->addMonsterWithId(1);
    EXPECT_TRUE(EquipManager::isEquipUnlockedWithEquipStaticInfo(entry(2)));
}

TEST_F(EquipManagerTest, PurchaseStoresTheRecordAndRatesThenPostsEquipUpdated) {
    recordEvents({"equipUpdated"});
    EquipManager::addEquipWithId(1);  // an item: the rates are stored as no bonus at all
    EXPECT_EQ(store().dictionaryForKey(EquipManager::equipInfoUserDefaultsKeyWithId(1)), (Value{{"equip_id", Value(1)}}));
    EXPECT_EQ(store().floatForKey(SavedStateKeys::goldRate), 1.0f);
    EXPECT_EQ(store().floatForKey(SavedStateKeys::timeRate), 1.0f);
    EXPECT_TRUE(store().objectForKey(SavedStateKeys::goldRate).isSinglePrecision());
    EXPECT_TRUE(events.empty());
    RunLoop::main().drain();
    EXPECT_EQ(events, std::vector<std::string>{"equipUpdated"});
    // Purchased items come in reverse table order, each once.
    for (int id : {1, 7, 2, 6}) EquipManager::addEquipWithId(id);
    EXPECT_EQ(field(EquipManager::equipmentsPurchasedWithType(0)), (Ids{7, 2, 1}));
    EXPECT_EQ(field(EquipManager::equipmentsPurchasedWithType(1)), Ids{6});
}

TEST_F(EquipManagerTest, BonusRatesMultiplyOnlyMeaningfulRatesOfBonusItemsInSinglePrecision) {
    for (int id : {5, 6, 7}) EquipManager::addEquipWithId(id);  // gold 2 (speed 0.5 ignored), speed 2 (gold 0.8 ignored), an item
    EXPECT_EQ(store().floatForKey(SavedStateKeys::goldRate), 2.0f);
    EXPECT_EQ(store().floatForKey(SavedStateKeys::timeRate), 0.5f);
    EquipManager::addEquipWithId(4);  // gold 1.5
    EquipManager::addEquipWithId(8);  // gold 1.1, of a dungeon not yet open
    EXPECT_EQ(store().floatForKey(SavedStateKeys::goldRate), ((1.0f * 1.1f) * 2.0f) * 1.5f) << "a float product in reverse table order";
    // Empty or malformed records are not owned.
    store().setObject(Value::dictionary(), "equip_5");
    store().setObject(Value(Value::Array{Value(1)}), "equip_6");
    EXPECT_FALSE(EquipManager::haveEquipmentWithId(5) || EquipManager::haveEquipmentWithId(6));
    EXPECT_TRUE(EquipManager::equipInfoWithId(5).isNil());
    EXPECT_EQ(field(EquipManager::equipmentsPurchasedWithType(1)), (Ids{8, 4}));
    EquipManager::updateBonusRate();
    EXPECT_EQ(store().floatForKey(SavedStateKeys::goldRate), 1.1f * 1.5f);
}
