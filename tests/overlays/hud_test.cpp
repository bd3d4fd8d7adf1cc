// The progress indicator over the window: fading in and out, leaving its parent when hidden,
// its text, its dimming that stays, and its tag that is never reset.
#include "overlay_test_support.h"

#include "platform/ui/ProgressIndicator.h"

namespace overlaytests {
namespace {

constexpr double kFade = ProgressIndicator::kFadeDuration;

class HudTest : public OverlayTest {
protected:
    HUDManager& hud() { return *HUDManager::getInstance(); }
    ProgressIndicator& indicator() { return *hud().HUD(); }
};

TEST_F(HudTest, MadeForTheWindowButNotShownUntilAsked) {
    EXPECT_FALSE(hud().isShowing());
    EXPECT_EQ(indicator().superview(), nullptr);
    EXPECT_EQ(indicator().frame(), window->bounds());
    EXPECT_TRUE(indicator().dimBackground());
}

TEST_F(HudTest, ShowsWithAFadeAndLeavesTheWindowAfterFadingOut) {
    hud().showHUDOnWindowWithText("Loading...");
    EXPECT_TRUE(hud().isShowing());
    EXPECT_EQ(indicator().superview(), window.get());
    EXPECT_EQ(indicator().labelText(), "Loading...");
    advance(kFade / 2);
    const double halfway = indicator().presentationAlpha();
    EXPECT_GT(halfway, 0.0);
    EXPECT_LT(halfway, 1.0);
    advance(kFade);
    EXPECT_DOUBLE_EQ(indicator().presentationAlpha(), 1.0);
    // It takes the touches meant for what lies below.
    EXPECT_EQ(window->hitTest(Point(160, 240)).get(), &indicator());

    hud().hideHUD();
    EXPECT_TRUE(hud().isShowing());  // still fading
    advance(kFade / 2);
    EXPECT_LT(indicator().presentationAlpha(), 1.0);
    advance(kFade);
    EXPECT_FALSE(hud().isShowing());
    EXPECT_EQ(indicator().superview(), nullptr);
}

TEST_F(HudTest, TheTagDecidesWhetherAHideByTagCounts) {
    hud().showHUDOnWindowWithText("Saving...", 7);
    advance(kFade);
    hud().hideHUDWithTag(3);
    advance(kFade * 2);
    EXPECT_TRUE(hud().isShowing());
    // A plain showing keeps the old tag.
    hud().showHUDOnWindowWithText("");
    EXPECT_EQ(indicator().labelText(), "");
    hud().hideHUDWithTag(7);
    advance(kFade * 2);
    EXPECT_FALSE(hud().isShowing());
    EXPECT_EQ(indicator().tag(), 7);
}

TEST_F(HudTest, EachShowingAfterAHideChoosesItsParentAnew) {
    auto panel = View::make<View>(Rect(0, 0, 320, 480));
    window->addSubview(panel);
    hud().showHUDAddedTo(*panel, "Saving...", false);
    EXPECT_EQ(indicator().superview(), panel.get());
    EXPECT_FALSE(indicator().dimBackground());
    // Shown again while up: stays where it is.
    hud().showHUDOnWindow();
    EXPECT_EQ(indicator().superview(), panel.get());
    hud().hideHUD();
    advance(kFade + 0.01);
    EXPECT_EQ(indicator().superview(), nullptr);
    // The dimming stays as last set; the window takes it this time.
    hud().showHUDOnWindow();
    EXPECT_EQ(indicator().superview(), window.get());
    EXPECT_FALSE(indicator().dimBackground());
    EXPECT_EQ(indicator().labelText(), "");
    hud().hideHUD();
    advance(kFade + 0.01);
    hud().showHUDOnWindowWithDim(true);
    EXPECT_TRUE(indicator().dimBackground());
    EXPECT_EQ(indicator().superview(), window.get());
}

TEST_F(HudTest, AShowDuringTheFadeOutKeepsItUp) {
    hud().showHUDOnWindow();
    advance(kFade);
    hud().hideHUD();
    advance(kFade / 2);
    hud().showHUDOnWindowWithText("Again");
    advance(kFade * 2);
    EXPECT_TRUE(hud().isShowing());
    EXPECT_DOUBLE_EQ(indicator().presentationAlpha(), 1.0);
}

}  // namespace
}  // namespace overlaytests
