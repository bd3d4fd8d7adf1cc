// Timed view animations: interpolation from the clock, curves, delays, replacement, completions,
// touches during a move, and the window's redraws.
#include <numbers>
#include <vector>

#include "UiTestSupport.h"
#include "platform/ui/AnimationCurve.h"

namespace {

AnimationOptions linear(bool allowInteraction = false) {
    AnimationOptions o;
    o.curve = AnimationCurve::linear;
    o.allowUserInteraction = allowInteraction;
    return o;
}

class AnimationTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        view = std::make_shared<View>(Rect(0, 0, 40, 40));  // centre (20, 20)
        window->addSubview(view);
    }
    std::function<void(bool)> record() {
        return [this](bool finished) { calls.push_back(finished); };
    }
    std::shared_ptr<View> view;
    std::vector<bool> calls;
};

TEST_F(AnimationTest, TheModelTakesTheEndValueAtOnceWhileThePresentationMovesByParts) {
    view->setTransform(Transform::makeScale(0.3, 0.3));
    View::animateWithDuration(1.0, 0, linear(), [&] {
        view->setCenter(Point(120, 200));
        view->setAlpha(0.0);
        view->setTransform(Transform::makeRotation(std::numbers::pi / 2));
    }, record());
    EXPECT_EQ(view->center(), Point(120, 200));
    EXPECT_EQ(view->presentationCenter(), Point(20, 20));
    advance(0.25);
    EXPECT_NEAR(view->presentationCenter().y, 65, 1e-9);
    EXPECT_NEAR(view->presentationAlpha(), 0.75, 1e-9);
    EXPECT_NEAR(view->presentationTransform().scaleX(), 0.475, 1e-9);
    EXPECT_NEAR(view->presentationTransform().rotation(), std::numbers::pi / 8, 1e-9);
    advance(0.75);
    EXPECT_EQ(view->presentationCenter(), Point(120, 200));
    EXPECT_FALSE(view->hasAnimations());
    EXPECT_EQ(calls, std::vector<bool>{true}) << "one completion for all properties";
}

TEST_F(AnimationTest, CurvesAreMonotonicBezierTimings) {
    EXPECT_NEAR(applyAnimationCurve(AnimationCurve::easeIn, 0.5), 0.3154, 1e-3);
    EXPECT_NEAR(applyAnimationCurve(AnimationCurve::easeInOut, 0.1), 0.0197, 1e-3);
    for (auto c : {AnimationCurve::easeIn, AnimationCurve::easeOut, AnimationCurve::easeInOut}) {
        EXPECT_DOUBLE_EQ(applyAnimationCurve(c, 1), 1);
        for (int i = 1; i <= 100; ++i) EXPECT_GE(applyAnimationCurve(c, i / 100.0) + 1e-9, applyAnimationCurve(c, (i - 1) / 100.0));
    }
    AnimationOptions o;
    o.curve = AnimationCurve::easeOut;
    View::animateWithDuration(2.0, 0, o, [&] { view->setCenter(Point(120, 20)); });
    advance(1.0);
    EXPECT_NEAR(view->presentationCenter().x, 20 + 68.46, 0.1);
}

TEST_F(AnimationTest, ADelayHoldsTheStartValueAndCompletionsRunAtTheirOwnInstants) {
    std::vector<double> ends;
    View::animateWithDuration(0.8, 0.5, linear(), [&] { view->setCenter(Point(100, 20)); }, [&](bool) {
        ends.push_back(now());
        View::animateWithDuration(0.1, 0, linear(), [&] { view->setCenter(Point(20, 30)); },
                                  [&](bool) { ends.push_back(now()); });
    });
    advance(0.4);
    EXPECT_EQ(view->presentationCenter(), Point(20, 20));
    advance(0.5);  // 0.4 s into the 0.8 s move
    EXPECT_NEAR(view->presentationCenter().x, 60, 1e-9);
    advance(0.399);
    EXPECT_TRUE(ends.empty());
    advance(5);
    ASSERT_EQ(ends.size(), 2u);
    EXPECT_DOUBLE_EQ(ends[0], 1.3);  // not at the end of the step
    EXPECT_NEAR(ends[1], 1.4, 1e-12);
}

TEST_F(AnimationTest, AReplacedAnimationCompletesUnfinishedAndTheNewOneStartsWhereTheOldWasShown) {
    View::animateWithDuration(1.0, 0, linear(), [&] {
        view->setCenter(Point(120, 20));
        view->setAlpha(0.5);
    }, record());
    advance(0.5);  // shown at x = 70
    view->setAlpha(1.0);  // ends the alpha animation only; the group still moves
    pass();
    EXPECT_TRUE(calls.empty());
    View::animateWithDuration(1.0, 0, linear(), [&] { view->setCenter(Point(70, 120)); }, record());
    EXPECT_TRUE(calls.empty()) << "told on a later pass, not inside the new block";
    pass();
    EXPECT_EQ(calls, std::vector<bool>{false});
    EXPECT_EQ(view->presentationCenter(), Point(70, 20));
    advance(1.0);
    EXPECT_EQ(calls, (std::vector<bool>{false, true}));
}

TEST_F(AnimationTest, EmptyRemovedAndDestroyedAnimationsCompleteOnALaterPass) {
    View::animateWithDuration(0, 0, linear(), [&] { view->setCenter(Point(200, 200)); }, record());
    View::animateWithDuration(3, 0, linear(), [] {}, record());  // changes nothing
    EXPECT_TRUE(calls.empty());
    pass();
    EXPECT_EQ(calls, (std::vector<bool>{true, true}));
    auto child = std::make_shared<View>(Rect(0, 0, 10, 10));
    view->addSubview(child);
    View::animateWithDuration(1.0, 0, linear(), [&] { child->setAlpha(0.2); }, record());
    view->removeFromSuperview();  // takes the child's animation with it
    pass();
    EXPECT_FALSE(child->hasAnimations());
    child->removeFromSuperview();
    View::animateWithDuration(1.0, 0, linear(), [&] { child->setCenter(Point(90, 90)); }, record());
    child.reset();  // destroyed while it moves
    advance(2.0);
    EXPECT_EQ(calls, (std::vector<bool>{true, true, false, false}));
}

TEST_F(AnimationTest, AnimatingViewsLetTouchesThroughOnlyWhenAllowed) {
    View::animateWithDuration(1.0, 0, linear(), [&] { view->setCenter(Point(30, 30)); });
    EXPECT_EQ(window->hitTest(Point(30, 30)), window);
    advance(1.0);
    View::animateWithDuration(1.0, 0, linear(true), [&] { view->setCenter(Point(60, 60)); });
    EXPECT_EQ(window->hitTest(Point(60, 60)), view) << "hit testing uses the model";
}

TEST_F(AnimationTest, TheWindowRedrawsWhileSomethingMovesAndSleepsOtherwise) {
    window->clearDirty();
    EXPECT_FALSE(window->needsDisplay(now()));
    View::animateWithDuration(1.0, 0.5, linear(), [&] { view->setCenter(Point(30, 30)); });
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
    // Views hidden or outside the window move no pixels of it.
    view->setHidden(true);
    auto loose = std::make_shared<View>(Rect(0, 0, 5, 5));
    View::animateWithDuration(1.0, [&] {
        loose->setAlpha(0);
        view->setAlpha(0);
    });
    window->clearDirty();
    EXPECT_FALSE(window->needsDisplay(now()));
    EXPECT_FALSE(window->nextVisualChange(now()).has_value());
}

}  // namespace
