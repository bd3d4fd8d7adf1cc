// The message box through its manager: its talking icon, text and buttons, "okPressed" with the
// tag on a later pass, cancel without an event, the hidden button of a box without buttons,
// Enter and Esc, and the one box kept and reused.
#include "overlay_test_support.h"

#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/ModalAlertView.h"

namespace overlaytests {
namespace {

class AlertTest : public OverlayTest {
protected:
    NMAlertViewManager& manager() { return *NMAlertViewManager::getInstance(); }
    NMAlertViewController& box() { return *manager().alertCtr(); }
    bool onWindow() { return box().view()->superview() == window.get(); }
};

TEST_F(AlertTest, OkPostsTheTagOnALaterPassThenTheBoxShrinksAway) {
    manager().showAlertWithMessage("Explore for 00:00:20?", Image::named("talk1@2x.png"), true, 12345);
    EXPECT_TRUE(onWindow());
    EXPECT_EQ(box().delegate(), &manager());
    EXPECT_EQ(box().msgLabel()->text(), "Explore for 00:00:20?");
    EXPECT_EQ(box().iconImgView()->image()->size(), Size(48, 48));
    EXPECT_TRUE(shown("okBtn") && shown("cancelBtn") && shown("iconImgView"));
    EXPECT_FALSE(shown("hiddenBtn"));
    // Pops in on its panel with input live.
    EXPECT_TRUE(touchesOn());
    advance(0.1);
    EXPECT_LT(box().containerView()->presentationAlpha(), 1.0);
    advance(kPopIn);
    ASSERT_TRUE(tap("okBtn"));
    EXPECT_EQ(effects(), std::vector<std::string>{"tap.mp3"});
    EXPECT_TRUE(okTags.empty()) << "never inside the press";
    RunLoop::main().runPass();
    EXPECT_EQ(okTags, std::vector<int64_t>{12345});
    EXPECT_TRUE(onWindow()) << "still shrinking";
    advance(kShrink + 0.01);
    EXPECT_FALSE(onWindow());
    EXPECT_NE(manager().alertCtr(), nullptr) << "kept for the next message";
    advance(1.0);
    EXPECT_EQ(okTags.size(), 1u);
}

TEST_F(AlertTest, CancelClosesWithoutAnEventAndWithoutButtonsTheHiddenButtonDismisses) {
    manager().showAlertWithMessage("Suspend?", "talk1@2x.png", true, 54321);
    advance(kPopIn);
    ASSERT_TRUE(tap("cancelBtn"));
    EXPECT_EQ(effects(), std::vector<std::string>{"tap_fail.wav"});
    advance(kShrink + 0.01);
    settle();
    EXPECT_TRUE(okTags.empty());
    EXPECT_FALSE(onWindow());

    manager().showAlertWithMessage("Everyone is back.", "talk2@2x.png", false, 0);
    EXPECT_FALSE(shown("okBtn") || shown("cancelBtn"));
    advance(kPopIn);
    // A tap anywhere on the box; tag 0, which the main screen ignores.
    const Point corner = box().containerView()->convertPointToView(Point(8, 8), nullptr);
    window->touchDown(corner);
    window->touchUp(corner);
    advance(kShrink + 0.01);
    EXPECT_FALSE(onWindow());
    EXPECT_EQ(okTags, std::vector<int64_t>{0});
}

TEST_F(AlertTest, EnterPressesOkAndEscCancelsAndABoxWithoutButtonsGoesByEither) {
    manager().showAlertWithMessage("Go?", "talk1@2x.png", true, 12345);
    advance(kPopIn);
    EXPECT_TRUE(window->handleEnterKey());
    settle();
    EXPECT_EQ(okTags, std::vector<int64_t>{12345});
    advance(kShrink + 0.01);
    EXPECT_FALSE(window->handleEscapeKey()) << "closed: nothing takes the key";

    for (bool escape : {false, true}) {
        manager().showAlertWithMessage("Everyone is back.", "talk2@2x.png", false, 0);
        advance(kPopIn);
        EXPECT_TRUE(escape ? window->handleEscapeKey() : window->handleEnterKey());
        advance(kShrink + 0.01);
        EXPECT_FALSE(onWindow());
    }
    settle();
    EXPECT_EQ(okTags, (std::vector<int64_t>{12345, 0, 0}));

    // An alert panel over the box takes the keys first; then Esc is the box's cancel.
    manager().showAlertWithMessage("Suspend?", "talk1@2x.png", true, 54321);
    advance(kPopIn);
    auto panel = std::make_shared<ModalAlertView>("", "Saved.", std::vector<std::string>{"OK"}, 0);
    int answered = 0;
    panel->onButton = [&](int) { ++answered; };
    panel->show();
    EXPECT_TRUE(window->handleEscapeKey());
    EXPECT_EQ(answered, 1);
    EXPECT_TRUE(onWindow());
    EXPECT_TRUE(window->handleEscapeKey());
    EXPECT_EQ(effects().back(), "tap_fail.wav");
    advance(kShrink + 0.01);
    EXPECT_FALSE(onWindow());
    settle();
    EXPECT_EQ(okTags.size(), 3u);
}

TEST_F(AlertTest, ShownAgainItReusesTheOneBoxEvenDuringItsShrink) {
    manager().showAlertWithMessage("First", "talk1@2x.png", false, 0);
    auto first = manager().alertCtr();
    manager().showAlertWithMessage("Second", "talk3@2x.png", true, 12345);
    EXPECT_EQ(manager().alertCtr(), first);
    EXPECT_EQ(countInWindow(first->view().get()), 1u);
    EXPECT_EQ(first->msgLabel()->text(), "Second");
    EXPECT_FALSE(shown("hiddenBtn"));
    advance(kPopIn);
    ASSERT_TRUE(tap("okBtn"));
    settle();
    // The main screen answers OK with a hint at once: the box stays up with the new text.
    manager().showAlertWithMessage("Touch the returning persons.", "talk4@2x.png", false, 0);
    advance(kPopIn + kShrink);
    EXPECT_TRUE(onWindow());
    EXPECT_EQ(manager().alertCtr(), first);
    EXPECT_EQ(countInWindow(first->view().get()), 1u);
    EXPECT_DOUBLE_EQ(first->containerView()->presentationAlpha(), 1.0);
    EXPECT_TRUE(first->containerView()->presentationTransform().isIdentity());
    EXPECT_TRUE(shown("hiddenBtn"));
}

TEST_F(AlertTest, DroppingTheManagerLeavesTheBoxWithoutOwner) {
    manager().showAlertWithMessage("Bye", "talk1@2x.png", true, 1);
    auto kept = manager().alertCtr();
    NMAlertViewManager::resetInstanceForTesting();
    EXPECT_EQ(kept->delegate(), nullptr);
}

}  // namespace
}  // namespace overlaytests
