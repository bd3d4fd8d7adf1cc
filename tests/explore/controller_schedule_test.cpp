// The return schedule on the wall clock: person k at start + k x interval, resuming after the
// game was closed, a clock set back or forward, suspending and the map list's break-off.
#include <cmath>

#include "controller_support.h"

namespace controllertests {
namespace {

class ControllerScheduleTest : public ControllerTest {
protected:
    static constexpr double kInterval = 6.0;  // dungeon 2

    void SetUp() override {
        ControllerTest::SetUp();
        store().setInteger(2, Keys::currentDungeonId);
        // The hints are the cycle tests' matter; here they would stand in front of the buttons.
        store().setBool(true, Keys::waitTutorialShown);
        store().setBool(true, Keys::swipeTutorialShown);
        load();
        start = startExploreByTouch();
        letEveryoneLeave();
    }
    // The game goes away (the timer stops) and comes back after `seconds` of wall time.
    void closeAndResumeAfter(double seconds) {
        NMCommon::sendNotification(ViewController::kWillResignActiveEvent);
        settle();
        EXPECT_FALSE(ctr->isTimerRunning());
        away(seconds);
        ctr->appear();
    }
    double start = 0;
};

TEST_F(ControllerScheduleTest, PersonKIsBackAtStartPlusKIntervals) {
    ASSERT_EQ(ctr->currentInterval(), kInterval);
    for (int k = 1; k <= 20; ++k) {
        const double due = start + k * kInterval;
        // Just before the instant (the last poll before it has run) k - 1 are back.
        advance(due - 0.01 - wall());
        ASSERT_EQ(numComeback(), k - 1) << "before person " << k;
        // The first poll after it brings exactly one more (polls are 1 s apart).
        advance(1.01);
        ASSERT_EQ(numComeback(), k) << "after person " << k;
        // A person counts as away until the walk home has ended.
        if (k < 20) {
            EXPECT_GE(exploringCount(), 20 - k);
            EXPECT_LE(exploringCount(), 21 - k);
        }
    }
    // The explore is over: nothing stored, nothing scheduled, no timer.
    EXPECT_EQ(store().doubleForKey(Keys::timestampStart), 0);
    EXPECT_TRUE(notifications->scheduledLocalNotifications().empty());
    EXPECT_FALSE(ctr->isTimerRunning());
    EXPECT_EQ(LeftTimeManager::getInstance()->leftTime(), 0);
    advance(3.0);
    EXPECT_EQ(exploringCount(), 0);
    EXPECT_TRUE(ctr->stageView()->isAnyoneHavingYield());
    EXPECT_TRUE(ctr->exploreBtnContainer()->isHidden()) << "collecting";
    EXPECT_EQ(ctr->kingImgView()->currentState(), KingImageView::kStateExploreEnded);
    EXPECT_FALSE(ctr->exploreStatusView()->isShown());
}

TEST_F(ControllerScheduleTest, TheRemainingTimeFollowsTheWallClock) {
    advance(start + 31.01 - wall());
    EXPECT_NEAR(LeftTimeManager::getInstance()->leftTime(), 120.0 - 30.5, 0.51);
    EXPECT_EQ(numComeback(), 5);
}

TEST_F(ControllerScheduleTest, ResumingAfterPartOfTheTimeReturnsTheDueOnesInOnePass) {
    const double elapsed = 50.5;  // floor(50.5 / 6) = 8
    closeAndResumeAfter(start + elapsed - wall());
    EXPECT_EQ(numComeback(), 8);
    EXPECT_TRUE(ctr->isTimerRunning());
    EXPECT_TRUE(ctr->exploreBtnContainer()->isHidden());
    EXPECT_GT(store().doubleForKey(Keys::timestampStart), 0);
    EXPECT_NEAR(LeftTimeManager::getInstance()->leftTime(), 120.0 - elapsed, 1e-6);
    EXPECT_EQ(exploringCount(), 12);
    settle();
    EXPECT_EQ(ctr->kingImgView()->currentState(), KingImageView::kStateAsleep);
    // The badges still stand for those to come.
    EXPECT_EQ(notifications->scheduledLocalNotifications().size(), 21u);
}

TEST_F(ControllerScheduleTest, ResumingAfterAllOfTheTimeFinishesTheExplore) {
    closeAndResumeAfter(10000);
    EXPECT_EQ(numComeback(), 20) << "bounded by the party";
    EXPECT_EQ(store().doubleForKey(Keys::timestampStart), 0);
    EXPECT_TRUE(notifications->scheduledLocalNotifications().empty());
    EXPECT_FALSE(ctr->isTimerRunning());
    settle();
    advance(1.0);
    EXPECT_EQ(exploringCount(), 0);
    EXPECT_TRUE(ctr->stageView()->isAnyoneHavingYield());
    EXPECT_TRUE(ctr->exploreBtnContainer()->isHidden());
    EXPECT_EQ(ctr->kingImgView()->currentState(), KingImageView::kStateExploreEnded);
}

TEST_F(ControllerScheduleTest, AClockSetBackReturnsNobodyUntilItPassesTheStartAgain) {
    advance(start + 13 - wall());
    ASSERT_EQ(numComeback(), 2);
    away(-100);  // 87 s before the start
    advance(1.0);
    EXPECT_EQ(numComeback(), 2);
    EXPECT_GT(LeftTimeManager::getInstance()->leftTime(), 120.0) << "more than the whole explore";
    away(100);
    advance(1.0);
    EXPECT_EQ(numComeback(), 2);
    advance(start + 19.01 - wall());
    EXPECT_EQ(numComeback(), 3);
}

TEST_F(ControllerScheduleTest, AClockSetForwardReturnsEveryoneDueAtTheNextPoll) {
    away(start + 70.5 - wall());  // 11 due
    advance(1.0);
    EXPECT_EQ(numComeback(), 11);
    // Wall 75.5: the twelfth came at the poll after 72 and has walked home; the next is due at 78.
    advance(4.0);
    EXPECT_EQ(numComeback(), 12);
    EXPECT_EQ(exploringCount(), 8);
}

TEST_F(ControllerScheduleTest, AFasterIntervalMovesTheReturnsButNotTheNotifications) {
    advance(start + 13.01 - wall());
    ASSERT_EQ(numComeback(), 2);
    const auto before = notifications->scheduledLocalNotifications();
    store().setFloat(0.5f, Keys::timeRate);  // a speed item: 3 s
    NMCommon::sendNotification("equipUpdated");
    settle();
    EXPECT_EQ(ctr->currentInterval(), 3.0);
    advance(1.0);
    // floor(14.01 / 3) = 4 due with the new interval.
    EXPECT_EQ(numComeback(), 4);
    const auto after = notifications->scheduledLocalNotifications();
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < after.size(); ++i) EXPECT_EQ(after[i].fireDate, before[i].fireDate);
}

TEST_F(ControllerScheduleTest, SuspendingBringsEveryoneBackEmptyHanded) {
    advance(start + 13.01 - wall());
    ASSERT_EQ(numComeback(), 2);
    advance(4.0);  // the two returns end; the third is due at 18
    const double goldBefore = static_cast<double>(GoldManager::getInstance()->currentGold());
    tapSuspend();
    ASSERT_TRUE(alertShown());
    EXPECT_EQ(alertText(), NSLocalizedString("Suspend"));
    EXPECT_EQ(alert()->alertTag(), ViewController::kSuspendTag);
    pressAlertOK();
    EXPECT_EQ(store().doubleForKey(Keys::timestampStart), 0);
    EXPECT_TRUE(notifications->scheduledLocalNotifications().empty());
    EXPECT_FALSE(ctr->isTimerRunning());
    advance(4.0);
    EXPECT_EQ(exploringCount(), 0);
    // Only the two that came back in time hold anything.
    int holders = 0;
    for (const auto& p : ctr->stageView()->persons()) holders += p->currentYieldType() != PersonView::kYieldNothing;
    EXPECT_EQ(holders, 2);
    collectEverything();
    EXPECT_FALSE(ctr->exploreBtnContainer()->isHidden());
    EXPECT_GE(pages("FINISH_CHECK_2"), 1u);
    EXPECT_GE(static_cast<double>(GoldManager::getInstance()->currentGold()), goldBefore);
}

TEST_F(ControllerScheduleTest, SuspendingBeforeAnyReturnShowsTheButtonAtOnce) {
    tapSuspend();
    pressAlertOK();
    advance(4.0);
    EXPECT_EQ(exploringCount(), 0);
    EXPECT_FALSE(ctr->stageView()->isAnyoneHavingYield());
    EXPECT_FALSE(ctr->exploreBtnContainer()->isHidden());
    EXPECT_GE(pages("FINISH_CHECK_2"), 1u);
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
