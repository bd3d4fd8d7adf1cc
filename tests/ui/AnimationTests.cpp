// Timed view animations: interpolation from the clock, curves, delays, replacement, completions,
// touches during a move, and the window's redraws.
#include <numbers>

#include "UiTestSupport.h"
#include "platform/ui/AnimationCurve.h"

namespace {

class AnimationTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        linear.curve = AnimationCurve::linear;
        window->addSubview(view);
    }
    void animate(double duration, double delay, std::function<void()> change) {
        View::animateWithDuration(duration, delay, linear, change, [this](bool finished) { calls.push_back(finished); });
    }
    AnimationOptions linear;
    std::shared_ptr<View> view = std::make_shared<View>(Rect(0, 0, 40, 40));  // centre (20, 20)
    std::vector<bool> calls;
};

TEST_F(AnimationTest, TheModelTakesTheEndValueAtOnceWhileThePresentationMovesByParts) {
    view->setTransform(Transform::makeScale(0.3, 0.3));
    animate(1.0, 0, [&] {
        view->setCenter(Point(120, 200));
        view->setAlpha(0.2);
        view->setTransform(Transform::makeRotation(std::numbers::pi / 2));
    });
    EXPECT_EQ(window->hitTest(view->center()), window) << "the end value at once, but no touches while it moves";
    advance(0.25);
    EXPECT_NEAR(view->presentationCenter().y, 65, 1e-9);
    EXPECT_NEAR(view->presentationAlpha(), 0.8, 1e-9);
    EXPECT_NEAR(view->presentationTransform().scaleX(), 0.475, 1e-9);
    EXPECT_NEAR(view->presentationTransform().rotation(), std::numbers::pi / 8, 1e-9);
    advance(0.75);
    EXPECT_EQ(view->presentationCenter(), Point(120, 200));
    EXPECT_EQ(calls, std::vector<bool>{true}) << "one completion for all properties";
    linear.allowUserInteraction = true;
    animate(1.0, 0, [&] { view->setCenter(Point(60, 60)); });
    EXPECT_EQ(window->hitTest(Point(60, 60)), view) << "allowed: hit testing uses the model";
}

TEST_F(AnimationTest, CurvesAreMonotonicBezierTimings) {
    EXPECT_NEAR(applyAnimationCurve(AnimationCurve::easeIn, 0.5), 0.3154, 1e-3);
    EXPECT_NEAR(applyAnimationCurve(AnimationCurve::easeInOut, 0.1), 0.0197, 1e-3);
    for (auto c : {AnimationCurve::easeIn, AnimationCurve::easeOut, AnimationCurve::easeInOut})
        for (int i = 1; i <= 100; ++i) EXPECT_GE(applyAnimationCurve(c, i / 100.0) + 1e-9, applyAnimationCurve(c, (i - 1) / 100.0));
}

TEST_F(AnimationTest, ADelayHoldsTheStartValueAndCompletionsRunAtTheirOwnInstants) {
    std::vector<double> ends;
    View::animateWithDuration(0.8, 0.5, linear, [&] { view->setCenter(Point(100, 20)); }, [&](bool) {
        ends.push_back(now());
        View::animateWithDuration(0.1, 0, linear, [&] { view->setCenter(Point(20, 30)); }, [&](bool) { ends.push_back(now()); });
    });
    advance(0.4);
    EXPECT_EQ(view->presentationCenter(), Point(20, 20));
    advance(0.5);  // 0.4 s into the 0.8 s move
    EXPECT_NEAR(view->presentationCenter().x, 60, 1e-9);
    advance(0.399);
    EXPECT_TRUE(ends.empty());
    advance(5);
    ASSERT_EQ(ends.size(), 2u);
    EXPECT_DOUBLE_EQ(ends[0], 1.3) << "not at the end of the step";
    EXPECT_NEAR(ends[1], 1.4, 1e-12);
}

TEST_F(AnimationTest, AReplacedAnimationCompletesUnfinishedAndTheNewOneStartsWhereTheOldWasShown) {
    animate(1.0, 0, [&] { view->setCenter(Point(120, 20)), view->setAlpha(0.5); });
    advance(0.5);  // shown at x = 70
    view->setAlpha(1.0);  // ends the alpha animation only; the group still moves
    pass();
    EXPECT_TRUE(calls.empty());
    animate(1.0, 0, [&] { view->setCenter(Point(70, 120)); });
    EXPECT_TRUE(calls.empty()) << "told on a later pass, not inside the new block";
    pass();
    EXPECT_EQ(calls, std::vector<bool>{false});
    EXPECT_EQ(view->presentationCenter(), Point(70, 20));
    advance(1.0);
    EXPECT_EQ(calls, (std::vector<bool>{false, true}));
}

TEST_F(AnimationTest, EmptyRemovedAndDestroyedAnimationsCompleteOnALaterPass) {
    animate(0, 0, [&] { view->setCenter(Point(200, 200)); });
    animate(3, 0, [] {});  // changes nothing
    EXPECT_TRUE(calls.empty());
    pass();
    EXPECT_EQ(calls, (std::vector<bool>{true, true}));
    auto child = std::make_shared<View>(Rect(0, 0, 10, 10));
    view->addSubview(child);
    animate(1.0, 0, [&] { child->setAlpha(0.2); });
    view->removeFromSuperview();  // takes the child's animation with it
    pass();
    EXPECT_FALSE(child->hasAnimations());
    child->removeFromSuperview();
    animate(1.0, 0, [&] { child->setCenter(Point(90, 90)); });
    child.reset();  // destroyed while it moves
    advance(2.0);
    EXPECT_EQ(calls, (std::vector<bool>{true, true, false, false}));
}

TEST_F(AnimationTest, TheWindowRedrawsWhileSomethingMovesAndSleepsOtherwise) {
    window->clearDirty();
    EXPECT_FALSE(window->needsDisplay(now()));
    animate(1.0, 0.5, [&] { view->setCenter(Point(30, 30)); });
    window->clearDirty();
    // During the delay nothing moves; the next change is at the start.
    EXPECT_FALSE(window->needsDisplay(now()));
    EXPECT_DOUBLE_EQ(*window->nextVisualChange(now()), 0.5);
    advance(0.6);
    window->clearDirty();
    EXPECT_TRUE(window->needsDisplay(now()));
    advance(0.9);
    EXPECT_TRUE(window->isDirty());  // the last picture at the end value
    window->clearDirty();
    EXPECT_FALSE(window->nextVisualChange(now()).has_value());
    view->setTag(5);  // not a visible change
    EXPECT_FALSE(window->isDirty());
    // Views hidden or outside the window move no pixels of it.
    view->setHidden(true);
    auto loose = std::make_shared<View>(Rect(0, 0, 5, 5));
    animate(1.0, 0, [&] { loose->setAlpha(0), view->setAlpha(0); });
    window->clearDirty();
    EXPECT_FALSE(window->needsDisplay(now()));
    EXPECT_FALSE(window->nextVisualChange(now()).has_value());
}

}  // namespace
