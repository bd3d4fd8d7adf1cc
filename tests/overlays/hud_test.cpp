// The progress indicator: fading in and out, leaving its parent when hidden, its text, its
// dimming that stays as set, and its tag that is never reset.
#include "overlay_test_support.h"

#include "platform/ui/ProgressIndicator.h"

namespace overlaytests {
namespace {

constexpr double kFade = ProgressIndicator::kFadeDuration;

using HudTest = OverlayTest;

TEST_F(HudTest, FadesInAndOutTheTagDecidesWhetherAHideCountsAndEachShowingChoosesItsParent) {
    HUDManager& hud = *HUDManager::getInstance();
    const auto indicator = [&]() -> ProgressIndicator& { return *hud.HUD(); };
    EXPECT_EQ(indicator().frame(), window->bounds());
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
