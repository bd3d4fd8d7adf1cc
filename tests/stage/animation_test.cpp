// Stock entry and exit animations and the quake, driven on the manual clock.
#include <cmath>

#include "stage_test_support.h"
#include "stage/NMAnimationCommon.h"
#include "stage/ViewEffects.h"

namespace stagetests {
namespace {

class StageAnimationTest : public StageTest {
protected:
    void SetUp() override {
        StageTest::SetUp();
        view = View::make(Rect(0, 0, 60, 40));  // h = 40
        view->setCenter({10, 10});
        start = now();
    }
    void TearDown() override {
        view.reset();
        StageTest::TearDown();
    }
    Point shown() const { return view->presentationCenter(); }
    NMAnimationCommon::Block counter() {
        return [this] { ++calls; };
    }
    std::shared_ptr<View> view;
    double start = 0;
    int calls = 0;
};

TEST_F(StageAnimationTest, BounceFromBelowOvershootsByTheTargetsOwnY) {
    const double y = 200;
    NMAnimationCommon::animateView(*view, {100, y}, 4, true, counter());
    EXPECT_EQ(shown(), Point(100, y + 40));  // h below the target
    EXPECT_DOUBLE_EQ(view->presentationAlpha(), 0.0);
    advanceTo(start, 0.125);
    EXPECT_LT(shown().y, (y + 40 + 1.05 * y) / 2);  // ease out: past the middle at half time
    const double steps[] = {1.05, 0.95, 1.02};
    for (int k = 0; k < 3; ++k) {
        advanceTo(start, 0.25 + 0.1 * k);
        EXPECT_NEAR(shown().y, steps[k] * y, 1e-6);
    }
    EXPECT_NEAR(view->presentationAlpha(), 1.0, 1e-9);
    EXPECT_EQ(calls, 0);
    advanceTo(start, 0.55);
    EXPECT_EQ(view->center(), Point(100, y));
    RunLoop::main().advanceBy(1.0);
    EXPECT_EQ(calls, 1);
}

TEST_F(StageAnimationTest, SlidesStartAndEndWhereTheyShould) {
    struct Case {
        int type;
        Point from;
        double fromAlpha;
        Point to;
        bool easeOut;
    };
    const Point p{150, 300};
    const Case cases[] = {{0, {150, 260}, 0.0, p, true}, {1, {150, 340}, 0.0, p, true}, {2, p, 1.0, {150, 260}, false}, {3, p, 1.0, {150, 340}, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE("type " + std::to_string(c.type));
        calls = 0;
        view->setHidden(true);
        view->setAlpha(0.5);
        start = now();
        NMAnimationCommon::animateView(*view, p, c.type, true, counter());
        EXPECT_FALSE(view->isHidden());
        EXPECT_EQ(shown(), c.from);
        EXPECT_DOUBLE_EQ(view->presentationAlpha(), c.fromAlpha);
        advanceTo(start, 0.05);  // at a fifth of the time ease in has covered less than ease out
        EXPECT_EQ(std::abs(shown().y - c.from.y) / 40.0 > 0.2, c.easeOut);
        advanceTo(start, 0.2499);
        EXPECT_EQ(calls, 0);
        advanceTo(start, 0.25);
        EXPECT_EQ(calls, 1);
        EXPECT_EQ(shown(), c.to);
        EXPECT_DOUBLE_EQ(view->presentationAlpha(), 1.0);
        EXPECT_FALSE(view->hasAnimations());
    }
}

TEST_F(StageAnimationTest, GrowAndShrinkKeepThePlaceAndOnlyGrowingUnhides) {
    view->setHidden(true);
    NMAnimationCommon::animateView(*view, {300, 300}, 6, true, counter());
    EXPECT_FALSE(view->isHidden());
    advanceTo(start, 0.25);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(view->center(), Point(10, 10));
    EXPECT_DOUBLE_EQ(view->alpha(), 0.0);
    EXPECT_NEAR(view->transform().scaleY(), 0.1, 1e-12);
    start = now();
    NMAnimationCommon::animateView(*view, {300, 300}, 5, true, counter());
    EXPECT_NEAR(view->presentationTransform().scaleX(), 0.00001, 1e-9);
    advanceTo(start, 0.25);
    EXPECT_EQ(calls, 2);
    EXPECT_TRUE(view->transform().isIdentity());
    EXPECT_DOUBLE_EQ(view->alpha(), 1.0);
    view->setHidden(true);  // shrinking without a point does not unhide
    NMAnimationCommon::animateView(*view, 6, true, counter());
    EXPECT_TRUE(view->isHidden());
    // Unknown types show the view and never call the block (7 belongs to the other form).
    for (int type : {-1, 7, 8}) NMAnimationCommon::animateView(*view, {50, 50}, type, false, counter());
    EXPECT_FALSE(view->isHidden());
    for (int type : {0, 8}) NMAnimationCommon::animateView(*view, type, false, counter());
    EXPECT_TRUE(touchesEnabled());
    RunLoop::main().advanceBy(2.0);
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(view->center(), Point(10, 10));
}

TEST_F(StageAnimationTest, TouchesAreOffUntilTheLastStepEndsThenTheBlockRuns) {
    bool enabledInBlock = false;
    NMAnimationCommon::animateView(*view, {100, 200}, 4, false, [&] {
        ++calls;
        enabledInBlock = touchesEnabled();
    });
    EXPECT_TRUE(view->hasAnimationsBlockingInteraction());
    advanceTo(start, 0.45);
    EXPECT_FALSE(touchesEnabled());
    advanceTo(start, 0.55);
    EXPECT_TRUE(enabledInBlock);
    // With interaction allowed the switch is never touched and the view stays hittable.
    NMAnimationCommon::animateView(*view, 7, true, counter());
    EXPECT_TRUE(touchesEnabled());
    EXPECT_FALSE(view->hasAnimationsBlockingInteraction());
    RunLoop::main().advanceBy(0.6);
    // A view destroyed half-way still gives the touches back.
    NMAnimationCommon::animateView(*view, {100, 200}, 1, false, counter());
    RunLoop::main().advanceBy(0.1);
    view.reset();
    RunLoop::main().advanceBy(1.0);
    EXPECT_TRUE(touchesEnabled());
    EXPECT_EQ(calls, 3);
}

// Twenty steps: even counts shake within the count, odd ones put the view back.
TEST_F(StageAnimationTest, QuakeShakesWithinItsShrinkingCountAndEndsOnItsCentre) {
    const Point c = view->center();
    int largestAt20 = 0, largestAt2 = 0;
    for (int round = 0; round < 60; ++round) {
        ViewEffects::quakeWithCount(*view, 20, 0.02);
        ASSERT_EQ(view->center(), c);  // nothing before the first interval
        start = now();
        for (int step = 1; step <= 20; ++step) {
            advanceTo(start, (step + 0.5) * 0.02);
            const int b = 21 - step;  // this step's count
            const double dx = view->center().x - c.x, dy = view->center().y - c.y;
            if (b % 2 == 1) {
                ASSERT_EQ(view->center(), c) << "step " << step;
                continue;
            }
            for (double d : {dx, dy}) {
                ASSERT_GE(d, -b / 2) << "step " << step;
                ASSERT_LT(d, b / 2) << "step " << step;
                ASSERT_EQ(d, std::floor(d));
            }
            if (b == 20) largestAt20 = std::max(largestAt20, static_cast<int>(std::abs(dx)));
            if (b == 2) largestAt2 = std::max(largestAt2, static_cast<int>(std::abs(dx)));
        }
        ASSERT_FALSE(RunLoop::main().nextDeadline().has_value());  // no 21st step
    }
    EXPECT_EQ(largestAt20, 10);
    EXPECT_EQ(largestAt2, 1);
    // Back where it began even when moved meanwhile; a count of 0 does nothing; a freed view is left alone.
    view->setCenter({30, 40});
    ViewEffects::quakeWithCount(*view, 1, 0.1);
    view->setCenter({31, 41});
    RunLoop::main().advanceBy(0.1);
    EXPECT_EQ(view->center(), Point(30, 40));
    ViewEffects::quakeWithCount(*view, 0, 0.1);
    EXPECT_FALSE(RunLoop::main().nextDeadline().has_value());
    ViewEffects::quakeWithCount(*view, 20, 0.02);
    RunLoop::main().advanceBy(0.05);
    view.reset();
    RunLoop::main().advanceBy(1.0);
}

}  // namespace
}  // namespace stagetests
