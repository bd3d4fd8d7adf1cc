// The overlay base on the real story scene and message box: the touch lock, the owner told once
// and in order (and free to drop the overlay then), a gone owner skipped, Esc, tall screens.
#include "overlay_test_support.h"

namespace overlaytests {
namespace {

class Owner : public Object, public OverlayViewControllerDelegate {
public:
    std::vector<std::string> calls;
    std::shared_ptr<OverlayViewController> held;  // dropped when told it closed
    void overlayWillClose(OverlayViewController&) override { calls.push_back("willClose"); }
    void overlayDidClose(OverlayViewController& overlay) override {
        calls.push_back("didClose");
        if (held.get() == &overlay) held.reset();
    }
};

class OverlayBaseTest : public OverlayTest {
protected:
    template <class T>
    std::shared_ptr<T> opened(Owner* owner, bool allowInteraction) {
        auto overlay = std::make_shared<T>();
        overlay->setDelegate(owner);
        overlay->addViewTo(*window);
        overlay->appearWithAnimationAllowInteraction(allowInteraction);
        return overlay;
    }
};

TEST_F(OverlayBaseTest, LocksTouchesWhileAnimatingReportsClosingOnceInOrderAndMayBeDroppedByItsOwnerThen) {
    Owner owner;
    owner.held = opened<MangaViewController>(&owner, false);
    std::weak_ptr<OverlayViewController> watch = owner.held;
    std::weak_ptr<View> root = owner.held->view();
    advance(kPopIn - 0.01);
    EXPECT_FALSE(Window::touchesEnabled()) << "off until the pop-in's last step has ended";
    advance(0.02);
    EXPECT_TRUE(Window::touchesEnabled());
    owner.held->willClose();
    EXPECT_TRUE(window->handleEscapeKey()) << "Esc presses the shown close button";
    EXPECT_FALSE(Window::touchesEnabled()) << "the close reuses the flag the overlay was opened with";
    advance(kShrink - 0.01);
    EXPECT_EQ(root.lock()->superview(), window.get());
    advance(0.02);
    EXPECT_TRUE(Window::touchesEnabled());
    EXPECT_EQ(owner.held, nullptr);
    EXPECT_TRUE(window->subviews().empty());
    RunLoop::main().drain();
    EXPECT_TRUE(watch.expired() && root.expired()) << "gone once the loop has moved on";
    EXPECT_EQ(owner.calls, (std::vector<std::string>{"willClose", "didClose"}));
}

TEST_F(OverlayBaseTest, OnlyThePanelPopsInInputStaysLiveWhenAllowedAndAGoneOwnerIsSkipped) {
    std::shared_ptr<NMAlertViewController> box;
    {
        Owner owner;
        box = opened<NMAlertViewController>(&owner, true);
    }
    advance(0.1);
    EXPECT_TRUE(Window::touchesEnabled());
    EXPECT_LT(box->containerView()->presentationAlpha(), 1.0);
    EXPECT_DOUBLE_EQ(box->view()->presentationAlpha(), 1.0);
    box->willClose();
    box->pressClose();
    advance(kPopIn + kShrink);
    EXPECT_EQ(box->view()->superview(), nullptr);
}

TEST_F(OverlayBaseTest, TheMessageBoxAndStoryScenesLoadCleanlyAndMoveBelowTheBandOnATallScreen) {
    Screen::mainScreen().setHeight(568);
    NMAlertViewController alert;
    MangaViewController manga;
    EXPECT_TRUE(alert.layoutErrors().empty() && manga.layoutErrors().empty());
    for (const View* v : {alert.view().get(), manga.view().get()}) EXPECT_EQ(v->frame(), Rect(0, 88, 320, 480));
}

TEST_F(OverlayBaseTest, TheProgressIndicatorHidesOnlyForItsTagAndEachShowingChoosesItsParent) {
    constexpr double kFade = ProgressIndicator::kFadeDuration;
    HUDManager& hud = *HUDManager::getInstance();
    hud.showHUDOnWindowWithText("Saving...", 7);
    advance(kFade);
    EXPECT_EQ(window->hitTest(Point(160, 240)).get(), hud.HUD().get());  // it takes the touches below
    hud.hideHUDWithTag(3);
    advance(kFade * 2);
    EXPECT_TRUE(hud.isShowing());
    hud.showHUDOnWindowWithText("");  // a plain showing keeps the tag
    hud.hideHUDWithTag(7);
    advance(kFade / 2);
    EXPECT_TRUE(hud.isShowing());  // still fading
    advance(kFade);
    EXPECT_EQ(hud.HUD()->superview(), nullptr);
    auto panel = View::make<View>(Rect(0, 0, 320, 480));
    window->addSubview(panel);
    hud.showHUDAddedTo(*panel, "Saving...", false);
    hud.showHUDOnWindow();  // while up it stays where it is
    EXPECT_EQ(hud.HUD()->superview(), panel.get());
    hud.hideHUD();
    advance(kFade + 0.01);
    hud.showHUDOnWindow();
    EXPECT_EQ(hud.HUD()->superview(), window.get());
    EXPECT_FALSE(hud.HUD()->dimBackground());  // the dimming stays as last set
}

}  // namespace
}  // namespace overlaytests
