// Stock entry and exit animations and the throw, driven on the manual clock.
#include <cmath>

#include "StageTestSupport.h"
#include "platform/ui/View.h"
#include "stage/NMAnimationCommon.h"

namespace {

using stagetest::StageTest;

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
    double scaleShown() const { return view->presentationTransform().scaleX(); }

    std::shared_ptr<View> view;
    double start = 0;
    int calls = 0;
    NMAnimationCommon::Block counter() {
        return [this] { ++calls; };
    }
};

TEST_F(StageAnimationTest, BounceFromBelowOvershootsByTheTargetsOwnY) {
    NMAnimationCommon::animateView(*view, {100, 200}, 4, true, counter());
    EXPECT_DOUBLE_EQ(shown().y, 240);  // h below the target
    EXPECT_DOUBLE_EQ(shown().x, 100);
    EXPECT_DOUBLE_EQ(view->presentationAlpha(), 0.0);

    advanceTo(start, 0.125);
    EXPECT_LT(shown().y, 225);  // ease out: past the middle at half time
    EXPECT_GT(shown().y, 210);

    advanceTo(start, 0.25);
    EXPECT_NEAR(shown().y, 210, 1e-6);
    EXPECT_NEAR(view->presentationAlpha(), 1.0, 1e-9);
    advanceTo(start, 0.35);
    EXPECT_NEAR(shown().y, 190, 1e-6);
    advanceTo(start, 0.45);
    EXPECT_NEAR(shown().y, 204, 1e-6);
    EXPECT_EQ(calls, 0);
    advanceTo(start, 0.55);
    EXPECT_NEAR(shown().y, 200, 1e-6);
    EXPECT_EQ(view->center(), Point(100, 200));
    EXPECT_EQ(calls, 1);
    RunLoop::main().advanceBy(1.0);
    EXPECT_EQ(calls, 1);
}

TEST_F(StageAnimationTest, BounceIsLargerTheLowerTheTarget) {
    NMAnimationCommon::animateView(*view, {100, 400}, 4, true);
    advanceTo(start, 0.25);
    EXPECT_NEAR(shown().y, 420, 1e-6);
    advanceTo(start, 0.35);
    EXPECT_NEAR(shown().y, 380, 1e-6);
}

struct SlideCase {
    int type;
    Point from;
    double fromAlpha;
    Point to;
    double toAlpha;
    AnimationCurve curve;
};

TEST_F(StageAnimationTest, SlidesStartAndEndWhereTheyShould) {
    const Point p{150, 300};
    const SlideCase cases[] = {
        {0, {150, 260}, 0.0, p, 1.0, AnimationCurve::easeOut},
        {1, {150, 340}, 0.0, p, 1.0, AnimationCurve::easeOut},
        {2, p, 1.0, {150, 260}, 1.0, AnimationCurve::easeIn},
        {3, p, 1.0, {150, 340}, 1.0, AnimationCurve::easeIn},
    };
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
        // At a fifth of the time, ease in has covered less than ease out.
        advanceTo(start, 0.05);
        const double covered = std::abs(shown().y - c.from.y) / 40.0;
        if (c.curve == AnimationCurve::easeOut) {
            EXPECT_GT(covered, 0.2);
        } else {
            EXPECT_LT(covered, 0.2);
        }
        advanceTo(start, 0.2499);
        EXPECT_EQ(calls, 0);
        advanceTo(start, 0.25);
        EXPECT_EQ(calls, 1);
        EXPECT_EQ(shown(), c.to);
        EXPECT_DOUBLE_EQ(view->presentationAlpha(), c.toAlpha);
        EXPECT_FALSE(view->hasAnimations());
    }
}

