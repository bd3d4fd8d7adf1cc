// The collect sequence: the touch, the throw, gold on landing, the recording on the worker, the
// first-time unlocks and the end of the sequence on the main thread.
#include "model/GoldManager.h"
#include "model/MonsterManager.h"
#include "person_test_support.h"
#include "stage/NMAnimationCommon.h"

namespace persontest {
namespace {

using Strings = std::vector<std::string>;

class PersonCollectTest : public PersonTest {
protected:
    void SetUp() override {
        PersonTest::SetUp();
        stage = View::make<View>(Rect(0, 0, 320, 480));
    }

    std::shared_ptr<PersonView> holder(int id, uint32_t yield, unsigned monster = 0, unsigned dungeon = 1) {
        auto person = makePerson(id, Point(40.0 + 10 * id, 100));
        stage->addSubview(person);
        person->setDelegate(&owner);
        if (yield == PersonView::kYieldMonster) person->showMonsterWithId(monster, dungeon);
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
    EXPECT_GT(store().doubleForKey("timestamp_boss"), 0.0);
    events.clear();
    eventObjects.clear();

    collectFully(*boss);
    EXPECT_EQ(events, (Strings{"newMap", "mapUnlocked"}));  // at collection
    EXPECT_EQ(eventObjects[0], Value(1u));
    EXPECT_TRUE(eventObjects[0].isUnsigned());
    EXPECT_TRUE(eventObjects[1].isNil());
    EXPECT_EQ(store().objectForKey("timestamp_boss").type(), Value::Type::Nil);
    EXPECT_TRUE(store().boolForKey("mapUnlocked"));
    EXPECT_TRUE(MonsterManager::getInstance()->huntedMonsterWithId(6));
    const Strings views = analytics->paths();
    EXPECT_NE(std::find(views.begin(), views.end(), "/STAGE_CLEAR_V102_1"), views.end());
    // The first boss of the game is made durable at once.
    {
        SavedStateStore onDisk(store().filePath());
        EXPECT_TRUE(onDisk.boolForKey("mapUnlocked"));
        EXPECT_EQ(onDisk.objectForKey("timestamp_boss").type(), Value::Type::Nil);
    }
    EXPECT_EQ(owner.finished, (std::vector<int>{1}));
    EXPECT_EQ(boss->currentMonsterId(), 0u);
    EXPECT_EQ(boss->currentYieldType(), PersonView::kYieldNothing);

    // The same boss again: nothing new.
    events.clear();
    auto again = holder(2, PersonView::kYieldMonster, 6, 1);
    collectFully(*again);
    EXPECT_TRUE(events.empty());

    // A boss collected while the map flag is somehow unset sets it again, without "newMap".
    store().removeObjectForKey("mapUnlocked");
    auto third = holder(3, PersonView::kYieldMonster, 6, 1);
    collectFully(*third);
    EXPECT_EQ(events, (Strings{"mapUnlocked"}));
    EXPECT_TRUE(store().boolForKey("mapUnlocked"));
    EXPECT_EQ(MonsterManager::getInstance()->numHuntedMonsterWithId(6), 3u);
}

TEST_F(PersonCollectTest, FirstCoffinOpensTheShopOnce) {
    recordEvents({"shopUnlocked", "mapUnlocked", "newMap"});
    auto first = holder(4, PersonView::kYieldCoffin);
    EXPECT_TRUE(first->checkResult());
    settle();
    EXPECT_EQ(events, (Strings{"shopUnlocked"}));
    EXPECT_TRUE(store().boolForKey("shopUnlocked"));
    EXPECT_EQ(owner.finished, (std::vector<int>{4}));

    auto second = holder(5, PersonView::kYieldCoffin);
    EXPECT_TRUE(second->checkResult());
    settle();
    EXPECT_EQ(events.size(), 1u);
    EXPECT_EQ(owner.finished, (std::vector<int>{4, 5}));
    // No gold and no hunt for coffins.
    EXPECT_EQ(gold(), 0u);
    EXPECT_EQ(MonsterManager::getInstance()->totalMonster(), 0u);
    EXPECT_TRUE(owner.thrown.empty());
}

TEST_F(PersonCollectTest, GoldArrivesOnLandingAndOnlyForMonsters) {
    auto monster = holder(1, PersonView::kYieldMonster, 3, 1);  // 30 gold
    owner.landingDelay = 1.0;
    const double start = now();
    ASSERT_TRUE(monster->checkResult());
    advance(0.5 + 0.99);
    EXPECT_EQ(owner.thrown, (std::vector<int>{1}));
    EXPECT_EQ(gold(), 0u);
    EXPECT_TRUE(monster->isCheking());
    advance(0.02);
    EXPECT_NEAR(now() - start, 1.51, 1e-9);
    EXPECT_EQ(gold(), 30u);
    settle();
    EXPECT_EQ(MonsterManager::getInstance()->numHuntedMonsterWithId(3), 1u);

    // A picture is thrown too, but gives no gold and no record.
    auto picture = holder(2, PersonView::kYieldPicture);
    collectFully(*picture);
    EXPECT_EQ(owner.thrown, (std::vector<int>{1, 2}));
    EXPECT_EQ(gold(), 30u);
    EXPECT_EQ(MonsterManager::getInstance()->totalMonster(), 1u);
    EXPECT_EQ(owner.finished, (std::vector<int>{1, 2}));
}

TEST_F(PersonCollectTest, APersonWithoutAThrowingOwnerThrowsItself) {
    owner.offersThrow = false;
    auto person = holder(8, PersonView::kYieldMonster, 2, 1);  // 20 gold, centre (120, 100)
    ASSERT_TRUE(person->checkResult());
    advance(0.5);
    // Just above the head when the throw starts.
    const Point c = person->yieldImgView()->presentationCenter();
    EXPECT_NEAR(c.y, -20.0, 1e-9);
    ASSERT_EQ(person->yieldImgView()->superview(), person.get());
    // Rise and move to x = 70 of the owner, then fall below the owner's bottom edge.
    const double y1 = -20.0 - 80.0;
    const double y2 = 480.0 - 70.0 + 20.0 + 50.0;
    const double fall = NMAnimationCommon::throwFallDuration(y1, y2);
    advance(0.3 + 0.1 + fall - 0.01);
    EXPECT_EQ(gold(), 0u);
    const Point landing = person->yieldImgView()->center();
    EXPECT_NEAR(person->convertPointToView(landing, stage.get()).x, 70.0, 1e-9);
    EXPECT_NEAR(person->convertPointToView(landing, stage.get()).y, 550.0, 1e-9);
    advance(0.02);
    EXPECT_EQ(gold(), 20u);
    settle();
    EXPECT_EQ(owner.finished, (std::vector<int>{8}));
    // The landed picture is emptied and set straight.
    EXPECT_EQ(person->yieldImgView()->image(), nullptr);
    EXPECT_TRUE(person->yieldImgView()->transform().isIdentity());
}

TEST_F(PersonCollectTest, ASecondTouchIsRefusedWhileCollecting) {
    auto person = holder(3, PersonView::kYieldMonster, 1, 1);
    EXPECT_TRUE(person->checkResult());
    EXPECT_TRUE(person->isCheking());
    EXPECT_FALSE(person->checkResult());
    advance(0.3);
    EXPECT_FALSE(person->checkResult());
    advance(1.3);
    settle();
    EXPECT_FALSE(person->isCheking());
    EXPECT_FALSE(person->isBeforeCheck());
    EXPECT_EQ(person->currentYieldType(), PersonView::kYieldNothing);
    EXPECT_EQ(owner.thrown.size(), 1u);
    EXPECT_EQ(owner.finished.size(), 1u);
    EXPECT_EQ(gold(), 10u);
    EXPECT_EQ(sounds->names(), (Strings{"check.mp3", "pochi_short.wav", "drop.mp3", "coinget.mp3"}));
}

TEST_F(PersonCollectTest, NothingToCollectStillEndsWithTheOwnerTold) {
    auto person = holder(6, PersonView::kYieldNothing);
    EXPECT_FALSE(person->checkResult());
    EXPECT_TRUE(person->isCheking());
    EXPECT_TRUE(owner.finished.empty());  // the end comes from the worker, on a later pass
    settle();
    EXPECT_EQ(owner.finished, (std::vector<int>{6}));
    EXPECT_FALSE(person->isCheking());
    EXPECT_TRUE(sounds->names().empty());

    // An owner that offers nothing is not told, and the person still ends the sequence.
    owner.offersFinishCheck = false;
    EXPECT_FALSE(person->checkResult());
    settle();
    EXPECT_EQ(owner.finished.size(), 1u);
    EXPECT_FALSE(person->isCheking());
}

TEST_F(PersonCollectTest, StepsOfOneCollectionInOrder) {
    std::vector<std::string> journal;
    owner.journal = &journal;
    NotificationCenter::defaultCenter().addObserver(
        static_cast<const void*>(this), [&journal](const Notification& n) { journal.push_back(n.name); }, "newMonster");
    GoldManager::getInstance()->addGoldObserver(static_cast<const void*>(this),
                                                [&journal](int64_t, int64_t g) { journal.push_back("gold:" + std::to_string(g)); });
    auto person = holder(5, PersonView::kYieldMonster, 4, 1);
    const double start = now();
    ASSERT_TRUE(person->checkResult());
    EXPECT_EQ(sounds->names(), (Strings{"check.mp3"}));
    settle();
    // The check animation starts on the next pass with the throwing pose.
    EXPECT_EQ(person->personImgView()->animationImages(), PoseManager::getInstance()->framesOfPose(4));
    EXPECT_EQ(person->personImgView()->animationRepeatCount(), 1);
    advance(2.0);
    settle();

    EXPECT_EQ(journal, (Strings{"throw:5", "gold:40", "newMonster", "finishCheck:5"}));
    EXPECT_NEAR(sounds->timeOf("pochi_short.wav") - start, 0.5, 1e-9);
    EXPECT_NEAR(sounds->timeOf("drop.mp3") - start, 1.3, 1e-9);
    EXPECT_NEAR(sounds->timeOf("coinget.mp3") - start, 1.5, 1e-9);
    // The hunt was recorded on the worker, not on the main thread.
    const auto views = analytics->views();
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(views[0].first, "/NEW_MONSTER_4");
    EXPECT_NE(views[0].second, std::this_thread::get_id());
    GoldManager::getInstance()->removeGoldObserver(this);
}

TEST_F(PersonCollectTest, SeveralPersonsCollectedQuicklyRecordOneAtATime) {
    recordEvents({"newMonster", "shopUnlocked"});
    std::vector<std::shared_ptr<PersonView>> persons;
    // Monsters 1..5 (all first hunts) and two coffins, touched in a quick swipe.
    for (int i = 1; i <= 5; ++i) persons.push_back(holder(i, PersonView::kYieldMonster, static_cast<unsigned>(i), 1));
    persons.push_back(holder(6, PersonView::kYieldCoffin));
    persons.push_back(holder(7, PersonView::kYieldCoffin));

    // At the end of each person's collection its own recording is complete.
    std::vector<std::string> problems;
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
    for (auto& p : persons) p->setDelegate(&checker);

    for (auto& p : persons) {
        EXPECT_TRUE(p->checkResult());
        advance(0.016);  // one touch-move event apart
    }
    advance(2.0);
    settle();

    EXPECT_TRUE(problems.empty()) << problems.front();
    // Coffins end at once; the thrown yields land in touch order.
    EXPECT_EQ(checker.finished, (std::vector<int>{6, 7, 1, 2, 3, 4, 5}));
    // Recordings ran on the worker, one at a time, in the order they were handed over.
    const auto views = analytics->views();
    ASSERT_EQ(views.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(views[static_cast<size_t>(i)].first, "/NEW_MONSTER_" + std::to_string(i + 1));
        EXPECT_NE(views[static_cast<size_t>(i)].second, std::this_thread::get_id());
    }
    EXPECT_EQ(analytics->maxInFlight(), 1);
    // Events raised on the worker reach observers on the main thread.
    EXPECT_EQ(events, (Strings{"shopUnlocked", "newMonster", "newMonster", "newMonster", "newMonster", "newMonster"}));
    for (const auto& t : eventThreads) EXPECT_EQ(t, std::this_thread::get_id());
    EXPECT_EQ(MonsterManager::getInstance()->totalMonster(), 5u);
    EXPECT_EQ(gold(), 10u + 20 + 30 + 40 + 50);
}

TEST_F(PersonCollectTest, APersonDroppedByItsOwnerMidCollectionIsReleasedSafely) {
    auto person = holder(2, PersonView::kYieldCoffin);
    ASSERT_TRUE(person->checkResult());
    std::weak_ptr<View> watch = person;
    person->removeFromSuperview();
    person.reset();
    // The recording keeps the person until its main-thread step has run.
    PersonView::waitForRecordings();
    EXPECT_FALSE(watch.expired());
    settle();
    EXPECT_TRUE(watch.expired());
    EXPECT_EQ(owner.finished, (std::vector<int>{2}));
}

}  // namespace
}  // namespace persontest
