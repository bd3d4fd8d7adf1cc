// The stage's party: slots and stacking, walking off into the dungeon and coming back one at a
// time or all together, measured on the manual clock.
#include <cmath>
#include <numbers>

#include "model/DungeonManager.h"
#include "stage_test_support.h"

namespace stagetests {
namespace {

bool near(Point a, Point b, double eps = 1e-6) { return std::fabs(a.x - b.x) < eps && std::fabs(a.y - b.y) < eps; }

Ids idsBackToFront(const StageView& stage) {
    Ids ids;
    for (const auto& p : stage.persons()) ids.push_back(p->personId());
    return ids;
}
Ids countingDown(int from) {
    Ids ids;
    for (int id = from; id >= 1; --id) ids.push_back(id);
    return ids;
}

class StageWalkTest : public StageViewTest {
protected:
    // Draws the party, sends everybody off and starts listening for the returns.
    void sendOffTo(int dungeon) {
        stage->drawPersons();
        stage->setCurrentDungeonInfo(dungeonInfo(dungeon));
        sendEveryoneOff();
        recordEvents({"battling", "comebackDidEnd"});
        t0 = now();
    }
    // Checks the number of events of `name` just before and just after an instant.
    void expectCountAround(const char* name, double t, size_t before) {
        advanceTo(t0 + t - 0.01);
        settle();
        EXPECT_EQ(count(name), before) << t;
        advanceTo(t0 + t + 0.01);
        settle();
        EXPECT_EQ(count(name), before + 1) << t;
    }
    double t0 = 0;
};

TEST_F(StageWalkTest, PersonsStandOnTheirSlotsLowerIdsInFrontAsRecorded) {
    const std::pair<int, Point> slots[] = {{1, {296, 128}}, {8, {23, 128}}, {9, {43, 98}}, {21, {61, 73}}, {30, {97, 34}}};
    for (const auto& [id, slot] : slots) EXPECT_TRUE(near(stage->positionOfPersonId(id), slot)) << id;
    const std::pair<int, int> groups[] = {{8, 1}, {9, 2}, {21, 3}, {26, 4}, {27, 5}};
    for (const auto& [id, group] : groups) EXPECT_EQ(StageView::groupOfPersonId(id), group) << id;
    // Added members stand behind; a redraw starts over.
    addMembers(10);
    stage->drawPersons();
    stage->drawPersons();
    EXPECT_EQ(idsBackToFront(*stage), countingDown(30));
    EXPECT_EQ(stage->subviews().back(), stage->throwStageView());  // in front of person 1
    // A member joining later goes directly behind person 20; a lost base person comes back in place.
    clearStore();
    storeHolder(3, 3, 1, 1);
    PersonManager::getInstance()->addExploringsWithPersonId(7);  // out when the stage was drawn
    stage->drawPersons();
    EXPECT_TRUE(person(7)->isHidden());
    EXPECT_EQ(stage->yieldPersons(1), (std::vector<std::shared_ptr<PersonView>>{person(3)}));
    person(5)->removeFromSuperview();
    store().setObject(Value{{"member_id", Value(1)}}, "member_1");
    stage->drawAddedPersons();
    EXPECT_EQ(idsBackToFront(*stage), countingDown(21));
    EXPECT_EQ(stage->subviews().back(), stage->throwStageView());
}

TEST_F(StageWalkTest, WalkingOffStaggersBackRowFirstAndEndsWithTwentyEvents) {
    stage->drawPersons();
    recordEvents({"moveDidEnd"});
    t0 = now();
    stage->moveAllPersonsForExplore();
    const auto out = PersonManager::getInstance()->explorings();  // recorded at once, back first
    ASSERT_EQ(out.size(), 20u);
    EXPECT_EQ(out.front(), 20);
    stage->moveOnePerson(*person(3), Point(0, 0), 0);  // a walking person is not sent again
    EXPECT_TRUE(near(person(3)->center(), Point(160, 0)));
    // Person 1 leaves last, 19 x 0.016 = 0.304 s after person 20.
    advanceTo(t0 + 0.300);
    EXPECT_TRUE(near(person(1)->presentationCenter(), Point(296, 128)));
    advanceTo(t0 + 0.310);
    EXPECT_FALSE(near(person(1)->presentationCenter(), Point(296, 128)));
    // Each walk takes 0.8 s: the first ends at 0.8 s, the last at 1.104 s.
    expectCountAround("moveDidEnd", 0.8, 0);
    expectCountAround("moveDidEnd", 1.104, 19);
    for (const auto& p : stage->persons()) EXPECT_TRUE(p->isHidden());
    stage->moveAllPersonsForExplore();  // nobody left at home
    advance(2);
    settle();
    EXPECT_EQ(count("moveDidEnd"), 20u);
}

TEST_F(StageWalkTest, OneAtATimeWithAMonsterAnnouncesTheBattleThenArrives) {
    sendOffTo(1);
    stage->comebackOnePersonWithResult(true, true);
    // The front person comes back; the result is settled and stored at once.
    auto p = person(1);
    EXPECT_EQ(PersonManager::currentYieldTypeWithPersonId(1), 3);
    EXPECT_EQ(DungeonManager::currentExploreCntWithDungeonId(1), 1u);
    EXPECT_FALSE(person(2)->isMovingForBack());  // only one per call
    settle();
    EXPECT_EQ(events, (Strings{"battling"}));
    // Out of sight for 1.2 s, then small and faded at the entrance; home 1.3 s later.
    advanceTo(t0 + 1.19);
    EXPECT_TRUE(p->isHidden());
    advanceTo(t0 + 1.21);
    EXPECT_FALSE(p->isHidden());
    expectCountAround("comebackDidEnd", 2.5, 0);
    EXPECT_TRUE(near(p->presentationCenter(), Point(296, 128)));
    EXPECT_EQ(stage->yieldPersons(1), (std::vector<std::shared_ptr<PersonView>>{p}));
    EXPECT_TRUE(p->myTimer().isValid());  // the yield bobs
}

TEST_F(StageWalkTest, ACoffinTumblesHomeInHalfASecond) {
    sendOffTo(2);
    stage->comebackOnePersonWithResult(true, true);
    auto p = person(1);
    EXPECT_EQ(PersonManager::currentYieldTypeWithPersonId(1), 2);
    // In view turned by 90..261 degrees, still turned on the way, home in 0.5 s.
    advanceTo(t0 + 1.21);
    EXPECT_GT(std::fabs(p->transform().rotation()), std::numbers::pi / 2 - 0.05);
    advanceTo(t0 + 1.45);
    EXPECT_GT(std::fabs(p->presentationTransform().rotation()), 1e-3);
    expectCountAround("comebackDidEnd", 1.7, 0);
    advance(0.5);  // upright at rest, and staying so
    EXPECT_TRUE(p->transform().isIdentity());
    EXPECT_EQ(p->personImgView()->image(), Image::named("k.png"));
}

TEST_F(StageWalkTest, ComingBackEmptyHandedPostsNoBattle) {
    sendOffTo(4);  // nothing lives there
    stage->comebackOnePersonWithResult(true, true);
    settle();
    EXPECT_FALSE(person(1)->isHidden());  // no battle, no wait: in view at once
    expectCountAround("comebackDidEnd", 1.3, 0);
    // With result NO nobody meets anything either, even in a dungeon full of monsters.
    stage->setCurrentDungeonInfo(dungeonInfo(1));
    stage->comebackOnePersonWithResult(false, true);
    settle();
    EXPECT_EQ(count("battling"), 0u);
}

TEST_F(StageWalkTest, AllTogetherReturnLowestIdFirstWithoutBattles) {
    sendOffTo(1);
    stage->comebackAllPersonWithResult(true, true);
    EXPECT_EQ(DungeonManager::currentExploreCntWithDungeonId(1), 20u);
    // Person k starts (k - 1) x 0.05 s after person 1: person 20 at 0.95 s, home 1.3 s later.
    advanceTo(t0 + 0.94);
    EXPECT_TRUE(person(20)->isHidden());
    advanceTo(t0 + 0.96);
    EXPECT_FALSE(person(20)->isHidden());
    expectCountAround("comebackDidEnd", 1.3, 0);
    expectCountAround("comebackDidEnd", 2.25, 19);
    EXPECT_EQ(count("battling"), 0u);
    // Every group holds its row, in arrival order (lowest id first).
    EXPECT_EQ(stage->yieldPersons(1).size(), 8u);
    EXPECT_EQ(stage->yieldPersons(1).front()->personId(), 1);
    EXPECT_EQ(stage->yieldPersons(2).back()->personId(), 15);
}

TEST_F(StageWalkTest, WithoutAnimationEveryoneIsHomeAtOnce) {
    sendOffTo(2);
    stage->comebackOnePersonWithResult(true, false);
    stage->comebackAllPersonWithResult(false, false);
    for (const auto& p : stage->persons()) {
        EXPECT_FALSE(p->isHidden());
        EXPECT_TRUE(near(p->center(), stage->positionOfPersonId(p->personId())));
        EXPECT_TRUE(p->transform().isIdentity());
    }
    // The first came back a coffin (no battle is announced without animation); the rest empty.
    EXPECT_EQ(person(1)->personImgView()->image(), Image::named("k.png"));
    settle();
    EXPECT_EQ(count("battling"), 0u);
    EXPECT_EQ(count("comebackDidEnd"), 20u);
}

TEST_F(StageWalkTest, PersonsStillWalkingOffAreNotCalledBackAndPosesResetInTurn) {
    stage->drawPersons();
    stage->setCurrentDungeonInfo(dungeonInfo(1));
    stage->moveAllPersonsForExplore();
    stage->comebackOnePersonWithResult(true, true);
    stage->comebackAllPersonWithResult(true, true);
    EXPECT_FALSE(stage->isAnyoneMovingForBack());
    EXPECT_EQ(DungeonManager::currentExploreCntWithDungeonId(1), 0u);
    stage->drawPersons();
    advance(1.0);
    for (const auto& p : stage->persons()) p->showWaitingCheck();  // still pictures
    t0 = now();
    stage->resetPersonPoses();
    // Person 1 idles at once, person 20 after 19 x 0.02 = 0.38 s.
    EXPECT_TRUE(person(1)->personImgView()->isAnimating());
    advanceTo(t0 + 0.37);
    EXPECT_FALSE(person(20)->personImgView()->isAnimating());
    advanceTo(t0 + 0.39);
    EXPECT_TRUE(person(20)->personImgView()->isAnimating());
}

}  // namespace
}  // namespace stagetests
