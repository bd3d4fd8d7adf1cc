#include <cmath>

#include "ModelTestSupport.h"

using GoldManagerTest = ModelTest;

TEST_F(GoldManagerTest, TheRateRoundsFractionsAboveOneHundredthUpInSinglePrecision) {
    const std::tuple<float, int64_t, uint32_t> cases[] = {
        {1.5f, 15, 23}, {1.1f, 10, 11},    // 1.1f x 10 is a hair off 11: the hair is dropped
        {1.001f, 10, 11}, {1.001f, 5, 5},  // 10 x 1.001f is 10.0100002 in float: above a hundredth
        {1.0f, 7, 7}, {0.5f, 7, 7}};       // rates of one or less add the amount unchanged
    for (auto [rate, amount, expected] : cases) {
        GoldManager::resetInstanceForTesting();
        store().setFloat(rate, SavedStateKeys::goldRate);
        GoldManager* gold = GoldManager::getInstance();
        const uint32_t current = gold->currentGold(), total = gold->totalGold();
        gold->addGold(amount);
        EXPECT_EQ(std::make_pair(gold->currentGold() - current, gold->totalGold() - total), std::make_pair(expected, expected)) << rate;
    }
    GoldManager::resetInstanceForTesting();
    store().setInteger(16777216, SavedStateKeys::totalGold);  // at rate 0.5, large totals lose their lowest digits
    auto* gold = GoldManager::getInstance();
    gold->addGold(1);
    EXPECT_EQ(gold->totalGold(), 16777216u);
    EquipManager::addEquipWithId(5);  // gold 2.0: the rate follows the purchase, on the main loop
    EXPECT_NE(gold->goldRate(), 2.0f);
    RunLoop::main().drain();
    EXPECT_EQ(gold->goldRate(), 2.0f);
}

TEST_F(GoldManagerTest, GoldReachesTheStoreOnlyAtSaveGoldAndTeardownBeforeTheReport) {
    std::vector<int64_t> goldAtReports;
    SavePointHooks::setAfterSaveHandler([&] { goldAtReports.push_back(store().integerForKey(SavedStateKeys::gold)); });
    auto* gold = GoldManager::getInstance();
    gold->addGold(40);
    EXPECT_TRUE(store().objectForKey(SavedStateKeys::gold).isNil());
    gold->setCurrentGold(10);
    gold->saveGold();
    gold->addGold(5);
    GoldManager::resetInstanceForTesting();
    EXPECT_EQ(goldAtReports, (std::vector<int64_t>{10, 15})) << "the report runs after the writes";
    EXPECT_EQ(GoldManager::getInstance()->totalGold(), 45u);
}

TEST_F(GoldManagerTest, ObserversHearEveryChangeInOrderOnTheMainLoopUntilGone) {
    auto* gold = GoldManager::getInstance();
    std::vector<std::pair<int64_t, int64_t>> heard;
    gold->addGoldObserver(&heard, [&](int64_t oldGold, int64_t newGold) { heard.emplace_back(oldGold, newGold); });
    {
        Object king;
        gold->addGoldObserver(&king, [&](int64_t, int64_t) { heard.emplace_back(-1, -1); });
        gold->addGold(5);  // the king goes away with a change still on its way
    }
    gold->setCurrentGold(2);
    EXPECT_TRUE(heard.empty()) << "observers run on a later pass";
    RunLoop::main().drain();
    EXPECT_EQ(heard, (std::vector<std::pair<int64_t, int64_t>>{{0, 5}, {5, 2}}));
    gold->addGold(1);
    gold->removeGoldObserver(&heard);  // unregistered while a change is queued: hears nothing
    RunLoop::main().drain();
    EXPECT_EQ(heard.size(), 2u);
}

using LeftTimeManagerTest = ModelTest;

TEST_F(LeftTimeManagerTest, IntervalPerPersonByDungeonWithTheTimeRateStrictlyBetweenZeroAndOne) {
    for (auto [d, interval] : {std::pair{0, 1.0}, {2, 6.0}, {10, 1080.0}, {11, 1.0}}) {
        store().setInteger(d, SavedStateKeys::currentDungeonId);
        EXPECT_EQ(LeftTimeManager::intervalAtCurrentDungeon(), interval) << d;
    }
    store().setInteger(4, SavedStateKeys::currentDungeonId);
    for (float rate : {1.0f / 3.0f, 0.0f, 1.0f, -0.5f, std::nanf("")}) {  // the stored float is widened, not rounded
        store().setFloat(rate, SavedStateKeys::timeRate);
        EXPECT_EQ(LeftTimeManager::totalTimeForExplore(), rate > 0 && rate < 1 ? 600.0 * static_cast<double>(rate) : 600.0) << rate;
    }
}
