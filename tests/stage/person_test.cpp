// A returning person: the monster draw with its new-monster limit, the boss time and the battle
// log in the store; carrying, coffins, the drop and the hand-over; and the recording worker under real
// concurrency (run under ThreadSanitizer by name: "Worker", "Concurrent").
#include <chrono>
#include <cmath>
#include <numbers>

#include "stage_test_support.h"
#include "stage/PersonRules.h"

namespace stagetests {
namespace {

using Monsters = std::vector<unsigned>;

TEST_F(PersonTest, NewMonstersJoinOnePerTwentyExploresAndTheDrawFallsInTheirBands) {
    const DungeonMonsterList& list = DungeonStaticData::getInstance()->monstersWithDungeonId(1);  // 1 old, 2 3 4 new, 6 boss
    const std::pair<unsigned, Monsters> cases[] = {{19, {1, 2}}, {20, {1, 2, 3}}, {40, {1, 2, 3, 4}}};
    for (const auto& [count, ids] : cases) EXPECT_EQ(PersonRules::candidatesWithMonsters(list, false, count).monsterIds, ids) << count;
    // Once hunted, the boss takes part by its weight.
    const MonsterCandidates hunted = PersonRules::candidatesWithMonsters(list, true, 0);
    EXPECT_EQ(hunted.monsterIds, (Monsters{1, 2, 6}));
    EXPECT_EQ(hunted.weights, (std::vector<float>{0.5f, 0.2f, 0.0f}));
    // New monsters beyond the limit are passed over, later old ones stay.
    const DungeonMonsterList mixed{DungeonMonsterRow::fromValue(entry(20, true, 0.1)), DungeonMonsterRow::fromValue(entry(21, true, 0.1)),
                                   DungeonMonsterRow::fromValue(entry(22, false, 0.3))};
    EXPECT_EQ(PersonRules::candidatesWithMonsters(mixed, false, 0).monsterIds, (Monsters{20, 22}));
    // Dungeon 2, count 0: 7 [0,200), 8 [200,700), 9 left out; beyond the bands falls to the first.
    const std::pair<uint32_t, unsigned> expected[] = {{199, 7}, {200, 8}, {699, 8}, {700, 7}};
    for (const auto& [draw, monster] : expected) EXPECT_EQ(drawWith(2, 0, draw), monster) << "draw " << draw;
}

// The rule itself is a table in rules_test.cpp; here the person applies it to the store.
TEST_F(PersonTest, TheBossComesOncePerExploreTimeWhenDeepEnough) {
    recordEvents({"bossHunted"});
    const double exploreTime = LeftTimeManager::totalTimeForExplore();
    EXPECT_EQ(resolved(3, kNothing)->currentYieldType(), PersonView::kYieldNothing);  // no boss: no fight with "monster 0"
    EXPECT_FALSE(bossTimeSet());
    setExploreCnt(1, 40);
    EXPECT_EQ(resolved(2, 1)->currentMonsterId(), 6u);
    const double met = clock->wallNow();
    EXPECT_EQ(SavedStateStore(store().filePath()).doubleForKey("timestamp_boss"), met);  // flushed at once
    EXPECT_TRUE(events.empty()) << "announced on a later pass";
    settle();
    EXPECT_EQ(events, (Strings{"bossHunted"}));
    clock->setWall(met + exploreTime - 0.5);
    EXPECT_NE(resolved(13, 1)->currentMonsterId(), 6u);
    clock->setWall(met + exploreTime);
    EXPECT_EQ(resolved(14, 1)->currentMonsterId(), 6u);
}

TEST_F(PersonTest, LostFightsAreLoggedInOrderAndStillSetTheBossTime) {
    setExploreCnt(3, 40);
    auto seven = resolved(7, 3);  // boss 12 needs equipment 1
    EXPECT_EQ(seven->currentYieldType(), PersonView::kYieldCoffin);
    EXPECT_EQ(store().doubleForKey("timestamp_boss"), clock->wallNow());
    clock->jumpWall(20.0);
    resolved(20, 3);  // the boss again, one explore time later, beaten again
    // Exactly as the battle report reads it: a signed id, an unsigned monster, a boolean.
    const Value log = store().arrayForKey("battleLogs");
    ASSERT_EQ(log.count(), 2u);
    EXPECT_EQ(log[1], (Value{{"id", Value(20)}, {"monsterId", Value(12u)}, {"isWin", Value(false)}}));
    EXPECT_EQ(log[0]["id"].integerValue(), 7);
    EXPECT_FALSE(log[0]["id"].isUnsigned());
    EXPECT_TRUE(log[0]["monsterId"].isUnsigned());
    EXPECT_TRUE(log[0]["isWin"].isBoolean());
}

TEST_F(PersonTest, AMonsterIsCarriedUpsideDownOverTheHeadAndBobsByThreePoints) {
    auto person = holder(1, 1);
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
    const auto frame1 = Image::named("person_1_4_1.png");
    double last = 0;
    for (int tick = 0; tick < 4; ++tick) {  // up and down by 3 points, in step with the holding frames
        advance(tick ? 0.25 : 0.002);
        const double y = yield->center().y;
        EXPECT_NEAR(y, person->personImgView()->image() == frame1 ? 18.0 : 21.0, 1e-9);
        if (tick) { EXPECT_NEAR(std::fabs(y - last), 3.0, 1e-9); }
        last = y;
    }
    person->setIsMovingForBack(true);  // walking home it carries instead of bobbing
    person->showMonsterWithId(3, 1);
    EXPECT_FALSE(person->myTimer().isValid());
    person->waitingWithYield();  // a person that goes away stops its timer
    person->removeFromSuperview();
    person.reset();
    advance(1.0);
}

TEST_F(PersonTest, ACoffinComesHomeWithASmokePuffAndIsCollectedAtOnce) {
    auto person = holder(1, 3);
    person->showKanokePre();  // the monster's picture goes
    person->showKanokeWithEffect(true);
    EXPECT_EQ(person->subviews().size(), 2u);
    auto effect = person->effectImgView();
    EXPECT_EQ(effect->animationImages(), EffectManager::getInstance()->kemuriEffects());
    advance(0.29);  // 20 frames a second, once
    EXPECT_TRUE(effect->isAnimating());
    advance(0.02);
    EXPECT_FALSE(effect->isAnimating());
    ASSERT_TRUE(person->checkResult());
    finishRecordings();
    EXPECT_EQ(effect->animationImages(), EffectManager::getInstance()->kanokeEffects());
    EXPECT_EQ(delegate.finished, (Ids{1}));  // not waiting for the effect, nothing thrown
    EXPECT_TRUE(delegate.thrown.empty());
}

TEST_F(PersonTest, TheYieldDropsThenLeavesFromAboveTheHead) {
    auto person = makePerson(1);  // a 20 x 80 picture, centred at (21.5, -2)
    person->showImage(Image::fromRGBA(20, 80, std::vector<uint8_t>(20 * 80 * 4, 255)), Size(20, 80));
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
    advance(1.0);
    finishRecordings();
    EXPECT_EQ(delegate.finished, (Ids{1}));
    EXPECT_EQ(*sounds, (Strings{"check.mp3", "pochi_short.wav", "drop.mp3", "coinget.mp3"}));
}

using PersonWorkerTest = PersonTest;

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
        persons.push_back(holder(id, id % 3 ? monsterOf(id) : 0));
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
    finishRecordings();
    EXPECT_TRUE(problems.empty()) << problems.front();
    EXPECT_EQ(delegate.finished.size(), persons.size());
    EXPECT_EQ(MonsterManager::getInstance()->totalMonster(), 20u);
    EXPECT_FALSE(analytics->overlapped);
    for (const auto& view : analytics->views) EXPECT_NE(view.second, std::this_thread::get_id());  // recorded on the worker
    // Six first hunts, one shop, one new map (the first boss), everything on the main thread.
    EXPECT_EQ(events, (Strings{"shopUnlocked", "newMonster", "newMonster", "newMonster", "newMonster", "newMonster", "newMonster", "newMap",
                               "mapUnlocked"}));
    for (const auto& t : eventThreads) EXPECT_EQ(t, std::this_thread::get_id());
    SavedStateStore onDisk(store().filePath());  // made durable at once
    EXPECT_TRUE(onDisk.boolForKey("mapUnlocked"));
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
        auto p = holder(id, 0);
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
