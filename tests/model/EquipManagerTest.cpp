// Equipment: what the shop lists, which items are purchasable and new, the unlock text, the
// purchase with its event, and the bonus rates in single precision.
#include "ModelTestSupport.h"
#include "model/EquipManager.h"
#include "model/SavedStateKeys.h"

using namespace modeltest;

namespace {
std::vector<int64_t> ids(const Value& list) {
    std::vector<int64_t> out;
    for (const Value& e : list.arrayValue()) out.push_back(e["id"].integerValue());
    return out;
}
Value entry(int64_t id) { return EquipStaticData::getInstance()->equipStaticInfoWithEquipId(id); }
}  // namespace

using EquipManagerTest = ModelTest;

TEST_F(EquipManagerTest, FreshInstallOwnsNothingAndStoresNoRates) {
    EXPECT_EQ(EquipManager::equipInfoUserDefaultsKeyWithId(7), "equip_7");
    EXPECT_FALSE(EquipManager::haveEquipmentWithId(1));
    EXPECT_EQ(EquipManager::equipmentsPurchasedWithType(0).count(), 0u);
    EXPECT_EQ(EquipManager::equipmentsPurchasedWithType(1).count(), 0u);
    EXPECT_TRUE(store().objectForKey(SavedStateKeys::goldRate).isNil());
    EXPECT_TRUE(store().objectForKey(SavedStateKeys::timeRate).isNil());
    EXPECT_EQ(store().floatForKey(SavedStateKeys::goldRate), 0.0f);
}

