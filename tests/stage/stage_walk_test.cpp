// The stage's party: slots and stacking, walking off into the dungeon and coming back one at a
// time or all together, measured on the manual clock.
#include <cmath>
#include <numbers>

#include "model/DungeonManager.h"
#include "stage_test_support.h"

namespace stagetests {
namespace {

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

TEST_F(StageWalkTest, PersonsStandInRowsLowerIdsInFrontAsRecorded) {
    const std::pair<int, int> groups[] = {{8, 1}, {9, 2}, {21, 3}, {26, 4}, {27, 5}};
    for (const auto& [id, group] : groups) EXPECT_EQ(StageView::groupOfPersonId(id), group) << id;
    // A member joining later goes directly behind person 20; a lost base person comes back in place.
    storeHolder(3, 3, 1, 1);
    PersonManager::getInstance()->addExploringsWithPersonId(7);  // out when the stage was drawn
    stage->drawPersons();
    stage->drawPersons();  // a redraw starts over
    EXPECT_TRUE(person(7)->isHidden());
    EXPECT_EQ(stage->yieldPersons(1), (std::vector<std::shared_ptr<PersonView>>{person(3)}));
    person(5)->removeFromSuperview();
    addMembers(1);
    stage->drawAddedPersons();
    const auto persons = stage->persons();
    ASSERT_EQ(persons.size(), 21u);
    for (int i = 0; i < 21; ++i) EXPECT_EQ(persons[static_cast<size_t>(i)]->personId(), 21 - i);
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
    EXPECT_EQ(person(3)->center(), Point(160, 0));
    stage->setCurrentDungeonInfo(dungeonInfo(kWinsMonster1));  // nor called back
    stage->comebackOnePersonWithResult(true, true);
    stage->comebackAllPersonWithResult(true, true);
    EXPECT_FALSE(stage->isAnyoneMovingForBack());
    // Person 1 leaves last, 19 x 0.016 = 0.304 s after person 20.
    advanceTo(t0 + 0.300);
    EXPECT_EQ(person(1)->presentationCenter(), Point(296, 128));
    advanceTo(t0 + 0.310);
    EXPECT_NE(person(1)->presentationCenter(), Point(296, 128));
    // Each walk takes 0.8 s: the first ends at 0.8 s, the last at 1.104 s.
    expectCountAround("moveDidEnd", 0.8, 0);
    expectCountAround("moveDidEnd", 1.104, 19);
    for (const auto& p : stage->persons()) EXPECT_TRUE(p->isHidden());
    EXPECT_EQ(DungeonManager::currentExploreCntWithDungeonId(kWinsMonster1), 0u);
}

TEST_F(StageWalkTest, OneAtATimeWithAMonsterAnnouncesTheBattleThenArrives) {
    sendOffTo(kWinsMonster1);
    stage->comebackOnePersonWithResult(true, true);
    // The front person comes back; the result is settled and stored at once.
    auto p = person(1);
    EXPECT_EQ(PersonManager::currentYieldTypeWithPersonId(1), 3);
    EXPECT_EQ(DungeonManager::currentExploreCntWithDungeonId(kWinsMonster1), 1u);
    EXPECT_FALSE(person(2)->isMovingForBack());  // only one per call
    settle();
    EXPECT_EQ(events, (Strings{"battling"}));
    // Out of sight for 1.2 s, then at the entrance; home 1.3 s later.
    advanceTo(t0 + 1.19);
    EXPECT_TRUE(p->isHidden());
    advanceTo(t0 + 1.21);
    EXPECT_FALSE(p->isHidden());
    expectCountAround("comebackDidEnd", 2.5, 0);
    EXPECT_EQ(p->presentationCenter(), Point(296, 128));
    EXPECT_EQ(stage->yieldPersons(1), (std::vector<std::shared_ptr<PersonView>>{p}));
    EXPECT_TRUE(p->myTimer().isValid());  // the yield bobs
    stage->setCurrentDungeonInfo(dungeonInfo(kNothing));  // no battle, no wait
    stage->comebackOnePersonWithResult(true, true);
    expectCountAround("comebackDidEnd", 2.51 + 1.3, 1);
    stage->setCurrentDungeonInfo(dungeonInfo(kWinsMonster1));  // with result NO nobody meets anything
    stage->comebackOnePersonWithResult(false, true);
    settle();
    EXPECT_EQ(count("battling"), 1u);
}

TEST_F(StageWalkTest, ACoffinTumblesHomeInHalfASecond) {
    sendOffTo(kLosesTo12);
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

TEST_F(StageWalkTest, AllTogetherReturnLowestIdFirstWithoutBattles) {
    sendOffTo(kWinsMonster1);
    stage->comebackAllPersonWithResult(true, true);
    EXPECT_EQ(DungeonManager::currentExploreCntWithDungeonId(kWinsMonster1), 20u);
    // Person k starts (k - 1) x 0.05 s after person 1 and is home 1.3 s later.
    expectCountAround("comebackDidEnd", 1.3, 0);
    expectCountAround("comebackDidEnd", 2.25, 19);
    EXPECT_EQ(count("battling"), 0u);
    // Every group holds its row, in arrival order (lowest id first).
    EXPECT_EQ(stage->yieldPersons(1).size(), 8u);
    EXPECT_EQ(stage->yieldPersons(1).front()->personId(), 1);
    EXPECT_EQ(stage->yieldPersons(2).back()->personId(), 15);
}

}  // namespace
}  // namespace stagetests
