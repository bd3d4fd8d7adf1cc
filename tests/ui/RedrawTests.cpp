// Drawing only what changed: a picture kept from frame to frame and redrawn in the changed
// rectangles must equal, pixel for pixel, a whole frame drawn afresh, after every kind of change
// a view can make; and a small change must cost a small patch.
#include <numbers>

#include "UiTestSupport.h"
#include "platform/render/DamageRegion.h"
#include "platform/render/HeadlessRenderer.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

namespace {

constexpr long kScreenPixels = 640L * 960L;

class RedrawTest : public WindowTest {
protected:
    // Redraws what changed and compares with a whole frame; the pixels redrawn.
    long redrawMatchesWholeFrame(const char* step) {
        const long changed = kept.renderChanges(*window);
        whole.render(*window);
        const auto [x, y] = whole.firstDifference(kept);
        EXPECT_EQ(x, -1) << step << ": first different pixel at " << x << ", " << y;
        return changed;
    }
    HeadlessRenderer kept{Size(320, 480)};
    HeadlessRenderer whole{Size(320, 480)};
};

TEST_F(RedrawTest, EveryKindOfChangeRedrawsASmallPatchThatEqualsAWholeFrame) {
    ASSERT_TRUE(kept.isValid() && whole.isValid());
    window->setBackgroundColor(Color(0.2, 0.5, 0.3));
    auto backdrop = std::make_shared<ImageView>(Rect(0, 0, 320, 480));
    std::vector<uint8_t> stripes;
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 64; ++x) stripes.insert(stripes.end(), {uint8_t(x * 4), uint8_t(y * 2), uint8_t((x + y) % 2 * 200), 255});
    backdrop->setImage(Image::fromRGBA(64, 96, std::move(stripes)));
    window->addSubview(backdrop);
    auto label = std::make_shared<Label>(Rect(20, 20, 200, 30));
    label->setText("12:34:56");
    label->setTextColor(Color::whiteColor());
    window->addSubview(label);
    auto box = add(Rect(150, 300, 50, 50), Color::blueColor().withAlpha(0.5f));
    box->setClipsToBounds(true);
    auto inner = add(Rect(-10, 10, 150, 20), Color::black(), box.get());
    auto bar = std::make_shared<ImageView>(Rect(40, 295, 40, 10));
    bar->setImage(solidImage(Color(1, 0, 1), 40, 10));
    window->addSubview(bar);
    auto dot = add(Rect(250, 400, 10, 10), Color::redColor());

    EXPECT_EQ(redrawMatchesWholeFrame("first frame"), kScreenPixels);
    EXPECT_EQ(redrawMatchesWholeFrame("nothing changed"), 0);

    label->setText("12:34:55");  // a countdown's second
    EXPECT_LT(redrawMatchesWholeFrame("text"), kScreenPixels / 20);
    dot->setCenter(Point(20, 460));  // from one corner to another: two patches, not the screen
    EXPECT_LT(redrawMatchesWholeFrame("moved"), kScreenPixels / 50);
    bar->setTransform(Transform::makeRotation(std::numbers::pi / 3));
    redrawMatchesWholeFrame("turned");
    inner->setCenter(Point(40, 40));  // inside a clipping parent
    redrawMatchesWholeFrame("clipped child moved");
    window->bringSubviewToFront(box.get());
    window->sendSubviewToBack(backdrop.get());
    redrawMatchesWholeFrame("order");
    box->setAlpha(0.2);
    redrawMatchesWholeFrame("alpha");
    label->setHidden(true);
    redrawMatchesWholeFrame("hidden");
    label->setHidden(false);
    redrawMatchesWholeFrame("shown");
    inner->removeFromSuperview();
    dot->removeFromSuperview();
    redrawMatchesWholeFrame("removed");
    dot->setCenter(Point(100, 100));
    box->addSubview(dot);  // back, into another parent
    redrawMatchesWholeFrame("added");
    bar->setAlpha(0.001);
    redrawMatchesWholeFrame("all but invisible");

    // A square sliding and spinning across: each step equals a whole frame.
    auto mover = add(Rect(0, 130, 30, 30), Color::redColor());
    View::animateWithDuration(1.0, [&] {
        mover->setCenter(Point(290, 200));
        mover->setTransform(Transform::makeRotation(1.0).scaled(1.5, 1.5));
    });
    for (int step = 0; step < 12; ++step) {
        advance(0.1);
        EXPECT_LT(redrawMatchesWholeFrame("animation step"), kScreenPixels / 4);
    }
    EXPECT_EQ(redrawMatchesWholeFrame("animation over"), 0);

    window->markDirty();
    EXPECT_EQ(redrawMatchesWholeFrame("everything asked for"), kScreenPixels);
}

TEST_F(RedrawTest, FrameAnimationsRedrawOnlyWhenTheirPictureChanges) {
    auto anim = std::make_shared<ImageView>(Rect(100, 100, 20, 20));
    anim->setAnimationImages({solidImage(Color::redColor()), solidImage(Color::blueColor())});
    anim->setAnimationDuration(0.5);  // 4 frames a second
    window->addSubview(anim);
    anim->startAnimating();
    redrawMatchesWholeFrame("first");
    int redrawn = 0;
    for (int tick = 0; tick < 60; ++tick) {  // one second at 60 frames a second
        advance(1.0 / 60);
        const auto next = window->nextVisualChange(RunLoop::main().now());
        if (window->needsDisplay(RunLoop::main().now())) {
            window->clearDirty();
            redrawn += redrawMatchesWholeFrame("frame") > 0;
        }
        ASSERT_TRUE(next.has_value());
    }
    EXPECT_GE(redrawn, 4);
    EXPECT_LE(redrawn, 5);
}

TEST(DamageRegionTest, TouchingRectanglesJoinAndManyStayAFewThatCoverThemAll) {
    DamageRegion region;
    region.setBounds(640, 960);
    region.add(PixelRect{10, 10, 10, 10});
    region.add(PixelRect{20, 10, 10, 10});  // shares an edge: one
    region.add(PixelRect{-50, -50, 55, 55});  // partly outside: cut to the target
    ASSERT_EQ(region.rects().size(), 2u);
    EXPECT_EQ(region.area(), 200 + 25);
    std::vector<PixelRect> added;
    for (int i = 0; i < 40; ++i) {
        const PixelRect r{(i * 97) % 600, (i * 211) % 900, 12, 12};
        added.push_back(r);
        region.add(r);
    }
    EXPECT_LE(region.rects().size(), DamageRegion::kMaxRects);
    for (const PixelRect& r : added) {
        bool covered = false;
        for (const PixelRect& k : region.rects()) covered = covered || r.intersection(k) == r;
        EXPECT_TRUE(covered) << r.x << "," << r.y;
    }
    EXPECT_FALSE(region.coversAll());
    region.addAll();
    EXPECT_TRUE(region.coversAll());
    EXPECT_EQ(region.rects().size(), 1u);
}

}  // namespace
