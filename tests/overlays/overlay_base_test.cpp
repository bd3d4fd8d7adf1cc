// The overlay base: appearing and closing with their animations and the touch lock, the owner's
// calls in order and once, owners dropping their overlay while it closes, the tall-screen shift.
#include "overlay_test_support.h"

#include "overlays/OverlayViewController.h"
#include "platform/ui/Button.h"

namespace overlaytests {
namespace {

// An overlay built in code: a full-screen root with an optional panel named "containerView"
// holding a close button named "closeBtn".
class PlainOverlay : public OverlayViewController {
public:
    explicit PlainOverlay(bool withPanel) : OverlayViewController(""), withPanel_(withPanel) {}
    bool asksOwnerFirst = false;
    void pressClose() override {
        if (asksOwnerFirst) willClose();
        OverlayViewController::pressClose();
    }

protected:
    std::shared_ptr<View> loadView() override {
        auto root = View::make<View>(Rect(0, 0, 320, 480));
        if (withPanel_) {
            auto panel = View::make<View>(Rect(20, 100, 280, 200));
            panel->setName("containerView");
            root->addSubview(panel);
            auto close = View::make<Button>(Rect(240, 10, 30, 30));
            close->setName("closeBtn");
            close->setAction([this] { pressClose(); });
            panel->addSubview(close);
        }
        return root;
    }

private:
    bool withPanel_;
};

// An owner that records what it is told and can drop its overlay when it closes.
class Owner : public Object, public OverlayViewControllerDelegate {
public:
    std::vector<std::string> calls;
    std::shared_ptr<OverlayViewController> held;
    bool dropOnClose = false;
    void overlayWillClose(OverlayViewController&) override { calls.push_back("willClose"); }
    void overlayDidClose(OverlayViewController& overlay) override {
        calls.push_back("didClose");
        if (dropOnClose && held.get() == &overlay) {
            held->setDelegate(nullptr);
            held.reset();
        }
    }
};

class OverlayBaseTest : public OverlayTest {
protected:
    // An overlay laid over the window with its owner, appearing.
    std::shared_ptr<PlainOverlay> opened(bool withPanel, Owner* owner, bool allowInteraction) {
        auto overlay = std::make_shared<PlainOverlay>(withPanel);
        overlay->setDelegate(owner);
        overlay->addViewTo(*window);
        overlay->appearWithAnimationAllowInteraction(allowInteraction);
        return overlay;
    }
};

TEST_F(OverlayBaseTest, OpensOverTheWindowAndReportsClosingOnceInOrder) {
    Owner owner;
    auto overlay = opened(false, &owner, false);
    overlay->asksOwnerFirst = true;
    // Pop-in on the root: touches off until its last step has ended.
    EXPECT_FALSE(touchesOn());
    advance(kPopIn - 0.01);
    EXPECT_FALSE(touchesOn());
    advance(0.02);
    EXPECT_TRUE(touchesOn());
    EXPECT_TRUE(overlay->view()->transform().isIdentity());
    EXPECT_TRUE(owner.calls.empty());
    overlay->pressClose();
    EXPECT_EQ(owner.calls, std::vector<std::string>{"willClose"});
    // The close reuses the flag the overlay was opened with: input off while it shrinks.
    EXPECT_FALSE(touchesOn());
    advance(kShrink - 0.01);
    EXPECT_EQ(overlay->view()->superview(), window.get());
    advance(0.02);
    EXPECT_TRUE(touchesOn());
    EXPECT_EQ(overlay->view()->superview(), nullptr);
    EXPECT_EQ(owner.calls, (std::vector<std::string>{"willClose", "didClose"}));
    advance(1.0);
    EXPECT_EQ(owner.calls.size(), 2u);
}

TEST_F(OverlayBaseTest, AnimationsActOnThePanelWhenThereIsOneAndShownAgainWhileShrinkingItStays) {
    Owner owner;
    auto overlay = opened(true, &owner, true);
    ASSERT_NE(overlay->containerView(), nullptr);
    advance(0.1);
    EXPECT_LT(overlay->containerView()->presentationAlpha(), 1.0);
    EXPECT_DOUBLE_EQ(overlay->view()->presentationAlpha(), 1.0);
    advance(kPopIn);
    overlay->pressClose();
    advance(kShrink / 2);
    EXPECT_LT(overlay->containerView()->presentationTransform().a, 1.0);
    EXPECT_TRUE(overlay->view()->presentationTransform().isIdentity());
    overlay->appearWithAnimationAllowInteraction(true);
    advance(kPopIn + kShrink);
    EXPECT_EQ(overlay->view()->superview(), window.get());
    EXPECT_TRUE(owner.calls.empty());
    EXPECT_DOUBLE_EQ(overlay->containerView()->alpha(), 1.0);
    // Unloading the view lets go of the panel.
    overlay->unloadView();
    EXPECT_EQ(overlay->containerView(), nullptr);
}

TEST_F(OverlayBaseTest, AnOwnerMayDropItsOverlayWhenToldItClosed) {
    Owner owner;
    owner.dropOnClose = true;
    owner.held = opened(false, &owner, false);
    std::weak_ptr<OverlayViewController> watch = owner.held;
    std::weak_ptr<View> rootWatch = owner.held->view();
    advance(kPopIn);
    owner.held->pressClose();
    advance(kShrink + 0.01);
    EXPECT_EQ(owner.held, nullptr);
    EXPECT_EQ(owner.calls, std::vector<std::string>{"didClose"});
    // Gone once the loop has moved on; touches are back.
    settle();
    advance(0.1);
    EXPECT_TRUE(watch.expired());
    EXPECT_TRUE(rootWatch.expired());
    EXPECT_TRUE(touchesOn());
    EXPECT_TRUE(window->subviews().empty());
}

TEST_F(OverlayBaseTest, AnOwnerThatIsGoneIsSkippedAndInputStaysOnWhenAllowed) {
    auto overlay = std::make_shared<PlainOverlay>(false);
    {
        Owner owner;
        overlay->setDelegate(&owner);
        EXPECT_EQ(overlay->delegate(), &owner);
    }
    EXPECT_EQ(overlay->delegate(), nullptr);
    overlay->addViewTo(*window);
    overlay->appearWithAnimationAllowInteraction(true);
    advance(kPopIn);
    overlay->willClose();
    overlay->pressClose();
    EXPECT_TRUE(touchesOn()) << "opened with interaction allowed: closes with input live";
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
    {
        NMAlertViewController alert;
        MangaViewController manga;
        EXPECT_EQ(alert.view()->frame(), Rect(0, 0, 320, 480));
        EXPECT_EQ(manga.view()->frame(), Rect(0, 0, 320, 480));
        EXPECT_TRUE(alert.layoutErrors().empty() && manga.layoutErrors().empty());
    }
    TearDown();
    setUpWorld(568);
    EXPECT_EQ(NMAlertViewController().view()->frame(), Rect(0, 88, 320, 480));
    EXPECT_EQ(MangaViewController().view()->frame(), Rect(0, 88, 320, 480));
}

}  // namespace
}  // namespace overlaytests
