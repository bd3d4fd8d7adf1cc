// The collect sequence records on a background worker while the main thread reads the same
// managers and runs its loop; also run under ThreadSanitizer (make tsan).
#include <atomic>
#include <thread>

#include "ModelTestSupport.h"

using ModelConcurrentTest = ModelTest;

TEST_F(ModelConcurrentTest, WorkerRecordsWhileTheMainThreadReads) {
    recordEvents({"newMonster", "collectionUnlocked"});
    auto* monsters = MonsterManager::getInstance();
    auto* gold = GoldManager::getInstance();
    std::atomic<int64_t> heardGold{0};
    Object counter;
    gold->addGoldObserver(&counter, [&](int64_t, int64_t newGold) { heardGold = newGold; });
    constexpr int kRecordings = 300;
    {
        BackgroundWorker worker;
        for (int i = 0; i < kRecordings; ++i)
            worker.dispatch([i, monsters, gold] {
                monsters->addMonsterWithId(static_cast<unsigned>(1 + i % 12));
                gold->addGold(10);
                DungeonManager::addExploreCntWithDungeonId(1);
                if (i % 50 == 49) monsters->saveMonsters(), gold->saveGold();
            });
        unsigned lastTotal = 0;
        while (!worker.isIdle()) {  // what the stage, the menu and the counter read meanwhile
            EXPECT_GE(monsters->totalMonster(), lastTotal);
            lastTotal = monsters->totalMonster();
            (void)monsters->numHuntedMonsters(), (void)monsters->huntedMonsterWithId(6), (void)gold->currentGold();
            (void)DungeonManager::isUnlockedWithDungeonId(2), (void)EquipManager::equipmentsInStore(), (void)MonsterManager::numAllMonsters();
            RunLoop::main().runPass();
        }
        worker.waitUntilIdle();
    }
    RunLoop::main().drain();
    EXPECT_EQ(monsters->totalMonster(), static_cast<uint32_t>(kRecordings));
    unsigned sum = 0;
    for (unsigned id = 1; id <= 12; ++id) sum += monsters->numHuntedMonsterWithId(id);
    EXPECT_EQ(sum, static_cast<unsigned>(kRecordings));
    EXPECT_EQ(monsters->numHuntedMonsters(), 12u);
    EXPECT_EQ(heardGold.load(), 10 * kRecordings) << "the last change heard is the last made";
    EXPECT_EQ(DungeonManager::currentExploreCntWithDungeonId(1), static_cast<unsigned>(kRecordings));
    EXPECT_EQ(std::count(events.begin(), events.end(), "newMonster"), 12);
    EXPECT_EQ(std::count(events.begin(), events.end(), "collectionUnlocked"), 1);
    EXPECT_EQ(store().integerForKey(SavedStateKeys::totalMonster), kRecordings);
    EXPECT_EQ(store().integerForKey(SavedStateKeys::gold), 10 * kRecordings);
}

TEST_F(ModelConcurrentTest, SingletonsAreCreatedOnceUnderRacingFirstUse) {
    std::vector<std::thread> threads;
    std::vector<const void*> seen(8);
    for (size_t t = 0; t < seen.size(); ++t)
        threads.emplace_back([t, &seen] {
            seen[t] = MonsterManager::getInstance();
            EXPECT_EQ(MonsterStaticData::getInstance()->monsters().count(), 40u);
            EXPECT_EQ(DungeonStaticData::getInstance()->dungeons().count(), 8u);
            (void)GoldManager::getInstance()->currentGold(), (void)PersonManager::getInstance()->waitings();
        });
    for (auto& th : threads) th.join();
    for (const void* p : seen) EXPECT_EQ(p, seen[0]);
}