TEST_F(StageAnimationTest, GrowInStartsAlmostInvisibleAndEndsAtFullSize) {
    view->setHidden(true);
    NMAnimationCommon::animateView(*view, 5, true, counter());
    EXPECT_FALSE(view->isHidden());
    EXPECT_NEAR(scaleShown(), 0.00001, 1e-9);
    EXPECT_DOUBLE_EQ(view->presentationAlpha(), 0.0);
    advanceTo(start, 0.25);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(view->transform().isIdentity());
    EXPECT_DOUBLE_EQ(view->alpha(), 1.0);
    EXPECT_EQ(view->center(), Point(10, 10));
}

TEST_F(StageAnimationTest, PointFormHandsGrowAndShrinkOnWithoutMovingTheView) {
    view->setHidden(true);
    NMAnimationCommon::animateView(*view, {300, 300}, 6, true, counter());
    EXPECT_FALSE(view->isHidden());
    EXPECT_EQ(view->center(), Point(10, 10));
    EXPECT_DOUBLE_EQ(view->presentationAlpha(), 1.0);
    advanceTo(start, 0.25);
    EXPECT_EQ(calls, 1);
    // Shrink out leaves the view shown, transparent and small.
    EXPECT_FALSE(view->isHidden());
    EXPECT_DOUBLE_EQ(view->alpha(), 0.0);
    EXPECT_NEAR(view->transform().scaleX(), 0.1, 1e-12);
    EXPECT_NEAR(view->transform().scaleY(), 0.1, 1e-12);

    calls = 0;
    start = now();
    NMAnimationCommon::animateView(*view, {300, 300}, 5, true, counter());
    advanceTo(start, 0.25);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(view->center(), Point(10, 10));
    EXPECT_TRUE(view->transform().isIdentity());
}

TEST_F(StageAnimationTest, ShrinkWithoutAPointDoesNotUnhide) {
    view->setHidden(true);
    NMAnimationCommon::animateView(*view, 6, true, counter());
    EXPECT_TRUE(view->isHidden());
    advanceTo(start, 0.25);
    EXPECT_EQ(calls, 1);
    EXPECT_DOUBLE_EQ(view->alpha(), 0.0);
}

TEST_F(StageAnimationTest, GrowInWithBounceOvershootsThenSettles) {
    view->setHidden(true);
    NMAnimationCommon::animateView(*view, 7, true, counter());
    EXPECT_FALSE(view->isHidden());
    advanceTo(start, 0.25);
    EXPECT_NEAR(scaleShown(), 1.0, 1e-9);
    EXPECT_NEAR(view->presentationAlpha(), 1.0, 1e-9);
    advanceTo(start, 0.35);
    EXPECT_NEAR(scaleShown(), 0.95, 1e-9);
    advanceTo(start, 0.45);
    EXPECT_NEAR(scaleShown(), 1.02, 1e-9);
    EXPECT_EQ(calls, 0);
    advanceTo(start, 0.55);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(view->transform().isIdentity());
    EXPECT_DOUBLE_EQ(view->alpha(), 1.0);
}

TEST_F(StageAnimationTest, UnknownTypesShowTheViewAndNeverCallTheBlock) {
    for (int type : {-1, 8, 42}) {
        view->setHidden(true);
        NMAnimationCommon::animateView(*view, {50, 50}, type, false, counter());
        EXPECT_FALSE(view->isHidden());
        EXPECT_TRUE(touchesEnabled());
    }
    // Types belonging to the other form do nothing either.
    view->setHidden(true);
    NMAnimationCommon::animateView(*view, {50, 50}, 7, false, counter());
    EXPECT_FALSE(view->isHidden());
    for (int type : {0, 3, 4, 8}) NMAnimationCommon::animateView(*view, type, false, counter());
    EXPECT_TRUE(touchesEnabled());
    RunLoop::main().advanceBy(2.0);
    EXPECT_EQ(calls, 0);
    EXPECT_FALSE(view->isHidden());
    EXPECT_EQ(view->center(), Point(10, 10));
    EXPECT_FALSE(view->hasAnimations());
}

