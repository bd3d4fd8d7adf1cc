// The stage: the party's rows, walking off into the dungeon and coming back, and collecting by
// touch and swipe, measured on the manual clock.
#include <cmath>
#include <numbers>

#include "explore/BalloonView.h"
#include "model/DungeonManager.h"
#include "stage_test_support.h"

namespace stagetests {
namespace {

TEST_F(StageViewTest, PersonsStandInRowsLowerIdsInFrontAsRecorded) {
    const std::pair<int, int> groups[] = {{8, 1}, {9, 2}, {21, 3}, {26, 4}, {27, 5}};
    for (const auto& [id, group] : groups) EXPECT_EQ(StageView::groupOfPersonId(id), group) << id;
    // A member joining later goes directly behind person 20; a lost base person comes back in place.
    PersonManager::updatePersonInfoWithId(3, 3, 1, 1);
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

TEST_F(StageViewTest, WalkingOffStaggersBackRowFirstAndEndsWithTwentyEvents) {
    stage->drawPersons();
    recordEvents({"moveDidEnd"});
    t0 = now();
    stage->moveAllPersonsForExplore();
    const auto out = PersonManager::getInstance()->explorings();  // recorded at once, back first
    ASSERT_EQ(out.size(), 20u);
    EXPECT_EQ(out.front(), 20);
    stage->setCurrentDungeonInfo(dungeonInfo(kWinsMonster1));  // a walking person is not called back
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
}

TEST_F(StageViewTest, OneAtATimeWithAMonsterAnnouncesTheBattleThenArrives) {
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
    EXPECT_EQ(count("battling"), 1u);
}

TEST_F(StageViewTest, ACoffinTumblesHomeInHalfASecond) {
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

TEST_F(StageViewTest, BandsCoverTheHoldersAndTallYieldsAboveTheStageAreTouchable) {
    PersonManager::updatePersonInfoWithId(1, 3, 99, 5);  // 160 x 200: carried at 40 x 50, 10 points over the head
    PersonManager::updatePersonInfoWithId(2, 2, 0, 0);
    PersonManager::updatePersonInfoWithId(9, 3, 1, 1);  // m1 is carried at 40 x 40, its top 2 points above the head
    addMembers(10);
    PersonManager::updatePersonInfoWithId(30, 3, 99, 5);  // slot (97, 34): the monster's top is at 34 - 30 - 10 = -6
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

TEST_F(StageViewTest, APersonClosedInOnItsWayHomeIsHomeWithItsYield) {
    // The game was closed while person 7 walked home with a monster: still out, its yield recorded.
    PersonManager::updatePersonInfoWithId(7, 3, 1, 1);
    PersonManager::getInstance()->addExploringsWithPersonId(7);
    PersonManager::getInstance()->addExploringsWithPersonId(8);
    stage->drawPersons();
    EXPECT_FALSE(person(7)->isHidden());
    EXPECT_EQ(PersonManager::getInstance()->explorings(), (std::vector<int64_t>{8}));
    EXPECT_EQ(stage->yieldPersons(1), (std::vector<std::shared_ptr<PersonView>>{person(7)}));
    // The next return is person 8's; person 7 does not come back a second time.
    stage->setCurrentDungeonInfo(dungeonInfo(kWinsMonster1));
    stage->comebackOnePersonWithResult(true, true);
    EXPECT_TRUE(person(8)->isMovingForBack());
    EXPECT_FALSE(person(7)->isMovingForBack());
    tap(stage->positionOfPersonId(7) - Point(0, 8));
    EXPECT_TRUE(collecting(7));
    advance(3);
    finishRecordings();
    EXPECT_EQ(GoldManager::getInstance()->currentGold(), 10u);
}

TEST_F(StageViewTest, ASwipeCollectsOnePersonPerEventTheFrontRowFirst) {
    drawWithHolders(16);
    // x 62, y 120 lies on person 7 (front row) and on persons 9 and 10 (second row); each move
    // collects one more, in the order the second row joined its group (15 down to 9).
    window->touchDown(screen(Point(62, 120)));
    EXPECT_TRUE(collecting(7));
    EXPECT_FALSE(collecting(10));
    window->touchMove(screen(Point(62.5, 120)));
    EXPECT_TRUE(collecting(10));
    EXPECT_FALSE(collecting(9));
    // Then right to left along y 120: rows 1 and 2, not row 3 (person 16 ends at 103).
    for (double x = 320; x >= 0; x -= 4) window->touchMove(screen(Point(x, 120)));
    window->touchUp(screen(Point(0, 120)));
    for (int id = 1; id <= 15; ++id) EXPECT_TRUE(collecting(id)) << id;
    EXPECT_FALSE(collecting(16));
}

TEST_F(StageViewTest, AYieldFromTheRightEndDriftsSixtyPointsLeftAndLandsForItsGold) {
    drawWithHolders(1);
    const double t0 = now();
    tap(Point(296, 120));
    advanceTo(t0 + 0.51);  // the yield drops for 0.5 s, then the stage takes it into the throw layer
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

TEST_F(StageViewTest, EachCollectionEndsWithAPoseAClearedRecordAndAnEvent) {
    PersonManager::updatePersonInfoWithId(1, 2, 0, 0);
    PersonManager::updatePersonInfoWithId(2, 2, 0, 0);
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

TEST_F(StageViewTest, TheBossBalloonShowsAtTheKillAndHidesAtTheNextCollection) {
    auto balloon = stage->bossBalloon();
    sendOffTo(kBossAtEntrance);
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


// A flush can come at any write (the explore's end, a boss, the store's own flusher): at each
// write of a collection, what a flush would keep has the yield still held, or cleared together
// with its gold and its hunt; never cleared with the gold or the monster missing.
TEST_F(StageViewTest, AKillAtAnyWriteOfACollectionKeepsTheYieldOrItsGoldAndHunt) {
    drawWithHolders(2);
    std::vector<Value> flushed;
    store().setChangeObserver([&](const std::string&) { flushed.push_back(store().dictionaryRepresentation()); });
    tap(Point(296, 120));
    advance(3);
    finishRecordings();
    tap(Point(257, 120));
    advance(3);
    finishRecordings();
    store().setChangeObserver(nullptr);
    ASSERT_FALSE(flushed.empty());
    for (size_t i = 0; i < flushed.size(); ++i) {
        const Value& file = flushed[i];
        int64_t cleared = 0;
        for (const char* key : {"person_1", "person_2"}) cleared += file[key]["yieldType"].integerValue() == 0;
        EXPECT_EQ(file["gold"].integerValue(), 10 * cleared) << "write " << i;
        int64_t hunted = 0;
        for (size_t m = 0; m < file["monsters"].count(); ++m) hunted += file["monsters"][m]["times"].integerValue();
        EXPECT_EQ(hunted, cleared) << "write " << i;
    }
    EXPECT_EQ(flushed.back()["gold"].integerValue(), 20);
}
}  // namespace
}  // namespace stagetests
