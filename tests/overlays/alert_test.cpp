// The message box through its manager: "okPressed" with the tag on a later pass, the keys (an
// alert panel over the box first), and the one box reused even while it shrinks.
#include "overlay_test_support.h"

#include "platform/ui/Label.h"
#include "platform/ui/ModalAlertView.h"

namespace overlaytests {
namespace {

class AlertTest : public OverlayTest {
protected:
    NMAlertViewManager& manager() { return *NMAlertViewManager::getInstance(); }
    void showBox(const char* message, bool buttons, int64_t tag) {
        manager().showAlertWithMessage(message, "talk2@2x.png", buttons, tag);
        advance(kPopIn);
    }
    void closeWith(bool pressed) {
        EXPECT_TRUE(pressed);
        advance(kShrink + 0.01);
        EXPECT_EQ(manager().alertCtr()->view()->superview(), nullptr);
    }
};

TEST_F(AlertTest, OkPostsTheTagOnALaterPassEscCancelsAndEnterOrEscClosesABoxWithoutButtons) {
    showBox("The party will be back in 00:03:20. Shall we set out?", true, 12345);
    auto& box = *manager().alertCtr();
    EXPECT_LE(box.msgLabel()->sizeThatFits(box.msgLabel()->bounds().width()).height, box.msgLabel()->bounds().height());
    ASSERT_TRUE(tap("okBtn"));
    EXPECT_TRUE(okTags.empty()) << "never inside the press";
    RunLoop::main().runPass();
    EXPECT_EQ(okTags, std::vector<int64_t>{12345});
    closeWith(true);

    showBox("Suspend?", true, 54321);
    auto panel = std::make_shared<ModalAlertView>("", "Saved.", std::vector<std::string>{"OK"}, 0);
    int answered = 0;
    panel->onButton = [&](int) { ++answered; };
    panel->show();
    EXPECT_TRUE(window->handleEscapeKey());
    EXPECT_EQ(answered, 1) << "the alert panel over the box takes the keys first";
    closeWith(window->handleEscapeKey());
    EXPECT_EQ(effects(), (std::vector<std::string>{"tap.mp3", "tap_fail.wav"}));
    for (bool escape : {false, true}) {
        showBox("Everyone is back.", false, 0);
        closeWith(escape ? window->handleEscapeKey() : window->handleEnterKey());
    }
    showBox("Go?", true, 7);
    closeWith(window->handleEnterKey());
    RunLoop::main().drain();
    EXPECT_EQ(okTags, (std::vector<int64_t>{12345, 0, 0, 7})) << "tag 0, which the main screen ignores";
}

TEST_F(AlertTest, ShownAgainDuringItsShrinkTheOneBoxStaysAndItOutlivesItsManager) {
    showBox("Go?", true, 12345);
    auto first = manager().alertCtr();
    ASSERT_TRUE(tap("okBtn"));
    RunLoop::main().drain();
    // The main screen answers OK with a hint at once: the box stays up with the new text.
    manager().showAlertWithMessage("Touch the returning persons.", "talk4@2x.png", false, 0);
    advance(kPopIn + kShrink);
    EXPECT_EQ(manager().alertCtr(), first);
    EXPECT_EQ(window->subviews().size(), 1u);
    EXPECT_EQ(first->msgLabel()->text(), "Touch the returning persons.");
    EXPECT_DOUBLE_EQ(first->containerView()->presentationAlpha(), 1.0);
    EXPECT_TRUE(shown("hiddenBtn") && !shown("okBtn"));
    NMAlertViewManager::resetInstanceForTesting();
    EXPECT_EQ(first->delegate(), nullptr);
}

}  // namespace
}  // namespace overlaytests
