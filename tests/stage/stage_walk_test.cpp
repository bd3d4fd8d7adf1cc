// The stage's party: slots and stacking, walking off into the dungeon and coming back one at a
// time or all together, measured on the manual clock.
#include <cmath>
#include <numbers>

#include "model/DungeonManager.h"
#include "stage_test_support.h"

namespace stagetests {
namespace {

bool near(Point a, Point b, double eps = 1e-6) { return std::fabs(a.x - b.x) < eps && std::fabs(a.y - b.y) < eps; }

// Index of a view among the stage's sub-views (back to front).
size_t depthOf(const View& parent, const View* child) {
    const auto& subs = parent.subviews();
    for (size_t i = 0; i < subs.size(); ++i)
        if (subs[i].get() == child) return i;
    return SIZE_MAX;
}

using StageLayoutTest = StageViewTest;

TEST_F(StageLayoutTest, TwentyPersonsStandOnTheirSlotsLowerIdsInFront) {
    stage->drawPersons();
    const auto all = stage->persons();
    ASSERT_EQ(all.size(), 20u);
    // Back to front: 20, 19, ..., 1.
    for (size_t i = 0; i < all.size(); ++i) EXPECT_EQ(all[i]->personId(), static_cast<int>(20 - i));
    // Person 1 in front of all persons, the throw layer in front of person 1.
    EXPECT_GT(depthOf(*stage, stage->throwStageView().get()), depthOf(*stage, person(1).get()));
    EXPECT_EQ(stage->subviews().back(), stage->throwStageView());

    // A few slots of the table, and every person centred on its own, 43 x 60, visible, idle.
    EXPECT_TRUE(near(stage->positionOfPersonId(1), Point(296, 128)));
    EXPECT_TRUE(near(stage->positionOfPersonId(8), Point(23, 128)));
    EXPECT_TRUE(near(stage->positionOfPersonId(9), Point(43, 98)));
    EXPECT_TRUE(near(stage->positionOfPersonId(15), Point(277, 98)));
    EXPECT_TRUE(near(stage->positionOfPersonId(21), Point(61, 73)));
    EXPECT_TRUE(near(stage->positionOfPersonId(22), Point(76, 53)));
    EXPECT_TRUE(near(stage->positionOfPersonId(30), Point(97, 34)));
    for (const auto& p : all) {
        EXPECT_TRUE(near(p->center(), stage->positionOfPersonId(p->personId()))) << p->personId();
        EXPECT_EQ(p->bounds().size, Size(43, 60));
        EXPECT_FALSE(p->isHidden());
        EXPECT_EQ(p->delegate(), static_cast<PersonViewDelegate*>(stage.get()));
        EXPECT_EQ(p->currentYieldType(), 0u);
    }
    EXPECT_FALSE(stage->isAnyoneHavingYield());
    EXPECT_FALSE(stage->isAnyoneExploring());
    // The rows are the yield groups.
    EXPECT_EQ(StageView::groupOfPersonId(8), 1);
    EXPECT_EQ(StageView::groupOfPersonId(9), 2);
    EXPECT_EQ(StageView::groupOfPersonId(21), 3);
    EXPECT_EQ(StageView::groupOfPersonId(26), 4);
    EXPECT_EQ(StageView::groupOfPersonId(27), 5);
}

TEST_F(StageLayoutTest, AddedMembersStandBehindAndJoinInOrder) {
    addMembers(10);
    stage->drawPersons();
    auto all = stage->persons();
    ASSERT_EQ(all.size(), 30u);
    for (size_t i = 0; i < all.size(); ++i) EXPECT_EQ(all[i]->personId(), static_cast<int>(30 - i));

    // A redraw starts over: still one view per person.
    stage->drawPersons();
    EXPECT_EQ(stage->persons().size(), 30u);

    // A member joining later is put directly behind person 20; a lost base person comes back in
    // its place in the stacking.
    clearStore();
    addMembers(0);
    stage->drawPersons();
    person(5)->removeFromSuperview();
    store().setObject(Value{{"member_id", Value(1)}}, "member_1");
    stage->drawAddedPersons();
    all = stage->persons();
    ASSERT_EQ(all.size(), 21u);
    for (size_t i = 0; i < all.size(); ++i) EXPECT_EQ(all[i]->personId(), static_cast<int>(21 - i));
    EXPECT_TRUE(near(person(21)->center(), Point(61, 73)));
    EXPECT_EQ(stage->subviews().back(), stage->throwStageView());
}

using StageWalkTest = StageViewTest;

TEST_F(StageWalkTest, WalkingOffStaggersBackRowFirstAndEndsWithTwentyEvents) {
    stage->drawPersons();
    recordEvents({"moveDidEnd"});
    const double t0 = now();
    stage->moveAllPersonsForExplore();

    // Everybody is under way and recorded as exploring at once, the back person first.
    EXPECT_TRUE(stage->isAnyoneMovingForGo());
    EXPECT_TRUE(stage->isAnyoneExploring());
    const auto out = PersonManager::getInstance()->explorings();
    ASSERT_EQ(out.size(), 20u);
    EXPECT_EQ(out.front(), 20);
    EXPECT_EQ(out.back(), 1);
    EXPECT_TRUE(PersonManager::isPersonExploring(7));
    // The model values are the end of the walk: the entrance, small and faded.
    EXPECT_TRUE(near(person(3)->center(), Point(160, 0)));
    EXPECT_NEAR(person(3)->transform().scaleX(), 0.3, 1e-9);
    EXPECT_NEAR(person(3)->alpha(), 0.7, 1e-9);
    // A second request for a walking person is dropped.
    stage->moveOnePerson(*person(3), Point(0, 0), 0);
    EXPECT_TRUE(near(person(3)->center(), Point(160, 0)));

    // Person 1 leaves last, 19 x 0.016 = 0.304 s after person 20.
    advanceTo(t0 + 0.300);
    EXPECT_TRUE(near(person(1)->presentationCenter(), Point(296, 128)));
    EXPECT_FALSE(near(person(20)->presentationCenter(), stage->positionOfPersonId(20)));
    advanceTo(t0 + 0.310);
    EXPECT_FALSE(near(person(1)->presentationCenter(), Point(296, 128)));

    // Each walk takes 0.8 s: the first ends at 0.8 s, the last at 1.104 s.
    advanceTo(t0 + 0.79);
    settle();
    EXPECT_EQ(count("moveDidEnd"), 0u);
    advanceTo(t0 + 0.81);
    settle();
    EXPECT_EQ(count("moveDidEnd"), 1u);
    EXPECT_TRUE(person(20)->isHidden());
    EXPECT_FALSE(person(20)->isMovingForGo());
    advanceTo(t0 + 1.100);
    settle();
    EXPECT_EQ(count("moveDidEnd"), 19u);
    EXPECT_FALSE(person(1)->isHidden());
    advanceTo(t0 + 1.110);
    settle();
    EXPECT_EQ(count("moveDidEnd"), 20u);
    EXPECT_FALSE(stage->isAnyoneMovingForGo());
    for (const auto& p : stage->persons()) EXPECT_TRUE(p->isHidden());

    // A second send-off finds nobody at home.
    stage->moveAllPersonsForExplore();
    advance(2);
    settle();
    EXPECT_EQ(count("moveDidEnd"), 20u);
}

using StageComebackTest = StageViewTest;

TEST_F(StageComebackTest, OneAtATimeWithAMonsterAnnouncesTheBattleThenArrives) {
    stage->drawPersons();
    stage->setCurrentDungeonInfo(dungeonInfo(1));
    sendEveryoneOff();
    recordEvents({"battling", "comebackDidEnd"});
    const unsigned countBefore = DungeonManager::currentExploreCntWithDungeonId(1);

    const double t0 = now();
    stage->comebackOnePersonWithResult(true, true);
    // The front person comes back; the result is settled and stored at once.
    auto p = person(1);
    EXPECT_TRUE(p->isMovingForBack());
    EXPECT_EQ(p->currentYieldType(), 3u);
    EXPECT_EQ(p->currentMonsterId(), 1u);
    EXPECT_EQ(PersonManager::currentYieldTypeWithPersonId(1), 3);
    EXPECT_EQ(PersonManager::currentMonsterIdWithPersonId(1), 1u);
    EXPECT_EQ(PersonManager::currentDungeonIdWithPersonId(1), 1u);
    EXPECT_EQ(DungeonManager::currentExploreCntWithDungeonId(1), countBefore + 1);
    EXPECT_TRUE(stage->isAnyoneMovingForBack());
    // Only one per call: person 2 is still away and still.
    EXPECT_FALSE(person(2)->isMovingForBack());

    settle();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0], "battling");
    // Out of sight for 1.2 s, then small and faded at the entrance.
    advanceTo(t0 + 1.19);
    EXPECT_TRUE(p->isHidden());
    advanceTo(t0 + 1.21);
    EXPECT_FALSE(p->isHidden());
    EXPECT_LT(p->presentationTransform().scaleX(), 0.35);
    EXPECT_NEAR(p->presentationCenter().y, 0.0, 2.0);
    // The walk home takes 1.3 s.
    advanceTo(t0 + 2.49);
    settle();
    EXPECT_EQ(count("comebackDidEnd"), 0u);
    EXPECT_TRUE(p->isMovingForBack());
    advanceTo(t0 + 2.51);
    settle();
    EXPECT_EQ(count("comebackDidEnd"), 1u);
    EXPECT_FALSE(p->isMovingForBack());
    EXPECT_TRUE(near(p->presentationCenter(), Point(296, 128)));
    EXPECT_TRUE(p->transform().isIdentity());
    EXPECT_NEAR(p->alpha(), 1.0, 1e-9);
    EXPECT_FALSE(PersonManager::isPersonExploring(1));
    ASSERT_EQ(stage->yieldPersons(1).size(), 1u);
    EXPECT_EQ(stage->yieldPersons(1)[0], p);
    EXPECT_TRUE(p->myTimer().isValid());  // the yield bobs
    EXPECT_TRUE(stage->isAnyoneHavingYield());

