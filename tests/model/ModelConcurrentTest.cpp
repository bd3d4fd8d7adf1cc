// The collect sequence records on a worker while the main thread reads; also run under ThreadSanitizer.
#include <algorithm>
#include <thread>

#include "ModelTestSupport.h"

using ModelConcurrentTest = ModelTest;

TEST_F(ModelConcurrentTest, WorkerRecordsWhileTheMainThreadReads) {
    recordEvents({"newMonster", "collectionUnlocked"});
    auto* monsters = MonsterManager::getInstance();
    auto* gold = GoldManager::getInstance();
    int64_t heardGold = 0;
    gold->addGoldObserver(&heardGold, [&](int64_t, int64_t newGold) { heardGold = newGold; });
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
        for (unsigned lastTotal = 0; !worker.isIdle(); lastTotal = monsters->totalMonster()) {  // the stage and menu read meanwhile
            EXPECT_GE(monsters->totalMonster(), lastTotal);
            (void)monsters->huntedMonsterWithId(6), (void)gold->currentGold(), (void)EquipManager::equipmentsInStore();
            RunLoop::main().runPass();
        }
        worker.waitUntilIdle();
    }
    RunLoop::main().drain();
    unsigned sum = 0;  // no lost update in the records
    for (unsigned id = 1; id <= 12; ++id) sum += monsters->numHuntedMonsterWithId(id);
    EXPECT_EQ(std::make_pair(sum, heardGold), std::make_pair(300u, int64_t(3000))) << "the last change heard is the last made";
    EXPECT_EQ(DungeonManager::currentExploreCntWithDungeonId(1), static_cast<unsigned>(kRecordings));
    EXPECT_EQ(std::count(events.begin(), events.end(), "newMonster"), 12);
    EXPECT_EQ(events.size(), 13u) << "and the collection unlocked once";
    EXPECT_EQ(store().integerForKey(SavedStateKeys::totalMonster) + store().integerForKey(SavedStateKeys::gold), 3300);
}

TEST_F(ModelConcurrentTest, SingletonsAreCreatedOnceUnderRacingFirstUse) {
    std::vector<std::thread> threads;
    std::vector<const void*> seen(8);  // every thread asks first
    for (size_t t = 0; t < seen.size(); ++t)
        threads.emplace_back([t, &seen] {
            seen[t] = MonsterManager::getInstance();
            EXPECT_EQ(MonsterStaticData::getInstance()->monsters().size(), 40u);
            (void)GoldManager::getInstance()->currentGold(), (void)PersonManager::getInstance()->waitings();
        });
    for (auto& th : threads) th.join();
    for (const void* p : seen) EXPECT_EQ(p, seen[0]);
}
