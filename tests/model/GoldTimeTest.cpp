#include <cmath>

#include "ModelTestSupport.h"


using GoldManagerTest = ModelTest;

TEST_F(GoldManagerTest, TheRateRoundsFractionsAboveOneHundredthUpInSinglePrecision) {
    auto managerWithRate = [](float rate) {
        GoldManager::resetInstanceForTesting();
        store().setFloat(rate, SavedStateKeys::goldRate);
        return GoldManager::getInstance();
    };
    EXPECT_EQ(GoldManager::getInstance()->goldRate(), 0.0f);
    const std::tuple<float, int64_t, uint32_t> cases[] = {
        {0.0f, 7, 7}, {1.0f, 7, 7}, {0.5f, 7, 7},  // rates of one or less add the amount unchanged
        {2.0f, 7, 14}, {1.5f, 15, 23}, {1.1f, 3, 4},
        {1.1f, 10, 11},  // a float a hair off 11: the hair is dropped
        // 10 x 1.001f is 10.0100002 in float, just above 0.01 over: 11 (in double it would stay 10).
        {1.001f, 10, 11}, {1.001f, 5, 5}, {1.001f, 1000, 1001}};
    for (auto [rate, amount, expected] : cases) {
        GoldManager* gold = managerWithRate(rate);
        const uint32_t before = gold->currentGold();
        gold->addGold(amount);
        EXPECT_EQ(gold->currentGold() - before, expected) << rate << " x " << amount;
    }
    // Both counters take the same rounded amount; paying lowers only the current gold.
    auto* gold = managerWithRate(1.5f);
    const uint32_t current = gold->currentGold(), total = gold->totalGold();
    gold->addGold(15);
    gold->addGold(15);
    gold->setCurrentGold(gold->currentGold() - 20);
    EXPECT_EQ(std::make_pair(gold->currentGold() - current, gold->totalGold() - total), std::make_pair(26u, 46u));
    // Large totals lose their lowest digits in single precision.
    GoldManager::resetInstanceForTesting();
    store().setInteger(16777216, SavedStateKeys::gold);
    store().setInteger(16777216, SavedStateKeys::totalGold);
    gold = managerWithRate(0.0f);
    gold->addGold(1);
    EXPECT_EQ(gold->totalGold(), 16777216u);
    gold->addGold(3);
    EXPECT_EQ(gold->currentGold(), 16777220u);
    EquipManager::addEquipWithId(5);  // gold 2.0: the rate follows the purchase, on the main loop
    EXPECT_EQ(gold->goldRate(), 0.0f);
    RunLoop::main().drain();
    EXPECT_EQ(gold->goldRate(), 2.0f);
}

TEST_F(GoldManagerTest, GoldReachesTheStoreOnlyAtSaveGoldAndTeardown) {
    int reports = 0;
    int64_t goldAtReport = -1;
    SavePointHooks::setAfterSaveHandler([&] { ++reports, goldAtReport = store().integerForKey(SavedStateKeys::gold); });
    auto* gold = GoldManager::getInstance();
    gold->addGold(40);
    EXPECT_TRUE(store().objectForKey(SavedStateKeys::gold).isNil());
    gold->setCurrentGold(10);
    gold->saveGold();
    EXPECT_EQ(store().integerForKey(SavedStateKeys::totalGold), 40);
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(goldAtReport, 10) << "the report runs after the writes";
    GoldManager::resetInstanceForTesting();
    EXPECT_EQ(reports, 2);
    EXPECT_EQ(std::make_pair(GoldManager::getInstance()->currentGold(), GoldManager::getInstance()->totalGold()), std::make_pair(10u, 40u));
}

TEST_F(GoldManagerTest, ObserversHearEveryChangeInOrderOnTheMainLoopUntilGone) {
    auto* gold = GoldManager::getInstance();
    std::vector<std::pair<int64_t, int64_t>> heard;
    int key = 0;
    gold->addGoldObserver(&key, [&](int64_t oldGold, int64_t newGold) { heard.emplace_back(oldGold, newGold); });
    {
        Object king;
        gold->addGoldObserver(&king, [&](int64_t, int64_t) { heard.emplace_back(-1, -1); });
        gold->addGold(5);  // the king goes away with a change still on its way
    }
    gold->setCurrentGold(2);
    gold->addGold(1);
    EXPECT_TRUE(heard.empty()) << "observers run on a later pass";
    RunLoop::main().drain();
    EXPECT_EQ(heard, (std::vector<std::pair<int64_t, int64_t>>{{0, 5}, {5, 2}, {2, 3}}));
    gold->addGold(1);
    gold->removeGoldObserver(&key);  // unregistered while a change is queued: hears nothing
    RunLoop::main().drain();
    EXPECT_EQ(heard.size(), 3u);
}

using LeftTimeManagerTest = ModelTest;

TEST_F(LeftTimeManagerTest, IntervalPerPersonByDungeonWithTheTimeRateBetweenZeroAndOneAndTheParty) {
    std::vector<double> intervals;
    for (int d = 0; d <= 11; ++d) {
        store().setInteger(d, SavedStateKeys::currentDungeonId);
        intervals.push_back(LeftTimeManager::intervalAtCurrentDungeon());
    }
    EXPECT_EQ(intervals, (std::vector<double>{1, 1, 6, 15, 30, 90, 180, 360, 540, 720, 1080, 1}));
    store().setInteger(4, SavedStateKeys::currentDungeonId);
    // Only rates strictly between zero and one count; the stored float is widened, not rounded.
    for (float rate : {0.5f, 1.0f / 3.0f, 0.0f, 1.0f, 1.5f, -0.5f, std::nanf("")}) {
        store().setFloat(rate, SavedStateKeys::timeRate);
        EXPECT_EQ(LeftTimeManager::totalTimeForExplore(), rate > 0 && rate < 1 ? 600.0 * static_cast<double>(rate) : 600.0) << rate;
    }
    store().removeObjectForKey(SavedStateKeys::timeRate);
    store().setInteger(2, SavedStateKeys::currentDungeonId);
    for (int i = 0; i < 2; ++i) MemberManager::addMember();
    EXPECT_EQ(LeftTimeManager::totalTimeForExplore(), 132.0);
    EquipManager::addEquipWithId(6);  // speed 2.0
    EXPECT_EQ(LeftTimeManager::totalTimeForExplore(), 66.0);
}