    // The next call brings the next person in front: person 2.
    stage->comebackOnePersonWithResult(true, true);
    EXPECT_TRUE(person(2)->isMovingForBack());
    EXPECT_FALSE(person(3)->isMovingForBack());
}

TEST_F(StageComebackTest, ACoffinTumblesHomeInHalfASecond) {
    stage->drawPersons();
    stage->setCurrentDungeonInfo(dungeonInfo(2));
    sendEveryoneOff();
    recordEvents({"battling", "comebackDidEnd"});
    const double t0 = now();
    stage->comebackOnePersonWithResult(true, true);
    auto p = person(1);
    EXPECT_EQ(p->currentYieldType(), 2u);
    EXPECT_EQ(PersonManager::currentYieldTypeWithPersonId(1), 2);
    settle();
    EXPECT_EQ(count("battling"), 1u);

    advanceTo(t0 + 1.21);
    // Turned by 90..261 degrees as it comes out.
    const double turn = std::fabs(p->transform().rotation());
    EXPECT_GT(turn, 0.0);
    advanceTo(t0 + 1.45);
    EXPECT_GT(std::fabs(p->presentationTransform().rotation()), 1e-3);
    advanceTo(t0 + 1.69);
    settle();
    EXPECT_EQ(count("comebackDidEnd"), 0u);
    advanceTo(t0 + 1.71);
    settle();
    EXPECT_EQ(count("comebackDidEnd"), 1u);
    // Upright at rest, the coffin picture, and in its group.
    EXPECT_TRUE(p->transform().isIdentity());
    EXPECT_EQ(p->personImgView()->image(), Image::named("k.png"));
    EXPECT_EQ(stage->yieldPersons(1).size(), 1u);
    EXPECT_TRUE(p->isBeforeCheck());
}

