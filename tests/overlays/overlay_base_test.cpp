// The overlay base: appearing and closing with the touch lock, the owner told once and in order,
// an owner dropping its overlay as it closes, Esc on the frontmost close button, tall screens;
// and the progress indicator: its fades, its parent, its text, its dimming and its tag.
#include "overlay_test_support.h"

#include "overlays/OverlayViewController.h"
#include "platform/ui/Button.h"
#include "platform/ui/ProgressIndicator.h"

namespace overlaytests {
namespace {

// A full-screen root with an optional panel named "containerView" holding a "closeBtn".
class PlainOverlay : public OverlayViewController {
public:
    explicit PlainOverlay(bool withPanel) : OverlayViewController(""), withPanel_(withPanel) {}

protected:
    std::shared_ptr<View> loadView() override {
        auto root = View::make<View>(Rect(0, 0, 320, 480));
        if (!withPanel_) return root;
        auto panel = View::make<View>(Rect(20, 100, 280, 200));
        panel->setName("containerView");
        root->addSubview(panel);
        auto close = View::make<Button>(Rect(240, 10, 30, 30));
        close->setName("closeBtn");
        close->setAction([this] { pressClose(); });
        panel->addSubview(close);
        return root;
    }

private:
    bool withPanel_;
};

class Owner : public Object, public OverlayViewControllerDelegate {
public:
    std::vector<std::string> calls;
    std::shared_ptr<OverlayViewController> held;  // dropped when told it closed
    void overlayWillClose(OverlayViewController&) override { calls.push_back("willClose"); }
    void overlayDidClose(OverlayViewController& overlay) override {
        calls.push_back("didClose");
        if (held.get() != &overlay) return;
        held->setDelegate(nullptr);
        held.reset();
    }
};

class OverlayBaseTest : public OverlayTest {
protected:
    std::shared_ptr<PlainOverlay> opened(bool withPanel, Owner* owner, bool allowInteraction) {
        auto overlay = std::make_shared<PlainOverlay>(withPanel);
        overlay->setDelegate(owner);
        overlay->addViewTo(*window);
        overlay->appearWithAnimationAllowInteraction(allowInteraction);
        return overlay;
    }
};

TEST_F(OverlayBaseTest, OpensOverTheWindowReportsClosingOnceInOrderAndMayBeDroppedByItsOwnerThen) {
    Owner owner;
    owner.held = opened(false, &owner, false);
    std::weak_ptr<OverlayViewController> watch = owner.held;
    std::weak_ptr<View> root = owner.held->view();
    EXPECT_FALSE(touchesOn()) << "touches off until the pop-in's last step has ended";
    advance(kPopIn - 0.01);
    EXPECT_FALSE(touchesOn());
    advance(0.02);
    EXPECT_TRUE(touchesOn());
    owner.held->willClose();
    owner.held->pressClose();
    EXPECT_EQ(owner.calls, std::vector<std::string>{"willClose"});
    EXPECT_FALSE(touchesOn()) << "the close reuses the flag the overlay was opened with";
    advance(kShrink - 0.01);
    EXPECT_EQ(root.lock()->superview(), window.get());
    advance(0.02);
    EXPECT_TRUE(touchesOn());
    EXPECT_EQ(owner.held, nullptr);
    EXPECT_TRUE(window->subviews().empty());
    settle();
    advance(1.0);
    EXPECT_TRUE(watch.expired() && root.expired()) << "gone once the loop has moved on";
    EXPECT_EQ(owner.calls, (std::vector<std::string>{"willClose", "didClose"}));
}

TEST_F(OverlayBaseTest, ThePanelAnimatesAShowDuringTheShrinkKeepsItAndAGoneOwnerIsSkipped) {
    auto overlay = std::make_shared<PlainOverlay>(true);
    {
        Owner owner;
        overlay->setDelegate(&owner);
    }
    EXPECT_EQ(overlay->delegate(), nullptr);
    overlay->addViewTo(*window);
    overlay->appearWithAnimationAllowInteraction(true);
    advance(0.1);
    EXPECT_LT(overlay->containerView()->presentationAlpha(), 1.0);
    EXPECT_DOUBLE_EQ(overlay->view()->presentationAlpha(), 1.0);
    advance(kPopIn);
    overlay->pressClose();
    EXPECT_TRUE(touchesOn()) << "opened with interaction allowed: closes with input live";
    advance(kShrink / 2);
    EXPECT_LT(overlay->containerView()->presentationTransform().a, 1.0);
    EXPECT_TRUE(overlay->view()->presentationTransform().isIdentity());
    overlay->appearWithAnimationAllowInteraction(true);
    advance(kPopIn + kShrink);
    EXPECT_EQ(overlay->view()->superview(), window.get());
    EXPECT_DOUBLE_EQ(overlay->containerView()->alpha(), 1.0);
    overlay->willClose();
    overlay->pressClose();
    advance(kShrink + 0.01);
    EXPECT_EQ(overlay->view()->superview(), nullptr);
}

TEST_F(OverlayBaseTest, EscPressesTheShownCloseButtonOfTheFrontmostOverlayThatHasOne) {
    Owner back, front;
    auto behind = opened(true, &back, false);
    auto over = opened(true, &front, false);
    EXPECT_FALSE(window->handleEscapeKey()) << "input is off while they pop in";
    advance(kPopIn);
    over->viewNamed<Button>("closeBtn")->setHidden(true);
    EXPECT_TRUE(window->handleEscapeKey());
    advance(kShrink + 0.01);
    EXPECT_EQ(back.calls, std::vector<std::string>{"didClose"}) << "the one in front shows no close button";
    EXPECT_TRUE(front.calls.empty());
    over->viewNamed<Button>("closeBtn")->setHidden(false);
    EXPECT_TRUE(window->handleEscapeKey());
    advance(kShrink + 0.01);
    EXPECT_EQ(front.calls, std::vector<std::string>{"didClose"});
    EXPECT_FALSE(window->handleEscapeKey());
}

TEST_F(OverlayBaseTest, TheMessageBoxAndStoryScenesLoadCleanlyAndMoveBelowTheBandOnATallScreen) {
    for (double height : {480.0, 568.0}) {
        TearDown();
        setUpWorld(height);
        NMAlertViewController alert;
        MangaViewController manga;
        EXPECT_TRUE(alert.layoutErrors().empty() && manga.layoutErrors().empty());
        for (const View* v : {alert.view().get(), manga.view().get()}) EXPECT_EQ(v->frame(), Rect(0, height - 480, 320, 480));
    }
}

TEST_F(OverlayBaseTest, TheProgressIndicatorFadesInAndOutTheTagDecidesWhetherAHideCountsAndEachShowingChoosesItsParent) {
    constexpr double kFade = ProgressIndicator::kFadeDuration;
    HUDManager& hud = *HUDManager::getInstance();
    const auto indicator = [&]() -> ProgressIndicator& { return *hud.HUD(); };
    hud.showHUDOnWindowWithText("Saving...", 7);
    EXPECT_EQ(indicator().superview(), window.get());
    EXPECT_EQ(indicator().labelText(), "Saving...");
    advance(kFade / 2);
    EXPECT_LT(indicator().presentationAlpha(), 1.0);
    advance(kFade);
    EXPECT_EQ(window->hitTest(Point(160, 240)).get(), &indicator()) << "it takes the touches below";
    hud.hideHUDWithTag(3);
    advance(kFade * 2);
    EXPECT_TRUE(hud.isShowing());
    hud.showHUDOnWindowWithText("");  // a plain showing keeps the tag
    hud.hideHUDWithTag(7);
    advance(kFade / 2);
    EXPECT_TRUE(hud.isShowing()) << "still fading";
    advance(kFade);
    EXPECT_FALSE(hud.isShowing());
    EXPECT_EQ(indicator().superview(), nullptr);

    // Each showing after a hide chooses its parent anew; the dimming stays as set.
    auto panel = View::make<View>(Rect(0, 0, 320, 480));
    window->addSubview(panel);
    EXPECT_TRUE(indicator().dimBackground());
    hud.showHUDAddedTo(*panel, "Saving...", false);
    hud.showHUDOnWindow();  // while up: stays where it is
    EXPECT_EQ(indicator().superview(), panel.get());
    hud.hideHUD();
    advance(kFade + 0.01);
    hud.showHUDOnWindow();
    EXPECT_EQ(indicator().superview(), window.get());
    EXPECT_FALSE(indicator().dimBackground());
    EXPECT_EQ(indicator().labelText(), "");
    hud.showHUDOnWindowWithDim(true);
    EXPECT_TRUE(indicator().dimBackground());
}

}  // namespace
}  // namespace overlaytests