TEST_F(StageAnimationTest, TouchesAreOffUntilTheLastStepEndsThenTheBlockRuns) {
    bool enabledInBlock = false;
    NMAnimationCommon::animateView(*view, {100, 200}, 4, false, [&] {
        ++calls;
        enabledInBlock = touchesEnabled();
    });
    EXPECT_FALSE(touchesEnabled());
    EXPECT_TRUE(view->hasAnimationsBlockingInteraction());
    advanceTo(start, 0.45);
    EXPECT_FALSE(touchesEnabled());
    advanceTo(start, 0.55);
    EXPECT_TRUE(touchesEnabled());
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(enabledInBlock);

    // With interaction allowed the switch is never touched and the view stays hittable.
    calls = 0;
    start = now();
    NMAnimationCommon::animateView(*view, 7, true, counter());
    EXPECT_TRUE(touchesEnabled());
    EXPECT_FALSE(view->hasAnimationsBlockingInteraction());
    advanceTo(start, 0.55);
    EXPECT_EQ(calls, 1);
}

TEST_F(StageAnimationTest, AViewDestroyedMidwayStillGivesTouchesBack) {
    NMAnimationCommon::animateView(*view, {100, 200}, 1, false, counter());
    EXPECT_FALSE(touchesEnabled());
    advanceTo(start, 0.1);
    view.reset();
    RunLoop::main().advanceBy(1.0);
    EXPECT_TRUE(touchesEnabled());
    EXPECT_EQ(calls, 1);
}

// ---- Throw

TEST_F(StageAnimationTest, ThrowRisesGrowsThenFallsInTimeForTheDistance) {
    NMAnimationCommon::startThrowView(*view, 1.66, 70, 100, 740, counter());
    EXPECT_TRUE(touchesEnabled());
    EXPECT_FALSE(view->hasAnimationsBlockingInteraction());
    advanceTo(start, 0.15);
    EXPECT_GT(scaleShown(), 1.0);
    advanceTo(start, 0.3);
    EXPECT_EQ(shown(), Point(70, 100));
    EXPECT_NEAR(scaleShown(), 1.66, 1e-9);
    advanceTo(start, 0.4);  // the 0.1 s pause at the top
    EXPECT_NEAR(shown().y, 100, 1e-9);
    advanceTo(start, 0.8);  // ease in: less than half way at half time
    EXPECT_LT(shown().y, 420);
    EXPECT_GT(shown().y, 100);
    advanceTo(start, 1.19);
    EXPECT_EQ(calls, 0);
    EXPECT_LT(shown().y, 740);
    advanceTo(start, 1.2);  // 0.3 + 0.1 + 0.8
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(shown(), Point(70, 740));
    EXPECT_NEAR(view->transform().scaleX(), 1.66, 1e-9);  // the scale stays
}

TEST_F(StageAnimationTest, ShortThrowsFallInFourTenths) {
    NMAnimationCommon::startThrowView(*view, 1.0, 30, 100, 300, counter());
    advanceTo(start, 0.7999);
    EXPECT_EQ(calls, 0);
    advanceTo(start, 0.8);  // 0.3 + 0.1 + 0.4
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(view->center(), Point(30, 300));

    EXPECT_DOUBLE_EQ(NMAnimationCommon::throwFallDuration(100, 740), 0.8);
    EXPECT_DOUBLE_EQ(NMAnimationCommon::throwFallDuration(100, 300), 0.4);
    EXPECT_DOUBLE_EQ(NMAnimationCommon::throwFallDuration(100, 420), 0.4);
    EXPECT_DOUBLE_EQ(NMAnimationCommon::throwFallDuration(100, 900), 1.0);
    EXPECT_DOUBLE_EQ(NMAnimationCommon::throwFallDuration(300, 100), 0.4);  // upwards
}

TEST_F(StageAnimationTest, ThrowWithoutBlockEndsQuietly) {
    NMAnimationCommon::startThrowView(*view, 2.0, 0, 0, 500);
    RunLoop::main().advanceBy(2.0);
    EXPECT_EQ(view->center(), Point(0, 500));
    EXPECT_FALSE(view->hasAnimations());
}

}  // namespace