TEST_F(StageComebackTest, ComingBackEmptyHandedPostsNoBattle) {
    stage->drawPersons();
    stage->setCurrentDungeonInfo(dungeonInfo(4));  // nothing lives there
    sendEveryoneOff();
    recordEvents({"battling", "comebackDidEnd"});
    const double t0 = now();
    stage->comebackOnePersonWithResult(true, true);
    EXPECT_EQ(person(1)->currentYieldType(), 0u);
    settle();
    EXPECT_EQ(count("battling"), 0u);
    // No battle, no wait: in view at once and home after 1.3 s.
    EXPECT_FALSE(person(1)->isHidden());
    advanceTo(t0 + 1.29);
    settle();
    EXPECT_EQ(count("comebackDidEnd"), 0u);
    advanceTo(t0 + 1.31);
    settle();
    EXPECT_EQ(count("comebackDidEnd"), 1u);
    EXPECT_TRUE(stage->yieldPersons(1).empty());
    EXPECT_FALSE(stage->isAnyoneHavingYield());

    // With result NO nobody meets anything either, even in a dungeon full of monsters.
    stage->setCurrentDungeonInfo(dungeonInfo(1));
    stage->comebackOnePersonWithResult(false, true);
    EXPECT_EQ(person(2)->currentYieldType(), 0u);
    settle();
    EXPECT_EQ(count("battling"), 0u);
}

