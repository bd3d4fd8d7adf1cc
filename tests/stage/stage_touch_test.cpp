// Collecting on the stage: the yield groups and their hit bands, touches and swipes delivered
// through the window, the throw towards the king, the end of each collection and the boss balloon.
#include <cmath>
#include <numbers>

#include "explore/BalloonView.h"
#include "stage_test_support.h"

namespace stagetests {
namespace {

class StageTouchTest : public StageViewTest {
protected:
    // Draws the party with persons 1..upTo holding monster 1 of dungeon 1.
    void drawWithHolders(int upTo) {
        for (int id = 1; id <= upTo; ++id) storeHolder(id, 3, 1, 1);
        stage->drawPersons();
    }
    bool collecting(int id) const { return person(id)->isCheking(); }
    void finishRecordings() {
        PersonView::waitForRecordings();
        settle();
    }
};

TEST_F(StageTouchTest, BandsCoverTheHoldersAndTallYieldsAboveTheStageAreTouchable) {
    storeHolder(1, 3, 99, 5);  // 160 x 200: carried at 40 x 50, 10 points over the head
    storeHolder(2, 2);
    storeHolder(9, 3, 1, 1);  // m1 is carried at 40 x 40, its top 2 points above the head
    addMembers(10);
    storeHolder(30, 3, 99, 5);  // slot (97, 34): the monster's top is at 34 - 30 - 10 = -6
    stage->drawPersons();
    EXPECT_DOUBLE_EQ(stage->minY(1), 88);
    EXPECT_DOUBLE_EQ(stage->minY(2), 66);
    EXPECT_DOUBLE_EQ(stage->minY(5), -6);
    // Below every band, on bare ground in a band, on a waiting person of a row: nothing.
    for (Point p : {Point(296, 200), Point(200, 150), Point(218, 130)}) tap(p);
    EXPECT_FALSE(collecting(1) || collecting(2) || collecting(9));
    tap(Point(257, 98));  // the coffin, at the very top of its own rectangle
    EXPECT_TRUE(collecting(2));
    tap(Point(296, 89));  // the tall monster, in the overhang above its carrier's head
    EXPECT_TRUE(collecting(1));
    tap(Point(97, -4));  // above the stage
    EXPECT_TRUE(collecting(30));
    EXPECT_TRUE(stage->yieldPersons(1).empty());
}

TEST_F(StageTouchTest, ASwipeCollectsOnePersonPerEventTheFrontRowFirst) {
    drawWithHolders(16);
    // x 62, y 120 lies on person 7 (front row) and on persons 9 and 10 (second row); each move
    // collects one more, in the order the second row joined its group (15 down to 9).
    window->touchDown(screen(Point(62, 120)));
    EXPECT_TRUE(collecting(7));
    EXPECT_FALSE(collecting(10));
    window->touchMove(screen(Point(62.5, 120)));
    EXPECT_TRUE(collecting(10));
    EXPECT_FALSE(collecting(9));
    // Then along y 120 from the right edge to the left, across rows 1 and 2 but not row 3
    // (person 16 ends at 103).
    for (double x = 320; x >= 0; x -= 4) window->touchMove(screen(Point(x, 120)));
    window->touchUp(screen(Point(0, 120)));
    for (int id = 1; id <= 15; ++id) EXPECT_TRUE(collecting(id)) << id;
    EXPECT_FALSE(collecting(16));
}

TEST_F(StageTouchTest, AYieldFromTheRightEndDriftsSixtyPointsLeftAndLandsForItsGold) {
    drawWithHolders(1);
    const double t0 = now();
    tap(Point(296, 120));
    advanceTo(t0 + 0.49);  // the yield drops for 0.5 s, then the stage takes it into the throw layer
    EXPECT_TRUE(stage->throwStageView()->subviews().empty());
    advanceTo(t0 + 0.51);
    ASSERT_EQ(stage->throwStageView()->subviews().size(), 1u);
    auto yield = stage->throwStageView()->subviews()[0];
    // Thrown from (296, 78): up 120 points and 60 to the left (x 236), growing to
    // 2.0 - 40 / 100 = 1.6, upside down as carried; then down to 480 - 320 - 78 + 200 = 282.
    advanceTo(t0 + 0.5 + 0.3);
    EXPECT_NEAR(yield->presentationCenter().x, 236, 0.5);
    EXPECT_NEAR(yield->presentationCenter().y, -42, 0.5);
    EXPECT_NEAR(yield->presentationTransform().scaleX(), 1.6, 0.01);
    EXPECT_NEAR(std::fabs(yield->presentationTransform().rotation()), std::numbers::pi, 1e-9);
    // The fall of 324 points takes 0.4 x 324 / 320 s after a 0.1 s pause.
    const double landing = t0 + 0.5 + 0.3 + 0.1 + 0.4 * 324.0 / 320.0;
    advanceTo(landing - 0.01);
    EXPECT_EQ(GoldManager::getInstance()->currentGold(), 0u);
    advanceTo(landing + 0.01);
    finishRecordings();
    EXPECT_EQ(GoldManager::getInstance()->currentGold(), 10u);
    EXPECT_TRUE(stage->throwStageView()->subviews().empty());
}

TEST_F(StageTouchTest, EachCollectionEndsWithAPoseAClearedRecordAndAnEvent) {
    storeHolder(1, 2);
    storeHolder(2, 2);
    stage->drawPersons();
    recordEvents({"checkDidEnd"});
    tap(Point(257, 120));
    tap(Point(257, 121));  // touching the one being collected again changes nothing
    finishRecordings();
    EXPECT_EQ(count("checkDidEnd"), 1u);
    // Person 1 still holds its coffin, so person 2 waits with the still picture.
    EXPECT_EQ(person(2)->personImgView()->image(), PoseManager::getInstance()->waitingImage());
    EXPECT_EQ(PersonManager::currentYieldTypeWithPersonId(2), 0);
    tap(Point(296, 120));
    finishRecordings();
    EXPECT_EQ(count("checkDidEnd"), 2u);
    EXPECT_TRUE(person(1)->personImgView()->isAnimating());  // the last one idles at once
}

TEST_F(StageTouchTest, TheBossBalloonShowsAtTheKillAndHidesAtTheNextCollection) {
    stage->drawPersons();
    auto balloon = stage->bossBalloon();
    stage->setCurrentDungeonInfo(dungeonInfo(kBossAtEntrance));
    sendEveryoneOff();
    stage->comebackOnePersonWithResult(true, true);
    ASSERT_EQ(person(1)->currentMonsterId(), 5u);
    EXPECT_TRUE(balloon->isHidden());
    settle();
    EXPECT_FALSE(balloon->isHidden());  // up before the hunter is even home
    stage->comebackOnePersonWithResult(true, true);
    advance(3);
    settle();
    tap(Point(257, 120));  // anybody collected (here not the hunter) puts it away
    ASSERT_TRUE(collecting(2));
    advance(0.3);
    EXPECT_TRUE(balloon->isHidden());
    // A destroyed stage stops listening and lets go of its persons.
    auto kept = person(4);
    stage->removeFromSuperview();
    stage.reset();
    EXPECT_EQ(NotificationCenter::defaultCenter().observerCount("bossHunted"), 0u);
    EXPECT_EQ(kept->delegate(), nullptr);
}

}  // namespace
}  // namespace stagetests
