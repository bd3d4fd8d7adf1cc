// Gold with the gold rate in single precision, the save point, the gold observers the king and
// the counter use, and the explore time per person and per explore.
#include <cmath>

#include "ModelTestSupport.h"
#include "model/EquipManager.h"
#include "model/MemberManager.h"
#include "model/SavedStateKeys.h"

using namespace modeltest;

class GoldManagerTest : public ModelTest {
protected:
    // A fresh manager that has read this gold rate from the store.
    GoldManager* managerWithRate(float rate) {
        GoldManager::resetInstanceForTesting();
        store().setFloat(rate, SavedStateKeys::goldRate);
        return GoldManager::getInstance();
    }
    uint32_t added(float rate, int64_t amount) {
        GoldManager* gold = managerWithRate(rate);
        const uint32_t before = gold->currentGold();
        gold->addGold(amount);
        return gold->currentGold() - before;
    }
};

TEST_F(GoldManagerTest, FreshInstallHasNoGold) {
    auto* gold = GoldManager::getInstance();
    EXPECT_EQ(gold->currentGold(), 0u);
    EXPECT_EQ(gold->totalGold(), 0u);
    EXPECT_EQ(gold->goldRate(), 0.0f);
}

TEST_F(GoldManagerTest, RatesOfOneOrLessAddTheAmountUnchanged) {
    EXPECT_EQ(added(0.0f, 7), 7u);
    EXPECT_EQ(added(1.0f, 7), 7u);
    EXPECT_EQ(added(0.5f, 7), 7u);
    auto* gold = managerWithRate(1.0f);
    const uint32_t totalBefore = gold->totalGold();
    gold->addGold(7);
    EXPECT_EQ(gold->totalGold() - totalBefore, 7u);
}

TEST_F(GoldManagerTest, FractionsAboveOneHundredthRoundUp) {
    EXPECT_EQ(added(2.0f, 7), 14u);
    EXPECT_EQ(added(1.5f, 15), 23u);   // 22.5
    EXPECT_EQ(added(1.1f, 3), 4u);     // 3.3
    EXPECT_EQ(added(1.1f, 10), 11u);   // a float a hair off 11: the hair is dropped
    // Single precision decides: 10 x 1.001f is 10.0100002 in float, a fraction just above 0.01,
    // so it rounds up to 11 (in double it would be 10.00999... and stay 10).
    EXPECT_EQ(added(1.001f, 10), 11u);
    EXPECT_EQ(added(1.001f, 5), 5u);      // 5.00500011: 0.005 is dropped
    EXPECT_EQ(added(1.001f, 1000), 1001u);
}

TEST_F(GoldManagerTest, BothCountersTakeTheSameRoundedAmount) {
    auto* gold = managerWithRate(1.5f);
    gold->addGold(15);
    gold->addGold(15);
    EXPECT_EQ(gold->currentGold(), 46u);
    EXPECT_EQ(gold->totalGold(), 46u);
}

TEST_F(GoldManagerTest, LargeTotalsLoseTheirLowestDigitsInSinglePrecision) {
    store().setInteger(16777216, SavedStateKeys::gold);
    store().setInteger(16777216, SavedStateKeys::totalGold);
    auto* gold = GoldManager::getInstance();
    gold->addGold(1);
    EXPECT_EQ(gold->currentGold(), 16777216u);
    EXPECT_EQ(gold->totalGold(), 16777216u);
    gold->addGold(3);
    EXPECT_EQ(gold->currentGold(), 16777220u);
}

TEST_F(GoldManagerTest, PayingLowersOnlyTheCurrentGold) {
    auto* gold = GoldManager::getInstance();
    gold->addGold(500);
    gold->setCurrentGold(gold->currentGold() - 120);
    EXPECT_EQ(gold->currentGold(), 380u);
    EXPECT_EQ(gold->totalGold(), 500u);
}

TEST_F(GoldManagerTest, GoldReachesTheStoreOnlyAtSaveGold) {
    int reports = 0;
    int64_t goldAtReport = -1;
    SavePointHooks::setAfterSaveHandler([&] {
        ++reports;
        goldAtReport = store().integerForKey(SavedStateKeys::gold);
    });
    auto* gold = GoldManager::getInstance();
    gold->addGold(40);
    EXPECT_TRUE(store().objectForKey(SavedStateKeys::gold).isNil());
    gold->setCurrentGold(10);
    gold->saveGold();
    EXPECT_EQ(store().integerForKey(SavedStateKeys::gold), 10);
    EXPECT_EQ(store().integerForKey(SavedStateKeys::totalGold), 40);
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(goldAtReport, 10) << "the report runs after the writes";

    GoldManager::resetInstanceForTesting();  // teardown saves as well
    EXPECT_EQ(reports, 2);
    EXPECT_EQ(GoldManager::getInstance()->currentGold(), 10u);
    EXPECT_EQ(GoldManager::getInstance()->totalGold(), 40u);
}

