// The main screen, where the scenario scripts cannot look: the king's pictures, the dream, the
// rating question, a member joining mid-game and the tall screen's layout.
#include "controller_support.h"

namespace controllertests {
namespace {

using ControllerCycleTest = ControllerTest;

TEST_F(ControllerCycleTest, YieldsLeftFromTheLastRunWakeTheKingAtOnce) {
    PersonManager::updatePersonInfoWithId(1, PersonView::kYieldMonster, 1, 1);
    store().setBool(true, Keys::swipeTutorialShown);
    load();
    ctr->appear();
    advance(2.0);
    EXPECT_TRUE(ctr->exploreBtnContainer()->isHidden());
    // The last picture of his explore-end wake-up, not the animation from the start.
    EXPECT_EQ(ctr->kingImgView()->image(), Image::named(KingImageView::frameName(5, 11)));
}

TEST_F(ControllerCycleTest, TheKingDreamsInTheFirstDungeonWithoutAskingForARating) {
    load();
    startExploreByTouch();
    letEveryoneLeave();
    advance(2.0);
    EXPECT_FALSE(ctr->imagineImgView()->isHidden());
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
}

}  // namespace
}  // namespace controllertests
