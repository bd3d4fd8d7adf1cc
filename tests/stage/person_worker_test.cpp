// The recording worker under real concurrency: the main thread keeps reading persons, records
// and the store while the worker records a swipe over the whole party. Run under ThreadSanitizer
// by `make tsan` (the names hold "Worker" and "Concurrent") and under LeakSanitizer.
#include <chrono>
#include <thread>

#include "model/GoldManager.h"
#include "model/MonsterManager.h"
#include "stage_test_support.h"

namespace stagetests {
namespace {

class PersonWorkerTest : public PersonTest {};

TEST_F(PersonWorkerTest, ConcurrentRecordingsWhileTheMainThreadReads) {
    recordEvents({"newMonster", "shopUnlocked", "newMap", "mapUnlocked"});
    auto stage = View::make<View>(Rect(0, 0, 320, 480));
    RecordingDelegate owner;
    std::vector<std::shared_ptr<PersonView>> persons;
    unsigned monsters = 0;
    for (int id = 1; id <= 30; ++id) {
        auto p = makePerson(id, Point(10.0 * id, 100));
        stage->addSubview(p);
        p->setDelegate(&owner);
        if (id % 3 == 0) {
            p->showKanokePre();
            p->showKanokeWithEffect(false);
        } else {
            // Monsters 1..6 of dungeon 1, the boss (6) among them.
            p->showMonsterWithId(monsters++ % 6 + 1, 1);
        }
        persons.push_back(p);
    }

    // The swipe: every person touched; the yields land at once (as if thrown), so the worker gets
    // a long queue while the main thread goes on reading.
    for (auto& p : persons) ASSERT_TRUE(p->checkResult());
    for (auto& p : persons)
        if (p->currentYieldType() != PersonView::kYieldCoffin) p->animationDidStop(nullptr, true);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    size_t pending = persons.size();
    uint64_t reads = 0;
    while (pending > 0 && std::chrono::steady_clock::now() < deadline) {
        pending = 0;
        for (auto& p : persons) {
            if (p->isBeforeCheck()) ++pending;
            reads += p->currentMonsterId() + p->currentYieldType() + p->currentDungeonId();
        }
        reads += MonsterManager::getInstance()->totalMonster();
        reads += store().boolForKey("shopUnlocked") ? 1 : 0;
        reads += store().arrayForKey("monsters").count();
        reads += GoldManager::getInstance()->currentGold();
    }
    EXPECT_EQ(pending, 0u);
    PersonView::waitForRecordings();
    settle();

    EXPECT_EQ(owner.finished.size(), persons.size());
    for (auto& p : persons) {
        EXPECT_FALSE(p->isCheking());
        EXPECT_EQ(p->currentYieldType(), 0u);
        EXPECT_EQ(p->currentMonsterId(), 0u);
    }
    EXPECT_EQ(MonsterManager::getInstance()->totalMonster(), 20u);
    EXPECT_EQ(MonsterManager::getInstance()->numHuntedMonsters(), 6u);
    EXPECT_EQ(analytics->maxInFlight(), 1);
    // Six first hunts, one shop, one new map; everything delivered on the main thread.
    EXPECT_EQ(std::count(events.begin(), events.end(), "newMonster"), 6);
    EXPECT_EQ(std::count(events.begin(), events.end(), "shopUnlocked"), 1);
    EXPECT_EQ(std::count(events.begin(), events.end(), "newMap"), 1);
    EXPECT_EQ(std::count(events.begin(), events.end(), "mapUnlocked"), 1);
    for (const auto& t : eventThreads) EXPECT_EQ(t, std::this_thread::get_id());
    EXPECT_GT(reads, 0u);

    // Nothing a collection left running (the drop of each yield is still under way) keeps a
    // person or its pictures alive once the owner lets go.
    std::vector<std::weak_ptr<View>> watched;
    for (auto& p : persons) {
        watched.push_back(p);
        watched.push_back(p->yieldImgView());
    }
    persons.clear();
    stage.reset();
    settle();
    for (const auto& w : watched) EXPECT_TRUE(w.expired());
}

TEST_F(PersonWorkerTest, RecordingsOfDroppedPersonsEndOnTheMainThread) {
    // Persons released by their owner while the worker still holds them are freed on the main
    // loop, never on the worker.
    RecordingDelegate owner;
    std::vector<std::weak_ptr<View>> watched;
    for (int id = 1; id <= 10; ++id) {
        auto p = makePerson(id);
        p->setDelegate(&owner);
        p->showKanokePre();
        ASSERT_TRUE(p->checkResult());
        watched.push_back(p);
    }
    PersonView::waitForRecordings();
    for (auto& w : watched) EXPECT_FALSE(w.expired());
    settle();
    for (auto& w : watched) EXPECT_TRUE(w.expired());
    EXPECT_EQ(owner.finished.size(), 10u);
}

}  // namespace
}  // namespace stagetests
