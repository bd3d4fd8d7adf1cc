// The return schedule, where the scenario scripts cannot reach: a speed item bought mid-explore,
// what a suspended explore leaves to collect, the map list's break-off, a poll without a stored
// start and the battle quake.
#include "controller_support.h"

namespace controllertests {
namespace {

class ControllerScheduleTest : public ControllerTest {
protected:
    void SetUp() override {
        ControllerTest::SetUp();
        store().setInteger(2, Keys::currentDungeonId);  // 6 s
        store().setBool(true, Keys::waitTutorialShown);
        store().setBool(true, Keys::swipeTutorialShown);
        load();
        start = startExploreByTouch();
        letEveryoneLeave();
    }
    double start = 0;
};

TEST_F(ControllerScheduleTest, AFasterIntervalMovesTheReturnsButNotTheNotifications) {
    advance(start + 13.01 - wall());
    ASSERT_EQ(numComeback(), 2);
    const auto before = notifications->scheduledLocalNotifications();
    store().setFloat(0.5f, Keys::timeRate);  // a speed item: 3 s
    NMCommon::sendNotification("equipUpdated");
    settle();
    EXPECT_EQ(ctr->currentInterval(), 3.0);
    advance(1.0);
    EXPECT_EQ(numComeback(), 4);  // floor(14.01 / 3)
    const auto after = notifications->scheduledLocalNotifications();
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < after.size(); ++i) EXPECT_EQ(after[i].fireDate, before[i].fireDate);
}

TEST_F(ControllerScheduleTest, SuspendingLeavesOnlyTheReturnedHoldingAnything) {
    advance(start + 17.01 - wall());  // two back, their walks over; the third is due at 18
    ASSERT_EQ(numComeback(), 2);
    tapSuspend();
    ASSERT_TRUE(alertShown());
    EXPECT_EQ(alertText(), NSLocalizedString("Suspend"));
    EXPECT_EQ(alert()->alertTag(), ViewController::kSuspendTag);
    pressAlertOK();
    EXPECT_FALSE(ctr->isTimerRunning());
    advance(4.0);
    EXPECT_EQ(exploringCount(), 0);
    int holders = 0;
    for (const auto& p : ctr->stageView()->persons()) holders += p->currentYieldType() != PersonView::kYieldNothing;
    EXPECT_EQ(holders, 2);
    collectEverything();
    EXPECT_FALSE(ctr->exploreBtnContainer()->isHidden());
}

TEST_F(ControllerScheduleTest, TheMapListBreaksOffWithoutAnimation) {
    advance(start + 6.5 - wall());
    NMCommon::sendNotification("exploreSuspended");
    settle();
    EXPECT_EQ(store().doubleForKey(Keys::timestampStart), 0);
    EXPECT_EQ(exploringCount(), 0);
    advance(3.0);
    EXPECT_FALSE(ctr->isTimerRunning());
}

TEST_F(ControllerScheduleTest, APollWithoutAStoredStartFinishesEmptyHanded) {
    store().removeObjectForKey(Keys::timestampStart);
    advance(1.0);
    EXPECT_FALSE(ctr->isTimerRunning());
    EXPECT_TRUE(notifications->scheduledLocalNotifications().empty());
    advance(2.0);
    EXPECT_EQ(exploringCount(), 0);
    EXPECT_FALSE(ctr->stageView()->isAnyoneHavingYield());
}

TEST_F(ControllerScheduleTest, BattlesQuakeTheScreenOnceAtATime) {
    advance(start + 6.5 - wall());
    advance(1.3);  // the battle's moment in the return walk
    NMCommon::sendNotification("battling");
    NMCommon::sendNotification("battling");
    RunLoop::main().runPass();
    EXPECT_TRUE(ctr->isQuaking());
    advance(0.13);
    EXPECT_FALSE(ctr->isQuaking());
}

}  // namespace
}  // namespace controllertests
