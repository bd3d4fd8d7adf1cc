// The collect sequence: the touch, the throw, gold on landing, the recording on the worker, the
// first-time unlocks and the end of the sequence on the main thread; and the worker under real
// concurrency (run under ThreadSanitizer by `make tsan`: the names hold "Worker" and "Concurrent").
#include <chrono>

#include "stage_test_support.h"

namespace stagetests {
namespace {

using Strings = std::vector<std::string>;
using Ids = std::vector<int>;

class PersonCollectTest : public PersonTest {
protected:
    void SetUp() override {
        PersonTest::SetUp();
        stage = View::make<View>(Rect(0, 0, 320, 480));
    }
    std::shared_ptr<PersonView> holder(int id, uint32_t yield, unsigned monster = 0) {
        auto person = makePerson(id, Point(40.0 + 10 * id, 100));
        stage->addSubview(person);
        person->setDelegate(&owner);
        if (yield == PersonView::kYieldMonster) person->showMonsterWithId(monster, 1);
        if (yield == PersonView::kYieldCoffin) {
            person->showKanokePre();
            person->showKanokeWithEffect(false);
        }
        if (yield == PersonView::kYieldPicture) person->showImage(Image::named("m1.png"), Size(20, 20));
        return person;
    }
    // Touch, drop (0.5 s) and the owner's throw (landingDelay) to the end of the recording.
    void collectFully(PersonView& person) {
        ASSERT_TRUE(person.checkResult());
        advance(PersonView::kCheckDropDuration + owner.landingDelay + 0.01);
        settle();
    }
    uint32_t gold() { return GoldManager::getInstance()->currentGold(); }
    std::shared_ptr<View> stage;
    RecordingDelegate owner;
};

TEST_F(PersonCollectTest, FirstBossHuntUnlocksTheNextMapOnce) {
    recordEvents({"bossHunted", "newMap", "mapUnlocked", "shopUnlocked"});
    setExploreCnt(1, 40);
    auto boss = holder(1, PersonView::kYieldNothing);
    boss->showResultWithDungeonId(1);
    ASSERT_EQ(boss->currentMonsterId(), 6u);
    settle();
    EXPECT_EQ(events, (Strings{"bossHunted"}));  // at resolution
    events.clear();
    eventObjects.clear();
    collectFully(*boss);
    EXPECT_EQ(events, (Strings{"newMap", "mapUnlocked"}));  // at collection
    EXPECT_EQ(eventObjects[0], Value(1u));
    const auto views = analytics->views();
    EXPECT_TRUE(std::any_of(views.begin(), views.end(), [](const auto& v) { return v.first == "/STAGE_CLEAR_V102_1"; }));
    // Made durable at once: the map flag set, the boss time gone.
    SavedStateStore onDisk(store().filePath());
    EXPECT_TRUE(onDisk.boolForKey("mapUnlocked"));
    EXPECT_EQ(onDisk.objectForKey("timestamp_boss").type(), Value::Type::Nil);
    // The same boss again: nothing new; with the map flag somehow unset it is set again.
    events.clear();
    collectFully(*holder(2, PersonView::kYieldMonster, 6));
    EXPECT_TRUE(events.empty());
    store().removeObjectForKey("mapUnlocked");
    collectFully(*holder(3, PersonView::kYieldMonster, 6));
    EXPECT_EQ(events, (Strings{"mapUnlocked"}));
}

TEST_F(PersonCollectTest, GoldArrivesOnLandingAndOnlyForMonsters) {
    auto monster = holder(1, PersonView::kYieldMonster, 3);  // 30 gold
    ASSERT_TRUE(monster->checkResult());
    advance(0.5 + 0.99);
    EXPECT_EQ(owner.thrown, (Ids{1}));
    EXPECT_EQ(gold(), 0u);
    EXPECT_FALSE(monster->checkResult()) << "a second touch is refused while collecting";
    advance(0.02);
    EXPECT_EQ(gold(), 30u);
    settle();
    EXPECT_FALSE(monster->isBeforeCheck());
    // A picture is thrown too, but gives no gold and no record.
    collectFully(*holder(2, PersonView::kYieldPicture));
    EXPECT_EQ(owner.thrown, (Ids{1, 2}));
    EXPECT_EQ(gold(), 30u);
    EXPECT_EQ(owner.finished, (Ids{1, 2}));
    // Nothing to collect still ends on a later pass, the owner told only when it offers to be.
    auto empty = holder(6, PersonView::kYieldNothing);
    EXPECT_FALSE(empty->checkResult());
    settle();
    EXPECT_EQ(owner.finished, (Ids{1, 2, 6}));
    owner.offersFinishCheck = false;
    EXPECT_FALSE(empty->checkResult());
    settle();
    EXPECT_EQ(owner.finished.size(), 3u);
}

TEST_F(PersonCollectTest, StepsOfOneCollectionInOrder) {
    Strings journal;
    owner.journal = &journal;
    NotificationCenter::defaultCenter().addObserver(
        static_cast<const void*>(this), [&journal](const Notification& n) { journal.push_back(n.name); }, "newMonster");
    GoldManager::getInstance()->addGoldObserver(static_cast<const void*>(this),
                                                [&journal](int64_t, int64_t g) { journal.push_back("gold:" + std::to_string(g)); });
    auto person = holder(5, PersonView::kYieldMonster, 4);
    ASSERT_TRUE(person->checkResult());
    advance(2.0);
    settle();
    EXPECT_EQ(journal, (Strings{"throw:5", "gold:40", "newMonster", "finishCheck:5"}));
    EXPECT_EQ(sounds->names(), (Strings{"check.mp3", "pochi_short.wav", "drop.mp3", "coinget.mp3"}));
    GoldManager::getInstance()->removeGoldObserver(this);
}

TEST_F(PersonCollectTest, SeveralPersonsCollectedQuicklyRecordOneAtATime) {
    recordEvents({"newMonster", "shopUnlocked"});
    // At the end of each person's collection its own recording is complete.
    Strings problems;
    struct Checker : RecordingDelegate {
        std::function<void(PersonView&)> onFinish;
        void finishCheck(PersonView& p) override {
            RecordingDelegate::finishCheck(p);
            onFinish(p);
        }
    } checker;
    checker.onFinish = [&](PersonView& p) {
        const int id = p.personId();
        if (p.isCheking() || p.isBeforeCheck() || p.currentYieldType() != 0) problems.push_back("not ended: " + std::to_string(id));
        if (id <= 5 && !MonsterManager::getInstance()->huntedMonsterWithId(static_cast<unsigned>(id)))
            problems.push_back("hunt not recorded before the end of " + std::to_string(id));
        if (id == 6 && !store().boolForKey("shopUnlocked")) problems.push_back("shop flag not set before the end of 6");
    };
    // Monsters 1..5 (all first hunts) and two coffins, touched in a quick swipe.
    std::vector<std::shared_ptr<PersonView>> persons;
    for (int i = 1; i <= 7; ++i) {
        persons.push_back(holder(i, i <= 5 ? PersonView::kYieldMonster : PersonView::kYieldCoffin, static_cast<unsigned>(i)));
        persons.back()->setDelegate(&checker);
    }
    for (auto& p : persons) {
        EXPECT_TRUE(p->checkResult());
        advance(0.016);  // one touch-move event apart
    }
    advance(2.0);
    settle();
    EXPECT_TRUE(problems.empty()) << problems.front();
    EXPECT_EQ(checker.finished, (Ids{6, 7, 1, 2, 3, 4, 5}));  // coffins end at once, yields land in order
    const auto views = analytics->views();
    ASSERT_EQ(views.size(), 5u);
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(views[i].first, "/NEW_MONSTER_" + std::to_string(i + 1));
        EXPECT_NE(views[i].second, std::this_thread::get_id());  // recorded on the worker
    }
    // Events raised on the worker reach observers on the main thread.
    EXPECT_EQ(events, (Strings{"shopUnlocked", "newMonster", "newMonster", "newMonster", "newMonster", "newMonster"}));
    EXPECT_EQ(gold(), 10u + 20 + 30 + 40 + 50);
}

using PersonWorkerTest = PersonCollectTest;

TEST_F(PersonWorkerTest, ConcurrentRecordingsWhileTheMainThreadReads) {
    recordEvents({"newMonster", "shopUnlocked", "newMap", "mapUnlocked"});
    std::vector<std::shared_ptr<PersonView>> persons;
    for (int id = 1; id <= 30; ++id) {  // every third a coffin, the others monsters 1..6 of dungeon 1 (6 the boss)
        persons.push_back(holder(id, id % 3 ? PersonView::kYieldMonster : PersonView::kYieldCoffin, (id - 1 - (id - 1) / 3) % 6 + 1));
        persons.back()->setCenter(Point(10.0 * id, 100));
    }
    // The swipe: every person touched; the yields land at once, so the worker gets a long queue
    // while the main thread goes on reading.
    for (auto& p : persons) ASSERT_TRUE(p->checkResult());
    for (auto& p : persons)
        if (p->currentYieldType() != PersonView::kYieldCoffin) p->animationDidStop(nullptr, true);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    size_t pending = persons.size();
    uint64_t reads = 0;
    while (pending > 0 && std::chrono::steady_clock::now() < deadline) {
        pending = 0;
        for (auto& p : persons) {
            pending += p->isBeforeCheck();
            reads += p->currentMonsterId() + p->currentYieldType() + p->currentDungeonId();
        }
        reads += MonsterManager::getInstance()->totalMonster() + store().arrayForKey("monsters").count() + gold();
        reads += store().boolForKey("shopUnlocked");
    }
    EXPECT_EQ(pending, 0u);
    PersonView::waitForRecordings();
    settle();
    EXPECT_EQ(owner.finished.size(), persons.size());
    EXPECT_EQ(MonsterManager::getInstance()->totalMonster(), 20u);
    EXPECT_EQ(analytics->maxInFlight(), 1);
    // Six first hunts, one shop, one new map; everything delivered on the main thread.
    EXPECT_EQ(count("newMonster"), 6u);
    EXPECT_EQ(count("shopUnlocked"), 1u);
    EXPECT_EQ(count("newMap"), 1u);
    EXPECT_EQ(count("mapUnlocked"), 1u);
    for (const auto& t : eventThreads) EXPECT_EQ(t, std::this_thread::get_id());
    EXPECT_GT(reads, 0u);
    // Nothing a collection left running (each drop is still under way) keeps a person or its
    // pictures alive once the owner lets go.
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
}

}  // namespace
}  // namespace stagetests