TEST_F(EquipManagerTest, ShopListsOnlyItemsOfUnlockedDungeons) {
    EXPECT_EQ(ids(EquipManager::equipmentsInStore()), (std::vector<int64_t>{1, 2, 4, 5, 6, 7}));
    EXPECT_EQ(ids(EquipManager::equipmentsInStoreOfType(0)), (std::vector<int64_t>{1, 2, 7}));
    EXPECT_EQ(ids(EquipManager::equipmentsInStoreOfType(1)), (std::vector<int64_t>{4, 5, 6}));

    MonsterManager::getInstance()->addMonsterWithId(6);  // dungeon 2 opens
    EXPECT_EQ(ids(EquipManager::equipmentsInStore()), (std::vector<int64_t>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(ids(EquipManager::equipmentsInStoreOfType(1)), (std::vector<int64_t>{4, 5, 6}));
    MonsterManager::getInstance()->addMonsterWithId(12);  // dungeon 3 opens
    EXPECT_EQ(ids(EquipManager::equipmentsInStoreOfType(1)), (std::vector<int64_t>{4, 5, 6, 8}));
}

TEST_F(EquipManagerTest, ItemsWithoutAMonsterConditionArePurchasable) {
    EXPECT_TRUE(EquipManager::isEquipUnlockedWithEquipStaticInfo(entry(1)));
    EXPECT_FALSE(EquipManager::descriptionForUnlockWithEquipStaticInfo(entry(1)).has_value());
}

TEST_F(EquipManagerTest, HuntCountConditionAndItsUnlockText) {
    // Item 2 needs 10 hunts of M1.
    auto* monsters = MonsterManager::getInstance();
    for (int i = 0; i < 4; ++i) monsters->addMonsterWithId(1);
    EXPECT_FALSE(EquipManager::isEquipUnlockedWithEquipStaticInfo(entry(2)));
    auto text = EquipManager::descriptionForUnlockWithEquipStaticInfo(entry(2));
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(*text, "Hunt M1 10 times (6 to go)");

    for (int i = 0; i < 5; ++i) monsters->addMonsterWithId(1);
    EXPECT_FALSE(EquipManager::isEquipUnlockedWithEquipStaticInfo(entry(2)));
    monsters->addMonsterWithId(1);
    EXPECT_TRUE(EquipManager::isEquipUnlockedWithEquipStaticInfo(entry(2)));
}

TEST_F(EquipManagerTest, NewItemsBelongToTheLatestUnlockedDungeon) {
    EXPECT_TRUE(EquipManager::isNewEquipWithEquipStaticInfo(entry(1)));
    EXPECT_FALSE(EquipManager::isNewEquipWithEquipStaticInfo(entry(3)));
    MonsterManager::getInstance()->addMonsterWithId(6);
    EXPECT_FALSE(EquipManager::isNewEquipWithEquipStaticInfo(entry(1)));
    EXPECT_TRUE(EquipManager::isNewEquipWithEquipStaticInfo(entry(3)));
}

TEST_F(EquipManagerTest, PurchaseStoresTheRecordAndRatesThenPostsEquipUpdated) {
    recordEvents({"equipUpdated"});
    EquipManager::addEquipWithId(1);  // an item: the rates are stored as no bonus at all
    EXPECT_TRUE(EquipManager::haveEquipmentWithId(1));
    EXPECT_EQ(store().dictionaryForKey("equip_1"), (Value{{"equip_id", Value(1)}}));
    EXPECT_EQ(store().floatForKey(SavedStateKeys::goldRate), 1.0f);
    EXPECT_EQ(store().floatForKey(SavedStateKeys::timeRate), 1.0f);
    EXPECT_TRUE(store().objectForKey(SavedStateKeys::goldRate).isSinglePrecision());
    EXPECT_TRUE(events.empty());
    RunLoop::main().drain();
    EXPECT_EQ(events, std::vector<std::string>{"equipUpdated"});

    // Buying it again rewrites the same record and changes nothing else.
    EquipManager::addEquipWithId(1);
    EXPECT_EQ(ids(EquipManager::equipmentsPurchasedWithType(0)), std::vector<int64_t>{1});
}

TEST_F(EquipManagerTest, BonusRatesMultiplyOnlyMeaningfulRatesOfBonusItems) {
    EquipManager::addEquipWithId(4);  // gold 1.5
    EXPECT_EQ(store().floatForKey(SavedStateKeys::goldRate), 1.5f);
    EquipManager::addEquipWithId(5);  // gold 2.0; its speed 0.5 is ignored
    EquipManager::addEquipWithId(6);  // speed 2.0; its gold 0.8 is ignored
    EquipManager::addEquipWithId(7);  // an item with rates 5.0: never counts
    EXPECT_EQ(store().floatForKey(SavedStateKeys::goldRate), 3.0f);
    EXPECT_EQ(store().floatForKey(SavedStateKeys::timeRate), 0.5f);
}

TEST_F(EquipManagerTest, RatesAreSinglePrecisionProducts) {
    MonsterManager::getInstance()->addMonsterWithId(12);  // dungeon 3 opens; not needed to own it
    EquipManager::addEquipWithId(8);                      // gold 1.1
    EquipManager::addEquipWithId(4);                      // gold 1.5
    // Reverse table order: 1.1 first, then 1.5, in float.
    const float expected = (1.0f * 1.1f) * 1.5f;
    EXPECT_EQ(store().floatForKey(SavedStateKeys::goldRate), expected);
}

TEST_F(EquipManagerTest, PurchasedItemsComeInReverseTableOrder) {
    EquipManager::addEquipWithId(1);
    EquipManager::addEquipWithId(7);
    EquipManager::addEquipWithId(2);
    EquipManager::addEquipWithId(6);
    EXPECT_EQ(ids(EquipManager::equipmentsPurchasedWithType(0)), (std::vector<int64_t>{7, 2, 1}));
    EXPECT_EQ(ids(EquipManager::equipmentsPurchasedWithType(1)), std::vector<int64_t>{6});
}

TEST_F(EquipManagerTest, EmptyOrMalformedRecordsAreNotOwned) {
    store().setObject(Value::dictionary(), "equip_5");
    store().setObject(Value(Value::Array{Value(1)}), "equip_6");
    EXPECT_FALSE(EquipManager::haveEquipmentWithId(5));
    EXPECT_FALSE(EquipManager::haveEquipmentWithId(6));
    EXPECT_TRUE(EquipManager::equipInfoWithId(5).isNil());
    EquipManager::updateBonusRate();
    EXPECT_EQ(store().floatForKey(SavedStateKeys::goldRate), 1.0f);
}
