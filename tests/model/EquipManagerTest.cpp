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

TEST_F(EquipManagerTest, ShopListsOnlyItemsOfUnlockedDungeons) {
    EXPECT_EQ(ids(EquipManager::equipmentsInStore()), (std::vector<int64_t>{1, 2, 4, 5, 6, 7}));
    EXPECT_EQ(ids(EquipManager::equipmentsInStoreOfType(0)), (std::vector<int64_t>{1, 2, 7}));
    EXPECT_EQ(ids(EquipManager::equipmentsInStoreOfType(1)), (std::vector<int64_t>{4, 5, 6}));
    // New items belong to the latest unlocked dungeon.
    EXPECT_TRUE(EquipManager::isNewEquipWithEquipStaticInfo(entry(1)));
    EXPECT_FALSE(EquipManager::isNewEquipWithEquipStaticInfo(entry(3)));

    MonsterManager::getInstance()->addMonsterWithId(6);  // dungeon 2 opens
    EXPECT_EQ(ids(EquipManager::equipmentsInStore()), (std::vector<int64_t>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_FALSE(EquipManager::isNewEquipWithEquipStaticInfo(entry(1)));
    EXPECT_TRUE(EquipManager::isNewEquipWithEquipStaticInfo(entry(3)));
    MonsterManager::getInstance()->addMonsterWithId(12);  // dungeon 3 opens
    EXPECT_EQ(ids(EquipManager::equipmentsInStoreOfType(1)), (std::vector<int64_t>{4, 5, 6, 8}));
}

TEST_F(EquipManagerTest, HuntCountConditionAndItsUnlockText) {
    EXPECT_TRUE(EquipManager::isEquipUnlockedWithEquipStaticInfo(entry(1)));  // no condition
    EXPECT_FALSE(EquipManager::descriptionForUnlockWithEquipStaticInfo(entry(1)).has_value());
    // Item 2 needs 10 hunts of M1.
    auto* monsters = MonsterManager::getInstance();
    for (int i = 0; i < 4; ++i) monsters->addMonsterWithId(1);
    EXPECT_FALSE(EquipManager::isEquipUnlockedWithEquipStaticInfo(entry(2)));
    EXPECT_EQ(EquipManager::descriptionForUnlockWithEquipStaticInfo(entry(2)).value_or(""), "Hunt M1 10 times (6 to go)");
    for (int i = 0; i < 5; ++i) monsters->addMonsterWithId(1);
    EXPECT_FALSE(EquipManager::isEquipUnlockedWithEquipStaticInfo(entry(2)));
    monsters->addMonsterWithId(1);
    EXPECT_TRUE(EquipManager::isEquipUnlockedWithEquipStaticInfo(entry(2)));
}

TEST_F(EquipManagerTest, PurchaseStoresTheRecordAndRatesThenPostsEquipUpdated) {
    EXPECT_TRUE(store().objectForKey(SavedStateKeys::goldRate).isNil());
    recordEvents({"equipUpdated"});
    EquipManager::addEquipWithId(1);  // an item: the rates are stored as no bonus at all
    EXPECT_TRUE(EquipManager::haveEquipmentWithId(1));
    EXPECT_EQ(store().dictionaryForKey(EquipManager::equipInfoUserDefaultsKeyWithId(1)), (Value{{"equip_id", Value(1)}}));
    EXPECT_EQ(store().floatForKey(SavedStateKeys::goldRate), 1.0f);
    EXPECT_EQ(store().floatForKey(SavedStateKeys::timeRate), 1.0f);
    EXPECT_TRUE(store().objectForKey(SavedStateKeys::goldRate).isSinglePrecision());
    EXPECT_TRUE(events.empty());
    RunLoop::main().drain();
    EXPECT_EQ(events, std::vector<std::string>{"equipUpdated"});

    // Bought again, and more: purchased items come in reverse table order, each once.
    for (int id : {1, 7, 2, 6}) EquipManager::addEquipWithId(id);
    EXPECT_EQ(ids(EquipManager::equipmentsPurchasedWithType(0)), (std::vector<int64_t>{7, 2, 1}));
    EXPECT_EQ(ids(EquipManager::equipmentsPurchasedWithType(1)), std::vector<int64_t>{6});
}

TEST_F(EquipManagerTest, BonusRatesMultiplyOnlyMeaningfulRatesOfBonusItemsInSinglePrecision) {
    EquipManager::addEquipWithId(4);  // gold 1.5
    EXPECT_EQ(store().floatForKey(SavedStateKeys::goldRate), 1.5f);
    EquipManager::addEquipWithId(5);  // gold 2.0; its speed 0.5 is ignored
    EquipManager::addEquipWithId(6);  // speed 2.0; its gold 0.8 is ignored
    EquipManager::addEquipWithId(7);  // an item with rates 5.0: never counts
    EXPECT_EQ(store().floatForKey(SavedStateKeys::goldRate), 3.0f);
    EXPECT_EQ(store().floatForKey(SavedStateKeys::timeRate), 0.5f);

    // A product in float, in reverse table order: 1.1, then 2.0, then 1.5.
    EquipManager::addEquipWithId(8);  // gold 1.1, of a dungeon not yet open
    EXPECT_EQ(store().floatForKey(SavedStateKeys::goldRate), ((1.0f * 1.1f) * 2.0f) * 1.5f);
}

TEST_F(EquipManagerTest, EmptyOrMalformedRecordsAreNotOwned) {
    store().setObject(Value::dictionary(), "equip_5");
    store().setObject(Value(Value::Array{Value(1)}), "equip_6");
    EXPECT_FALSE(EquipManager::haveEquipmentWithId(5));
    EXPECT_FALSE(EquipManager::haveEquipmentWithId(6));
    EXPECT_TRUE(EquipManager::equipInfoWithId(5).isNil());
    EXPECT_EQ(EquipManager::equipmentsPurchasedWithType(1).count(), 0u);
    EquipManager::updateBonusRate();
    EXPECT_EQ(store().floatForKey(SavedStateKeys::goldRate), 1.0f);
}