TEST_F(StageComebackTest, AllTogetherReturnLowestIdFirstWithoutBattles) {
    stage->drawPersons();
    stage->setCurrentDungeonInfo(dungeonInfo(1));
    sendEveryoneOff();
    recordEvents({"battling", "comebackDidEnd"});
    const double t0 = now();
    stage->comebackAllPersonWithResult(true, true);
    // Everyone is resolved at once and counted as an explore each.
    for (const auto& p : stage->persons()) {
        EXPECT_TRUE(p->isMovingForBack());
        EXPECT_EQ(p->currentYieldType(), 3u);
    }
    EXPECT_EQ(DungeonManager::currentExploreCntWithDungeonId(1), 20u);
    settle();
    EXPECT_EQ(count("battling"), 0u);

    // Person k starts (k - 1) x 0.05 s after person 1: person 20 at 0.95 s.
    EXPECT_FALSE(person(1)->isHidden());
    advanceTo(t0 + 0.94);
    EXPECT_TRUE(person(20)->isHidden());
    EXPECT_FALSE(person(19)->isHidden());
    advanceTo(t0 + 0.96);
    EXPECT_FALSE(person(20)->isHidden());

    // Arrivals: person 1 at 1.3 s, person 20 at 2.25 s.
    advanceTo(t0 + 1.29);
    settle();
    EXPECT_EQ(count("comebackDidEnd"), 0u);
    advanceTo(t0 + 1.31);
    settle();
    EXPECT_EQ(count("comebackDidEnd"), 1u);
    advanceTo(t0 + 2.24);
    settle();
    EXPECT_EQ(count("comebackDidEnd"), 19u);
    advanceTo(t0 + 2.26);
    settle();
    EXPECT_EQ(count("comebackDidEnd"), 20u);
    EXPECT_FALSE(stage->isAnyoneExploring());
    EXPECT_FALSE(stage->isAnyoneMovingForBack());
    // Every group holds its row, in arrival order (lowest id first).
    EXPECT_EQ(stage->yieldPersons(1).size(), 8u);
    EXPECT_EQ(stage->yieldPersons(2).size(), 7u);
    EXPECT_EQ(stage->yieldPersons(3).size(), 5u);
    EXPECT_TRUE(stage->yieldPersons(4).empty());
    EXPECT_EQ(stage->yieldPersons(1).front()->personId(), 1);
    EXPECT_EQ(stage->yieldPersons(2).back()->personId(), 15);

    // Nobody left to bring back.
    stage->comebackOnePersonWithResult(true, true);
    stage->comebackAllPersonWithResult(true, true);
    EXPECT_FALSE(stage->isAnyoneMovingForBack());
}

TEST_F(StageComebackTest, WithoutAnimationEveryoneIsHomeAtOnce) {
    stage->drawPersons();
    stage->setCurrentDungeonInfo(dungeonInfo(2));
    sendEveryoneOff();
    recordEvents({"battling", "comebackDidEnd"});
    stage->comebackOnePersonWithResult(true, false);
    stage->comebackAllPersonWithResult(false, false);
    for (const auto& p : stage->persons()) {
        EXPECT_FALSE(p->isHidden());
        EXPECT_FALSE(p->isMovingForBack());
        EXPECT_TRUE(near(p->center(), stage->positionOfPersonId(p->personId())));
        EXPECT_TRUE(p->transform().isIdentity());
        EXPECT_NEAR(p->alpha(), 1.0, 1e-9);
    }
    // The first came back a coffin (no battle is announced without animation); the rest empty.
    EXPECT_EQ(person(1)->currentYieldType(), 2u);
    EXPECT_EQ(person(1)->personImgView()->image(), Image::named("k.png"));
    EXPECT_EQ(person(2)->currentYieldType(), 0u);
    settle();
    EXPECT_EQ(count("battling"), 0u);
    EXPECT_EQ(count("comebackDidEnd"), 20u);
    EXPECT_TRUE(PersonManager::getInstance()->explorings().empty());
}

TEST_F(StageComebackTest, PersonsStillWalkingOffAreNotCalledBack) {
    stage->drawPersons();
    stage->setCurrentDungeonInfo(dungeonInfo(1));
    stage->moveAllPersonsForExplore();
    // Everyone is recorded as exploring but still on the way: nobody can be called back.
    stage->comebackOnePersonWithResult(true, true);
    stage->comebackAllPersonWithResult(true, true);
    EXPECT_FALSE(stage->isAnyoneMovingForBack());
    EXPECT_EQ(DungeonManager::currentExploreCntWithDungeonId(1), 0u);
    for (const auto& p : stage->persons()) EXPECT_EQ(p->currentYieldType(), 0u);
}

TEST_F(StageComebackTest, ResetPosesStaggersByPersonId) {
    stage->drawPersons();
    advance(1.0);
    for (const auto& p : stage->persons()) p->showWaitingCheck();  // still pictures
    const double t0 = now();
    stage->resetPersonPoses();
    // Person 1 idles at once, person 20 after 19 x 0.02 = 0.38 s.
    EXPECT_TRUE(person(1)->personImgView()->isAnimating());
    EXPECT_FALSE(person(2)->personImgView()->isAnimating());
    advanceTo(t0 + 0.37);
    EXPECT_TRUE(person(19)->personImgView()->isAnimating());
    EXPECT_FALSE(person(20)->personImgView()->isAnimating());
    advanceTo(t0 + 0.39);
    EXPECT_TRUE(person(20)->personImgView()->isAnimating());
}

}  // namespace
}  // namespace stagetests
