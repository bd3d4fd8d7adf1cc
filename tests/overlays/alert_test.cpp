// The message box through its manager: "okPressed" with the tag on a later pass, cancel without
// an event, a box without buttons closed by a tap, Enter or Esc, and the one box kept and reused.
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
    void showBox(const char* message, bool buttons, int64_t tag) {
        manager().showAlertWithMessage(message, "talk2@2x.png", buttons, tag);
        advance(kPopIn);
    }
    void closeWith(bool pressed) {
        EXPECT_TRUE(pressed);
        advance(kShrink + 0.01);
        EXPECT_FALSE(onWindow());
    }
};

TEST_F(AlertTest, OkPostsTheTagOnALaterPassCancelNothingAndABoxWithoutButtonsGoesByATap) {
    manager().showAlertWithMessage("The party will be back in 00:03:20. Shall we set out?", Image::named("talk1@2x.png"), true, 12345);
    EXPECT_EQ(box().iconImgView()->image()->size(), Size(48, 48));
    EXPECT_LE(box().msgLabel()->sizeThatFits(box().msgLabel()->bounds().width()).height, box().msgLabel()->bounds().height());
    EXPECT_TRUE(shown("okBtn") && shown("cancelBtn") && !shown("hiddenBtn"));
    EXPECT_TRUE(touchesOn()) << "pops in with input live";
    advance(kPopIn);
    ASSERT_TRUE(tap("okBtn"));
    EXPECT_TRUE(okTags.empty()) << "never inside the press";
    RunLoop::main().runPass();
    EXPECT_EQ(okTags, std::vector<int64_t>{12345});
    EXPECT_TRUE(onWindow()) << "still shrinking";
    closeWith(true);
    EXPECT_NE(manager().alertCtr(), nullptr) << "kept for the next message";

    showBox("Suspend?", true, 54321);
    closeWith(tap("cancelBtn"));
    EXPECT_EQ(effects(), (std::vector<std::string>{"tap.mp3", "tap_fail.wav"}));

    showBox("Everyone is back.", false, 0);
    EXPECT_FALSE(shown("okBtn") || shown("cancelBtn"));
    const Point corner = box().containerView()->convertPointToView(Point(8, 8), nullptr);  // anywhere on the box
    window->touchDown(corner);
    window->touchUp(corner);
    closeWith(true);
    settle();
    EXPECT_EQ(okTags, (std::vector<int64_t>{12345, 0})) << "tag 0, which the main screen ignores";
}

TEST_F(AlertTest, EnterPressesOkEscCancelsAndABoxWithoutButtonsGoesByEitherAfterAnyAlertPanel) {
    showBox("Go?", true, 12345);
    closeWith(window->handleEnterKey());
    EXPECT_FALSE(window->handleEscapeKey()) << "closed: nothing takes the key";
    for (bool escape : {false, true}) {
        showBox("Everyone is back.", false, 0);
        closeWith(escape ? window->handleEscapeKey() : window->handleEnterKey());
    }
    showBox("Suspend?", true, 54321);
    auto panel = std::make_shared<ModalAlertView>("", "Saved.", std::vector<std::string>{"OK"}, 0);
    int answered = 0;
    panel->onButton = [&](int) { ++answered; };
    panel->show();
    EXPECT_TRUE(window->handleEscapeKey());
    EXPECT_EQ(answered, 1) << "the alert panel over the box takes the keys first";
    EXPECT_TRUE(onWindow());
    closeWith(window->handleEscapeKey());
    EXPECT_EQ(effects().back(), "tap_fail.wav");
    settle();
    EXPECT_EQ(okTags, (std::vector<int64_t>{12345, 0, 0}));
}

TEST_F(AlertTest, ShownAgainItReusesTheOneBoxEvenDuringItsShrinkAndOutlivesItsManager) {
    manager().showAlertWithMessage("First", "talk1@2x.png", false, 0);
    auto first = manager().alertCtr();
    manager().showAlertWithMessage("Second", "talk3@2x.png", true, 12345);
    EXPECT_EQ(manager().alertCtr(), first);
    EXPECT_EQ(countInWindow(first->view()), 1);
    EXPECT_EQ(first->msgLabel()->text(), "Second");
    EXPECT_FALSE(shown("hiddenBtn"));
    advance(kPopIn);
    ASSERT_TRUE(tap("okBtn"));
    settle();
    // The main screen answers OK with a hint at once: the box stays up with the new text.
    manager().showAlertWithMessage("Touch the returning persons.", "talk4@2x.png", false, 0);
    advance(kPopIn + kShrink);
    EXPECT_TRUE(onWindow());
    EXPECT_EQ(countInWindow(first->view()), 1);
    EXPECT_DOUBLE_EQ(first->containerView()->presentationAlpha(), 1.0);
    EXPECT_TRUE(shown("hiddenBtn"));
    EXPECT_EQ(first->delegate(), &manager());
    NMAlertViewManager::resetInstanceForTesting();
    EXPECT_EQ(first->delegate(), nullptr);
}

}  // namespace
}  // namespace overlaytests
