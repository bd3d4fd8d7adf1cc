// A person's yield from carrying to collecting: bobbing, coffins, the drop and the hand-over, and
// the recording worker under real concurrency (run under ThreadSanitizer by name: "Worker", "Concurrent").
#include <chrono>
#include <cmath>
#include <numbers>

#include "stage_test_support.h"

namespace stagetests {
namespace {

class PersonCollectTest : public PersonTest {
protected:
    std::shared_ptr<PersonView> holder(int id, uint32_t yield, unsigned monster = 0) {
        auto person = makePerson(id, Point(40.0 + 10 * id, 100));
        if (yield == PersonView::kYieldMonster) person->showMonsterWithId(monster, 1);
        if (yield == PersonView::kYieldCoffin) {
            person->showKanokePre();
            person->showKanokeWithEffect(false);
        }
        return person;
    }
};

TEST_F(PersonCollectTest, AMonsterIsCarriedUpsideDownOverTheHeadAndBobsByThreePoints) {
    auto person = holder(1, PersonView::kYieldMonster, 1);
    uint64_t seed = 1;  // a draw with the low bit set: bobbing every 0.25 s (0.2 s for the other)
    while (RandomSource(seed).next() % 2 != 1) ++seed;
    RandomSource::shared().seed(seed);
    person->showMonsterWithId(1, 1);  // a new yield replaces the old picture, below the effect view
    auto yield = person->yieldImgView();  // m1.png is 160 x 160: a 40 x 40 yield
    EXPECT_EQ(person->subviews(), (std::vector<std::shared_ptr<View>>{person->personImgView(), yield, person->effectImgView()}));
    EXPECT_EQ(yield->center(), Point(21.5, 18.0));
    EXPECT_NEAR(std::fabs(yield->transform().rotation()), std::numbers::pi, 1e-9);
    advance(0.249);
    EXPECT_EQ(person->personImgView()->image(), nullptr);
    advance(0.002);
    const auto frame1 = Image::named("person_1_4_1.png");
    for (int tick = 0; tick < 4; ++tick) {
        const double y = yield->center().y;
        EXPECT_NEAR(y, person->personImgView()->image() == frame1 ? 18.0 : 21.0, 1e-9);
        advance(0.25);
        EXPECT_NEAR(std::fabs(yield->center().y - y), 3.0, 1e-9);
    }
    person->setIsMovingForBack(true);  // walking home it carries instead of bobbing
    person->showMonsterWithId(3, 1);
    EXPECT_FALSE(person->myTimer().isValid());
    person->waitingWithYield();  // a person that goes away stops its timer
    person->removeFromSuperview();
    person.reset();
    advance(1.0);
}

TEST_F(PersonCollectTest, ACoffinComesHomeWithASmokePuffAndIsCollectedAtOnce) {
    auto person = holder(1, PersonView::kYieldMonster, 3);
    person->showKanokePre();  // the monster's picture goes
    person->showKanokeWithEffect(true);
    EXPECT_EQ(person->subviews().size(), 2u);
    auto effect = person->effectImgView();
    const auto& smoke = EffectManager::getInstance()->kemuriEffects();
    advance(0.15);  // 20 frames a second, once
    EXPECT_EQ(effect->displayedImage(), smoke[3]);
    advance(0.16);
    EXPECT_FALSE(effect->isAnimating());
    ASSERT_TRUE(person->checkResult());
    PersonView::waitForRecordings();
    settle();
    EXPECT_EQ(effect->animationImages(), EffectManager::getInstance()->kanokeEffects());
    EXPECT_EQ(delegate.finished, (Ids{1}));  // not waiting for the effect, nothing thrown
    EXPECT_TRUE(delegate.thrown.empty());
}

TEST_F(PersonCollectTest, TheYieldDropsThenLeavesFromAboveTheHeadAndPaysOnLanding) {
    // A tall picture: 20 x 80, centred at (21.5, -2), sticking 42 points out above the head.
    auto person = makePerson(1);  // frame (78.5, 70, 43, 60)
    person->showImage(Image::fromRGBA(20, 80, std::vector<uint8_t>(20 * 80 * 4, 255)), Size(20, 80));
    person->updateCurrentRect();
    EXPECT_NEAR(person->currentRect().minY(), 70.0 - 42.0, 1e-9);
    auto yield = person->yieldImgView();
    ASSERT_TRUE(person->checkResult());
    settle();
    EXPECT_EQ(person->personImgView()->animationImages(), PoseManager::getInstance()->framesOfPose(4));
    advance(0.499);  // the drop ends at (21.5, 45 - 0.3 x 80)
    EXPECT_NEAR(yield->presentationCenter().y, 21.0, 0.05);
    advance(0.002);  // then it is handed over from just above the head
    ASSERT_EQ(delegate.thrown, (Ids{1}));
    EXPECT_EQ(delegate.throwCenters[0], Point(21.5, -40.0));
    EXPECT_EQ(yield->superview(), nullptr);
    EXPECT_FALSE(person->checkResult()) << "a second touch is refused while collecting";
    advance(1.0);
    PersonView::waitForRecordings();
    settle();
    EXPECT_EQ(GoldManager::getInstance()->currentGold(), 0u);  // pictures give no gold
    EXPECT_EQ(*sounds, (Strings{"check.mp3", "pochi_short.wav", "drop.mp3", "coinget.mp3"}));
    auto empty = holder(6, PersonView::kYieldNothing);  // nothing to collect still ends, on a later pass
    EXPECT_FALSE(empty->checkResult());
    settle();
    EXPECT_EQ(delegate.finished, (Ids{1, 6}));
}

using PersonWorkerTest = PersonCollectTest;

TEST_F(PersonWorkerTest, ConcurrentRecordingsWhileTheMainThreadReads) {
    recordEvents({"newMonster", "shopUnlocked", "newMap", "mapUnlocked"});
    // The owner hears of the end of a collection only once its recording is complete.
    const auto monsterOf = [](int id) { return static_cast<unsigned>((id - 1 - (id - 1) / 3) % 6 + 1); };
    Strings problems;
    delegate.onFinish = [&](PersonView& p) {
        const int id = p.personId();
        if (p.isCheking() || p.isBeforeCheck() || p.currentYieldType() != 0) problems.push_back("not ended: " + std::to_string(id));
        if (id % 3 && !MonsterManager::getInstance()->huntedMonsterWithId(monsterOf(id))) problems.push_back("not recorded: " + std::to_string(id));
    };
    std::vector<std::shared_ptr<PersonView>> persons;
    for (int id = 1; id <= 30; ++id)  // every third a coffin, the others monsters 1..6 of dungeon 1 (6 the boss)
        persons.push_back(holder(id, id % 3 ? PersonView::kYieldMonster : PersonView::kYieldCoffin, monsterOf(id)));
    // The swipe: every person touched and every yield landed at once, so the worker gets a long
    // queue while the main thread goes on reading.
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
        reads += MonsterManager::getInstance()->totalMonster() + store().arrayForKey("monsters").count() + GoldManager::getInstance()->currentGold();
    }
    EXPECT_EQ(pending, 0u);
    PersonView::waitForRecordings();
    settle();
    EXPECT_TRUE(problems.empty()) << problems.front();
    EXPECT_EQ(delegate.finished.size(), persons.size());
    EXPECT_EQ(MonsterManager::getInstance()->totalMonster(), 20u);
    EXPECT_FALSE(analytics->overlapped);
    for (const auto& view : analytics->views) EXPECT_NE(view.second, std::this_thread::get_id());  // recorded on the worker
    // Six first hunts, one shop, one new map (the first boss), everything on the main thread.
    EXPECT_EQ(events, (Strings{"shopUnlocked", "newMonster", "newMonster", "newMonster", "newMonster", "newMonster", "newMonster", "newMap",
                               "mapUnlocked"}));
    EXPECT_EQ(eventObjects[7], Value(1u));
    for (const auto& t : eventThreads) EXPECT_EQ(t, std::this_thread::get_id());
    SavedStateStore onDisk(store().filePath());  // made durable at once
    EXPECT_TRUE(onDisk.boolForKey("mapUnlocked"));
    EXPECT_EQ(onDisk.objectForKey("timestamp_boss").type(), Value::Type::Nil);
    EXPECT_EQ(std::count_if(analytics->views.begin(), analytics->views.end(), [](auto& v) { return v.first == "/STAGE_CLEAR_V102_1"; }), 1);
    EXPECT_GT(reads, 0u);
    // Nothing a collection left running keeps a person or its pictures alive once the owner lets go.
    std::vector<std::weak_ptr<View>> watched;
    for (auto& p : persons) watched.insert(watched.end(), {p, p->yieldImgView()});
    persons.clear();
    owner.reset();
    settle();
    for (const auto& w : watched) EXPECT_TRUE(w.expired());
}

TEST_F(PersonWorkerTest, RecordingsOfDroppedPersonsEndOnTheMainThread) {
    // Persons released while the worker still holds them are freed on the main loop, never on the worker.
    std::vector<std::weak_ptr<View>> watched;
    for (int id = 1; id <= 10; ++id) {
        auto p = holder(id, PersonView::kYieldCoffin);
        p->removeFromSuperview();
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
