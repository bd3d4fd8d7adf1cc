// The message box through its manager: its talking icon, text and buttons, "okPressed" with the
// tag on a later pass, cancel without an event, the hidden button of a box without buttons, and
// the one box kept and reused.
#include "overlay_test_support.h"

#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "stage/NMAnimationCommon.h"

namespace overlaytests {
namespace {

constexpr double kPopIn = NMAnimationCommon::kMainStepDuration + 3 * NMAnimationCommon::kBounceStepDuration;
constexpr double kShrink = NMAnimationCommon::kMainStepDuration;

class AlertTest : public OverlayTest {
protected:
    NMAlertViewManager& manager() { return *NMAlertViewManager::getInstance(); }
    NMAlertViewController& box() { return *manager().alertCtr(); }
};

TEST_F(AlertTest, ShowsIconTextAndBothButtonsOverTheKeyWindow) {
    manager().showAlertWithMessage("Explore for 00:00:20?", Image::named("talk1@2x.png"), true, 12345);
    ASSERT_NE(manager().alertCtr(), nullptr);
    EXPECT_EQ(box().view()->superview(), window.get());
    EXPECT_EQ(box().delegate(), &manager());
    EXPECT_EQ(box().alertTag(), 12345);
    EXPECT_EQ(box().msgLabel()->text(), "Explore for 00:00:20?");
    ASSERT_NE(box().iconImgView()->image(), nullptr);
    EXPECT_EQ(box().iconImgView()->image()->size(), Size(48, 48));
    EXPECT_TRUE(shown("okBtn"));
    EXPECT_TRUE(shown("cancelBtn"));
    EXPECT_FALSE(shown("hiddenBtn"));
    EXPECT_TRUE(shown("iconImgView"));
    EXPECT_TRUE(shown("msgLabel"));
    // Pops in on its panel with input live.
    EXPECT_TRUE(touchesOn());
    EXPECT_EQ(box().containerView()->name(), "containerView");
    advance(0.1);
    EXPECT_LT(box().containerView()->presentationAlpha(), 1.0);
    advance(kPopIn);
    EXPECT_DOUBLE_EQ(box().containerView()->presentationAlpha(), 1.0);
}

TEST_F(AlertTest, OkPostsTheTagOnALaterPassThenCloses) {
    manager().showAlertWithMessage("Go?", "talk1@2x.png", true, 12345);
    advance(kPopIn);
    ASSERT_TRUE(tap("okBtn"));
    EXPECT_EQ(effects(), std::vector<std::string>{"tap.mp3"});
    EXPECT_TRUE(okTags.empty());  // never inside the press
    RunLoop::main().runPass();
    EXPECT_EQ(okTags, std::vector<int64_t>{12345});
    EXPECT_EQ(box().view()->superview(), window.get());  // still shrinking
    advance(kShrink + 0.01);
    EXPECT_EQ(box().view()->superview(), nullptr);
    // The box stays with its manager for the next message.
    EXPECT_NE(manager().alertCtr(), nullptr);
    advance(1.0);
    EXPECT_EQ(okTags.size(), 1u);
}

TEST_F(AlertTest, CancelClosesWithoutAnEvent) {
    manager().showAlertWithMessage("Suspend?", "talk1@2x.png", true, 54321);
    advance(kPopIn);
    ASSERT_TRUE(tap("cancelBtn"));
    EXPECT_EQ(effects(), std::vector<std::string>{"tap_fail.wav"});
    advance(kShrink + 0.01);
    settle();
    EXPECT_TRUE(okTags.empty());
    EXPECT_EQ(box().view()->superview(), nullptr);
}

TEST_F(AlertTest, WithoutButtonsTheHiddenButtonDismissesTheBox) {
    manager().showAlertWithMessage("Everyone is back.", "talk2@2x.png", false, 0);
    EXPECT_FALSE(shown("okBtn"));
    EXPECT_FALSE(shown("cancelBtn"));
    EXPECT_TRUE(shown("hiddenBtn"));
    advance(kPopIn);
    // A tap anywhere on the box.
    auto panel = box().containerView();
    const Point corner = panel->convertPointToView(Point(8, 8), nullptr);
    window->touchDown(corner);
    window->touchUp(corner);
    advance(kShrink + 0.01);
    EXPECT_EQ(box().view()->superview(), nullptr);
    // Tag 0, which the main screen ignores.
    EXPECT_EQ(okTags, std::vector<int64_t>{0});
}

TEST_F(AlertTest, ShownAgainItReusesTheOneBoxAndAddsItOnce) {
    manager().showAlertWithMessage("First", "talk1@2x.png", false, 0);
    auto first = manager().alertCtr();
    manager().showAlertWithMessage("Second", "talk3@2x.png", true, 12345);
    EXPECT_EQ(manager().alertCtr(), first);
    EXPECT_EQ(countInWindow(first->view().get()), 1u);
    EXPECT_EQ(first->msgLabel()->text(), "Second");
    EXPECT_TRUE(shown("okBtn"));
    EXPECT_FALSE(shown("hiddenBtn"));
    advance(kPopIn);
    ASSERT_TRUE(tap("okBtn"));
    advance(kShrink + 0.01);
    // After closing, the next message comes up in the same box.
    manager().showAlertWithMessage("Third", "talk1@2x.png", true, 54321);
    EXPECT_EQ(manager().alertCtr(), first);
    EXPECT_EQ(countInWindow(first->view().get()), 1u);
    advance(kPopIn);
    EXPECT_DOUBLE_EQ(first->containerView()->presentationAlpha(), 1.0);
    EXPECT_TRUE(first->containerView()->presentationTransform().isIdentity());
    ASSERT_TRUE(tap("okBtn"));
    settle();
    EXPECT_EQ(okTags, (std::vector<int64_t>{12345, 54321}));
}

TEST_F(AlertTest, ANewMessageDuringTheShrinkKeepsTheBoxUp) {
    manager().showAlertWithMessage("Go?", "talk1@2x.png", true, 12345);
    advance(kPopIn);
    ASSERT_TRUE(tap("okBtn"));
    settle();
    // The main screen answers OK with a hint at once.
    manager().showAlertWithMessage("Touch the returning persons.", "talk4@2x.png", false, 0);
    advance(kPopIn + kShrink);
    EXPECT_EQ(box().view()->superview(), window.get());
    EXPECT_EQ(box().msgLabel()->text(), "Touch the returning persons.");
}

TEST_F(AlertTest, TheBoxSitsOnTheKeyWindowBelowTheAdvertisingBandOnATallScreen) {
    TearDown();
    setUpWorld(568);
    manager().showAlertWithMessage("Tall", "talk1@2x.png", true, 1);
    EXPECT_EQ(box().view()->frame().origin, Point(0, 88));
    advance(kPopIn);
    ASSERT_TRUE(tap("okBtn"));
    settle();
    EXPECT_EQ(okTags, std::vector<int64_t>{1});
}

TEST_F(AlertTest, DroppingTheManagerLeavesTheBoxWithoutOwner) {
    manager().showAlertWithMessage("Bye", "talk1@2x.png", true, 1);
    auto kept = manager().alertCtr();
    NMAlertViewManager::resetInstanceForTesting();
    EXPECT_EQ(kept->delegate(), nullptr);
}

}  // namespace
}  // namespace overlaytests
