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
    NMAnimationCommon::Block counter() {
        return [this] { ++calls; };
    }
    std::shared_ptr<View> view;
    double start = 0;
    int calls = 0;
};

TEST_F(StageAnimationTest, GrowAndShrinkKeepThePlaceAndUnknownTypesNeverCallBack) {
    NMAnimationCommon::animateView(*view, {300, 300}, 6, true, counter());
    advanceTo(start + 0.25);
    EXPECT_EQ(view->center(), Point(10, 10));
    EXPECT_DOUBLE_EQ(view->alpha(), 0.0);
    EXPECT_NEAR(view->transform().scaleY(), 0.1, 1e-12);
    NMAnimationCommon::animateView(*view, 7, true, counter());
    EXPECT_NEAR(view->presentationTransform().scaleX(), 0.00001, 1e-9);
    advance(0.25 + 0.2);
    EXPECT_NEAR(view->presentationTransform().scaleX(), 1.02, 1e-9);
    advance(0.1);
    EXPECT_TRUE(view->transform().isIdentity());
    EXPECT_DOUBLE_EQ(view->alpha(), 1.0);
    EXPECT_EQ(calls, 2);
    for (int type : {-1, 7, 8}) NMAnimationCommon::animateView(*view, {50, 50}, type, false, counter());
    for (int type : {0, 8}) NMAnimationCommon::animateView(*view, type, false, counter());
    EXPECT_TRUE(touchesEnabled());
    advance(2.0);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(view->center(), Point(10, 10));
}

TEST_F(StageAnimationTest, TouchesAreOffUntilTheLastStepEndsEvenForADestroyedView) {
    bool enabledInBlock = false;
    NMAnimationCommon::animateView(*view, 7, false, [&] { enabledInBlock = touchesEnabled(); });
    advanceTo(start + 0.54);
    EXPECT_FALSE(touchesEnabled());
    advanceTo(start + 0.55);
    EXPECT_TRUE(enabledInBlock);
    NMAnimationCommon::animateView(*view, 6, false, counter());
    advance(0.1);
    view.reset();
    advance(1.0);
    EXPECT_TRUE(touchesEnabled());
    EXPECT_EQ(calls, 1);
}

// Twenty steps: even counts shake within half the count, odd ones put the view back.
TEST_F(StageAnimationTest, QuakeShakesWithinItsShrinkingCountAndEndsOnItsCentre) {
    const Point c = view->center();
    int largestAt20 = 0;
    for (int round = 0; round < 40; ++round) {
        ViewEffects::quakeWithCount(*view, 20, 0.02);
        start = now();
        for (int step = 1; step <= 20; ++step) {
            advanceTo(start + (step + 0.5) * 0.02);
            const int b = 21 - step;  // this step's count
            const double dx = view->center().x - c.x, dy = view->center().y - c.y;
            for (double d : {dx, dy}) ASSERT_TRUE(b % 2 ? d == 0 : d >= -b / 2 && d < b / 2) << "step " << step << ": " << d;
            if (b == 20) largestAt20 = std::max(largestAt20, static_cast<int>(std::abs(dx)));
        }
        ASSERT_FALSE(RunLoop::main().nextDeadline().has_value());  // no 21st step
    }
    EXPECT_EQ(largestAt20, 10);
    ViewEffects::quakeWithCount(*view, 20, 0.02);  // a freed view is left alone
    advance(0.05);
    view.reset();
    advance(1.0);
}

}  // namespace
}  // namespace stagetests