TEST_F(GoldManagerTest, APurchaseReloadsTheGoldRate) {
    auto* gold = GoldManager::getInstance();
    EquipManager::addEquipWithId(5);  // gold 2.0
    EXPECT_EQ(gold->goldRate(), 0.0f) << "the rate follows the event, on the main loop";
    RunLoop::main().drain();
    EXPECT_EQ(gold->goldRate(), 2.0f);
    gold->addGold(7);
    EXPECT_EQ(gold->currentGold(), 14u);
}

TEST_F(GoldManagerTest, ObserversHearEveryChangeInOrderOnTheMainLoop) {
    auto* gold = GoldManager::getInstance();
    std::vector<std::pair<int64_t, int64_t>> heard;
    int key = 0;
    gold->addGoldObserver(&key, [&](int64_t oldGold, int64_t newGold) { heard.emplace_back(oldGold, newGold); });
    gold->addGold(5);
    gold->setCurrentGold(2);
    gold->addGold(1);
    EXPECT_TRUE(heard.empty()) << "observers run on a later pass";
    RunLoop::main().drain();
    EXPECT_EQ(heard, (std::vector<std::pair<int64_t, int64_t>>{{0, 5}, {5, 2}, {2, 3}}));

    gold->removeGoldObserver(&key);
    gold->addGold(1);
    RunLoop::main().drain();
    EXPECT_EQ(heard.size(), 3u);
}

TEST_F(GoldManagerTest, ARemovedOrDestroyedObserverIsNotCalled) {
    auto* gold = GoldManager::getInstance();
    int calls = 0;
    {
        Object king;
        gold->addGoldObserver(&king, [&](int64_t, int64_t) { ++calls; });
        gold->addGold(1);
        // The king goes away with a change still on its way.
    }
    RunLoop::main().drain();
    EXPECT_EQ(calls, 0);

    // An observer that unregisters while a change is queued hears nothing either.
    int key = 0;
    gold->addGoldObserver(&key, [&](int64_t, int64_t) { ++calls; });
    gold->addGold(1);
    gold->removeGoldObserver(&key);
    RunLoop::main().drain();
    EXPECT_EQ(calls, 0);
}

using LeftTimeManagerTest = ModelTest;

TEST_F(LeftTimeManagerTest, IntervalPerPersonByDungeon) {
    const double expected[] = {1, 6, 15, 30, 90, 180, 360, 540, 720, 1080};
    for (int d = 1; d <= 10; ++d) {
        store().setInteger(d, SavedStateKeys::currentDungeonId);
        EXPECT_EQ(LeftTimeManager::intervalAtCurrentDungeon(), expected[d - 1]) << "dungeon " << d;
    }
    store().setInteger(11, SavedStateKeys::currentDungeonId);
    EXPECT_EQ(LeftTimeManager::intervalAtCurrentDungeon(), 1.0);
    store().setInteger(0, SavedStateKeys::currentDungeonId);
    EXPECT_EQ(LeftTimeManager::intervalAtCurrentDungeon(), 1.0);
}

TEST_F(LeftTimeManagerTest, TheTimeRateCountsOnlyBetweenZeroAndOne) {
    store().setInteger(4, SavedStateKeys::currentDungeonId);
    store().setFloat(0.5f, SavedStateKeys::timeRate);
    EXPECT_EQ(LeftTimeManager::intervalAtCurrentDungeon(), 15.0);
    EXPECT_EQ(LeftTimeManager::totalTimeForExplore(), 300.0);

    for (float rate : {0.0f, 1.0f, 1.5f, -0.5f}) {
        store().setFloat(rate, SavedStateKeys::timeRate);
        EXPECT_EQ(LeftTimeManager::totalTimeForExplore(), 600.0) << "rate " << rate;
    }
    store().removeObjectForKey(SavedStateKeys::timeRate);
    EXPECT_EQ(LeftTimeManager::totalTimeForExplore(), 600.0);

    // The stored float is widened, not rounded: a third of a second is not exactly a third.
    store().setFloat(1.0f / 3.0f, SavedStateKeys::timeRate);
    EXPECT_EQ(LeftTimeManager::intervalAtCurrentDungeon(), 30.0 * static_cast<double>(1.0f / 3.0f));
}

TEST_F(LeftTimeManagerTest, ExploreTimeGrowsWithTheParty) {
    store().setInteger(2, SavedStateKeys::currentDungeonId);
    EXPECT_EQ(LeftTimeManager::totalTimeForExplore(), 120.0);
    MemberManager::addMember();
    MemberManager::addMember();
    EXPECT_EQ(LeftTimeManager::totalTimeForExplore(), 132.0);
    EquipManager::addEquipWithId(6);  // speed 2.0
    EXPECT_EQ(LeftTimeManager::totalTimeForExplore(), 66.0);
}

TEST_F(LeftTimeManagerTest, LeftTimeIsHeldByTheInstance) {
    auto* manager = LeftTimeManager::getInstance();
    EXPECT_EQ(manager->leftTime(), 0.0);
    manager->setLeftTime(42.5);
    EXPECT_EQ(LeftTimeManager::getInstance()->leftTime(), 42.5);
}
