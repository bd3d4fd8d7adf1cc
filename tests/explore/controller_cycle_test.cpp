// Whole cycles on the main screen: the first explore from the press to the save, resuming in
// the idle and the collecting state, the one-time hints, the first-run story, the dream, the
// rating question, a new member, and pictures of the screen.
#include "controller_support.h"

#include "model/DungeonManager.h"
#include "platform/ui/ImageView.h"

namespace controllertests {
namespace {

class ControllerCycleTest : public ControllerTest {};

TEST_F(ControllerCycleTest, TheFirstExploreRunsFromThePressToTheSave) {
    store().removeObjectForKey(Keys::tutorialShown);
    store().removeObjectForKey(Keys::firstMainDone);
    load();
    ctr->appear();
    settle();
    EXPECT_EQ(pages("FIRST_MAIN"), 1u);
    EXPECT_TRUE(store().boolForKey(Keys::tutorialShown));
    ASSERT_TRUE(MangaViewManager::getInstance()->mangaCtr()) << "the opening story";
    MangaViewManager::getInstance()->mangaCtr()->pressClose();
    advance(2.0);
    EXPECT_FALSE(ctr->exploreBtnContainer()->isHidden());

    const double start = startExploreByTouch();
    EXPECT_EQ(pages("FIRST_EXPLORE_V102"), 1u);
    letEveryoneLeave();
    // Dungeon 1: a second a person; the first polls bring the first ones at once.
    advance(start + 21.5 - wall());
    EXPECT_EQ(numComeback(), 20);
    EXPECT_EQ(store().doubleForKey(Keys::timestampStart), 0);
    EXPECT_EQ(DungeonManager::currentExploreCntWithDungeonId(1), 20u);
    advance(3.0);
    EXPECT_EQ(exploringCount(), 0);
    ASSERT_TRUE(ctr->stageView()->isAnyoneHavingYield());
    EXPECT_TRUE(store().boolForKey(Keys::swipeTutorialShown));
    EXPECT_EQ(alertText(), NSLocalizedString("SwipeTutorial"));

    collectEverything();
    EXPECT_FALSE(ctr->stageView()->isAnyoneHavingYield());
    EXPECT_FALSE(ctr->exploreBtnContainer()->isHidden());
    EXPECT_TRUE(store().boolForKey(Keys::firstCheck));
    EXPECT_EQ(pages("FIRST_CHECK_V102"), 1u);
    // Twice from the first appear in the idle state, once now.
    EXPECT_EQ(pages("FINISH_CHECK_1"), 3u);
    EXPECT_TRUE(store().boolForKey(Keys::exploreTutorial2Shown));
    EXPECT_EQ(alertText(), NSLocalizedString("Explore2Tutorial"));

    // What is stored is what a fresh start reads back.
    const uint32_t gold = GoldManager::getInstance()->currentGold();
    EXPECT_GT(gold, 0u);
    EXPECT_EQ(store().integerForKey(Keys::gold), static_cast<int64_t>(gold));
    EXPECT_FALSE(store().objectForKey(Keys::monsters).isNil());
    EXPECT_TRUE(store().objectForKey(Keys::timestampStart).isNil());
    ASSERT_TRUE(store().synchronize());
    // The screen goes first: the king and the gold panel follow the gold manager.
    ctr->removeViewFromSuperview();
    ctr.reset();
    window.reset();
    MonsterManager::resetInstanceForTesting();
    GoldManager::resetInstanceForTesting();
    EXPECT_EQ(GoldManager::getInstance()->currentGold(), gold);
    EXPECT_TRUE(MonsterManager::getInstance()->huntedMonsterWithId(1) || MonsterManager::getInstance()->huntedMonsterWithId(2) ||
                MonsterManager::getInstance()->huntedMonsterWithId(3));
    EXPECT_EQ(DungeonManager::currentExploreCntWithDungeonId(1), 20u);
}

TEST_F(ControllerCycleTest, AppearInTheIdleStateRunsTheEndStepsTwice) {
    load();
    ctr->appear();
    settle();
    EXPECT_EQ(pages("MAIN"), 1u);
    EXPECT_EQ(pages("FIRST_MAIN"), 0u);
    EXPECT_EQ(pages("FINISH_CHECK_1"), 2u);
    EXPECT_FALSE(ctr->exploreBtnContainer()->isHidden());
    EXPECT_FALSE(ctr->isTimerRunning());
    EXPECT_TRUE(ctr->reportBtn()->isHidden());
    EXPECT_FALSE(store().boolForKey(Keys::firstCheck)) << "nothing explored yet";
    EXPECT_TRUE(notifications->scheduledLocalNotifications().empty());
}

TEST_F(ControllerCycleTest, AppearWhileCollectingKeepsTheButtonHidden) {
    // Yields left on the stage when the game was closed: persons 1 and 2 hold monsters.
    PersonManager::updatePersonInfoWithId(1, PersonView::kYieldMonster, 1, 1);
    PersonManager::updatePersonInfoWithId(2, PersonView::kYieldMonster, 2, 1);
    store().setBool(true, Keys::swipeTutorialShown);
    load();
    ctr->appear();
    advance(2.0);
    EXPECT_TRUE(ctr->exploreBtnContainer()->isHidden());
    // Awake already, the king takes the last picture of his explore-end wake-up at once.
    EXPECT_EQ(ctr->kingImgView()->image(), Image::named(KingImageView::frameName(5, 11)));
    EXPECT_EQ(pages("FINISH_CHECK_1"), 0u);
    collectEverything();
    EXPECT_FALSE(ctr->exploreBtnContainer()->isHidden());
    // Once per collection that ends with nobody holding anything any more: the second holder's
    // yield is already in the air when the first one's collection ends.
    EXPECT_GE(pages("FINISH_CHECK_1"), 1u);
    EXPECT_LE(pages("FINISH_CHECK_1"), 2u);
    EXPECT_EQ(GoldManager::getInstance()->currentGold(), store().integerForKey(Keys::gold));
}

TEST_F(ControllerCycleTest, TheWaitHintShowsOnceWhileFewerThanHalfAreBack) {
    store().setInteger(2, Keys::currentDungeonId);  // 6 s
    load();
    startExploreByTouch();
    letEveryoneLeave();
    advance(1.0);
    EXPECT_TRUE(store().boolForKey(Keys::waitTutorialShown));
    EXPECT_EQ(alertText(), NSLocalizedString("AppClose"));
    closeAlert();
    advance(20.0);
    EXPECT_FALSE(alertShown()) << "once only";
}

TEST_F(ControllerCycleTest, NoWaitHintForShortIntervals) {
    load();  // 1 s
    startExploreByTouch();
    letEveryoneLeave();
    advance(3.0);
    EXPECT_FALSE(store().boolForKey(Keys::waitTutorialShown));
}

TEST_F(ControllerCycleTest, TheSwipeHintComesASecondAfterTheLastReturnOnce) {
    store().setBool(true, Keys::exploreTutorial2Shown);
    std::vector<double> returns;
    NotificationCenter::defaultCenter().addObserver(
        static_cast<const void*>(this), [&returns](const Notification&) { returns.push_back(RunLoop::main().now()); }, "comebackDidEnd");
    load();
    for (int round = 0; round < 2; ++round) {
        const double start = startExploreByTouch();
        letEveryoneLeave();
        advance(start + 20.5 - wall());
        // Step until the hint shows (or long after the last return).
        double shownAt = -1;
        for (int step = 0; step < 80 && shownAt < 0; ++step) {
            advance(0.1);
            if (alertShown()) shownAt = RunLoop::main().now();
        }
        if (round == 0) {
            ASSERT_GT(shownAt, 0);
            EXPECT_EQ(alertText(), NSLocalizedString("SwipeTutorial"));
            ASSERT_FALSE(returns.empty());
            EXPECT_NEAR(shownAt - returns.back(), 1.0, 0.11);
            EXPECT_EQ(exploringCount(), 0);
        } else {
            EXPECT_LT(shownAt, 0) << "once only";
        }
        collectEverything();
    }
}

TEST_F(ControllerCycleTest, TheSecondExploreHintWaitsWhileDungeonTwoIsOpen) {
    MonsterManager::getInstance()->addMonsterWithId(DungeonStaticData::getInstance()->bossIdWithDungeionId(1));
    store().setBool(true, Keys::swipeTutorialShown);
    load();
    startExploreByTouch();
    letEveryoneLeave();
    tapSuspend();
    pressAlertOK();
    advance(3.0);
    collectEverything();
    EXPECT_TRUE(store().boolForKey(Keys::firstCheck));
    EXPECT_FALSE(store().boolForKey(Keys::exploreTutorial2Shown));
    EXPECT_FALSE(alertShown());
}

TEST_F(ControllerCycleTest, TheKingDreamsInTheFirstDungeonAndTheRatingIsAskedOnLongExplores) {
    load();
    startExploreByTouch();
    letEveryoneLeave();
    advance(2.0);
    EXPECT_FALSE(ctr->imagineImgView()->isHidden());
    render("controller_dream.png");
    EXPECT_TRUE(rating->calls.empty()) << "a second per person is too short";
    advance(30.0);
    EXPECT_TRUE(ctr->imagineImgView()->isHidden()) << "everyone is back";
}

TEST_F(ControllerCycleTest, LongExploresAskTheRatingService) {
    store().setInteger(5, Keys::currentDungeonId);  // 90 s
    store().setBool(true, Keys::waitTutorialShown);
    rating->wouldPrompt = true;
    load();
    startExploreByTouch();
    letEveryoneLeave();
    advance(3.0);
    EXPECT_EQ(rating->calls, (std::vector<std::string>{"should", "buttons", "texts", "prompt"}));
    EXPECT_TRUE(ctr->imagineImgView()->isHidden()) << "no dream outside the first dungeon";
}

TEST_F(ControllerCycleTest, ANewMemberJoinsTheStage) {
    load();
    MemberManager::addMemberWithId(1);
    settle();
    EXPECT_EQ(ctr->stageView()->persons().size(), 21u);
    EXPECT_EQ(alertText(), NSLocalizedString("MemberAdded"));
}

TEST_F(ControllerCycleTest, TheTallScreenTakesItsOwnLayout) {
    Screen::mainScreen().setHeight(568);
    window = std::make_shared<Window>(Rect(0, 0, 320, 568));
    window->makeKeyAndVisible();
    load();
    EXPECT_EQ(ctr->view()->frame().height(), 568);
    EXPECT_EQ(ctr->stageView()->frame().origin.y, 160 + 88);
    EXPECT_EQ(ctr->bgImgView()->frame().origin.y, 0);
    ctr->appear();
    advance(2.0);
    render("controller_tall.png", 568);
}

TEST_F(ControllerCycleTest, PicturesOfTheScreenWhileExploringAndCollecting) {
    store().setInteger(2, Keys::currentDungeonId);
    store().setBool(true, Keys::waitTutorialShown);
    store().setBool(true, Keys::swipeTutorialShown);
    load();
    ctr->appear();
    settle();
    advance(2.0);
    render("controller_idle.png");
    const double start = startExploreByTouch();
    advance(0.6);
    render("controller_departing.png");
    letEveryoneLeave();
    advance(start + 40.5 - wall());
    render("controller_exploring.png");
    advance(start + 121.5 - wall());
    advance(3.0);
    render("controller_collecting.png");
    EXPECT_TRUE(ctr->stageView()->isAnyoneHavingYield());
}

}  // namespace
}  // namespace controllertests
