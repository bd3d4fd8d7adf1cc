// Timed view animations: interpolation from the clock, curves, delays, and completions.
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

class AnimationTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        window = std::make_shared<Window>(Rect(0, 0, 320, 480));
        view = std::make_shared<View>(Rect(0, 0, 40, 40));  // centre (20, 20)
        window->addSubview(view);
    }
    std::shared_ptr<Window> window;
    std::shared_ptr<View> view;
    std::vector<bool> calls;
    std::function<void(bool)> record() {
        return [this](bool finished) { calls.push_back(finished); };
    }
};

TEST_F(AnimationTest, ModelValueIsTheEndValueAtOnceWhilePresentationMovesLinearly) {
    View::animateWithDuration(1.0, 0, linear(), [&] {
        view->setCenter(Point(120, 220));
        view->setAlpha(0.0);
    });
    EXPECT_EQ(view->center(), Point(120, 220));
    EXPECT_DOUBLE_EQ(view->alpha(), 0.0);
    EXPECT_EQ(view->presentationCenter(), Point(20, 20));
    advance(0.25);
    EXPECT_NEAR(view->presentationCenter().x, 45, 1e-9);
    EXPECT_NEAR(view->presentationCenter().y, 70, 1e-9);
    EXPECT_NEAR(view->presentationAlpha(), 0.75, 1e-9);
    advance(0.5);
    EXPECT_NEAR(view->presentationCenter().x, 95, 1e-9);
    advance(0.25);
    EXPECT_EQ(view->presentationCenter(), Point(120, 220));
    EXPECT_FALSE(view->hasAnimations());
}

TEST_F(AnimationTest, CurvesFollowThePhonesBezierTimings) {
    // Known points of the three curves (cubic Béziers with the phone's control points).
    EXPECT_NEAR(applyAnimationCurve(AnimationCurve::easeInOut, 0.5), 0.5, 1e-6);
    EXPECT_NEAR(applyAnimationCurve(AnimationCurve::easeIn, 0.5), 0.3154, 1e-3);
    EXPECT_NEAR(applyAnimationCurve(AnimationCurve::easeOut, 0.5), 0.6846, 1e-3);
    EXPECT_LT(applyAnimationCurve(AnimationCurve::easeInOut, 0.1), 0.05);
    EXPECT_GT(applyAnimationCurve(AnimationCurve::easeInOut, 0.9), 0.95);
    for (auto c : {AnimationCurve::easeIn, AnimationCurve::easeOut, AnimationCurve::easeInOut, AnimationCurve::linear}) {
        EXPECT_DOUBLE_EQ(applyAnimationCurve(c, 0), 0);
        EXPECT_DOUBLE_EQ(applyAnimationCurve(c, 1), 1);
        double last = 0;
        for (int i = 1; i <= 100; ++i) {
            const double v = applyAnimationCurve(c, i / 100.0);
            EXPECT_GE(v + 1e-9, last);
            last = v;
        }
    }
    // An ease-out move of 100 points is past its middle at half time.
    AnimationOptions o;
    o.curve = AnimationCurve::easeOut;
    View::animateWithDuration(2.0, 0, o, [&] { view->setCenter(Point(120, 20)); });
    advance(1.0);
    EXPECT_NEAR(view->presentationCenter().x, 20 + 68.46, 0.1);
}

TEST_F(AnimationTest, DelayHoldsTheStartValueThenRunsAndCompletesAtTheExactEnd) {
    double endedAt = -1;
    View::animateWithDuration(0.8, 0.5, linear(), [&] { view->setCenter(Point(100, 20)); }, [&](bool f) {
        calls.push_back(f);
        endedAt = now();
    });
    advance(0.4);
    EXPECT_EQ(view->presentationCenter(), Point(20, 20));
    advance(0.5);  // 0.4 s into the 0.8 s move
    EXPECT_NEAR(view->presentationCenter().x, 60, 1e-9);
    advance(0.399);
    EXPECT_TRUE(calls.empty());
    advance(0.01);
    EXPECT_EQ(calls, std::vector<bool>{true});
    EXPECT_DOUBLE_EQ(endedAt, 1.3);  // run at its own instant, not at the end of the step
    advance(5);
    EXPECT_EQ(calls.size(), 1u);
}

TEST_F(AnimationTest, ReplacedAnimationCompletesUnfinishedAndTheNewOneStartsWhereTheOldWasShown) {
    std::vector<bool> second;
    View::animateWithDuration(1.0, 0, linear(), [&] { view->setCenter(Point(120, 20)); }, record());
    advance(0.5);  // shown at x = 70
    View::animateWithDuration(1.0, 0, linear(), [&] { view->setCenter(Point(70, 120)); },
                              [&](bool f) { second.push_back(f); });
    EXPECT_TRUE(calls.empty());  // told on a later pass, not inside the new block
    pass();
    EXPECT_EQ(calls, std::vector<bool>{false});
    EXPECT_EQ(view->presentationCenter(), Point(70, 20));
    advance(0.5);
    EXPECT_NEAR(view->presentationCenter().y, 70, 1e-9);
    advance(0.5);
    EXPECT_EQ(second, std::vector<bool>{true});
    EXPECT_EQ(calls.size(), 1u);
}

TEST_F(AnimationTest, CompletionWaitsForEveryPropertyOfItsBlock) {
    View::animateWithDuration(1.0, 0, linear(), [&] {
        view->setCenter(Point(50, 50));
        view->setAlpha(0.5);
    }, record());
    advance(0.5);
    // A plain set ends the alpha animation only; the group still has its move.
    view->setAlpha(1.0);
    pass();
    EXPECT_TRUE(calls.empty());
    EXPECT_DOUBLE_EQ(view->presentationAlpha(), 1.0);
    advance(0.5);
    EXPECT_EQ(calls, std::vector<bool>{false});
}

TEST_F(AnimationTest, ZeroDurationAppliesAtOnceAndCompletesOnTheNextPass) {
    View::animateWithDuration(0, 0, linear(), [&] { view->setCenter(Point(200, 200)); }, record());
    EXPECT_EQ(view->presentationCenter(), Point(200, 200));
    EXPECT_TRUE(calls.empty());
    pass();
    EXPECT_EQ(calls, std::vector<bool>{true});
    // A block that changes nothing also completes on the next pass.
    View::animateWithDuration(3, 0, linear(), [] {}, record());
    pass();
    EXPECT_EQ(calls, (std::vector<bool>{true, true}));
}

TEST_F(AnimationTest, RemovalAndDestructionEndAnimationsUnfinished) {
    auto child = std::make_shared<View>(Rect(0, 0, 10, 10));
    view->addSubview(child);
    View::animateWithDuration(1.0, 0, linear(), [&] { child->setAlpha(0.2); }, record());
    view->removeFromSuperview();  // takes the child's animation with it
    pass();
    EXPECT_EQ(calls, std::vector<bool>{false});
    EXPECT_FALSE(child->hasAnimations());

    auto doomed = std::make_shared<View>(Rect(0, 0, 10, 10));
    window->addSubview(doomed);
    View::animateWithDuration(1.0, 0, linear(), [&] { doomed->setCenter(Point(90, 90)); }, record());
    doomed->removeFromSuperview();
    doomed.reset();
    advance(2.0);
    EXPECT_EQ(calls, (std::vector<bool>{false, false}));
}

TEST_F(AnimationTest, TransformScaleAndRotationInterpolateByParts) {
    view->setTransform(Transform::makeScale(0.3, 0.3));
    View::animateWithDuration(1.0, 0, linear(), [&] { view->setTransform(Transform::makeRotation(std::numbers::pi / 2)); });
    advance(0.5);
    const Transform t = view->presentationTransform();
    EXPECT_NEAR(t.scaleX(), 0.65, 1e-9);
    EXPECT_NEAR(t.scaleY(), 0.65, 1e-9);
    EXPECT_NEAR(t.rotation(), std::numbers::pi / 4, 1e-9);
    advance(0.5);
    EXPECT_TRUE(view->presentationTransform().approxEquals(Transform::makeRotation(std::numbers::pi / 2)));
}

TEST_F(AnimationTest, FrameInsideABlockAnimatesCentreAndSize) {
    View::animateWithDuration(1.0, 0, linear(), [&] { view->setFrame(Rect(100, 100, 80, 20)); }, record());
    EXPECT_EQ(view->frame(), Rect(100, 100, 80, 20));
    advance(0.5);
    const Rect f = view->presentationFrame();
    EXPECT_NEAR(f.width(), 60, 1e-9);
    EXPECT_NEAR(f.height(), 30, 1e-9);
    EXPECT_NEAR(f.midX(), 80, 1e-9);
    advance(0.5);
    EXPECT_EQ(calls, std::vector<bool>{true});  // one completion for both properties
}

TEST_F(AnimationTest, AnimatingViewsLetTouchesThroughOnlyWhenAllowed) {
    View::animateWithDuration(1.0, 0, linear(), [&] { view->setCenter(Point(30, 30)); });
    EXPECT_EQ(window->hitTest(Point(30, 30)), window);
    advance(1.0);
    EXPECT_EQ(window->hitTest(Point(30, 30)), view);
    View::animateWithDuration(1.0, 0, linear(true), [&] { view->setCenter(Point(60, 60)); });
    // Hit testing uses the model: the end position answers at once.
    EXPECT_EQ(window->hitTest(Point(60, 60)), view);
}

TEST_F(AnimationTest, DirtyFlagStaysWhileAnimatingAndClearsAfterTheEnd) {
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
    EXPECT_FALSE(window->needsDisplay(now()));
    EXPECT_FALSE(window->nextVisualChange(now()).has_value());
    // A view outside the window moves no pixels of it.
    auto loose = std::make_shared<View>(Rect(0, 0, 5, 5));
    View::animateWithDuration(1.0, [&] { loose->setAlpha(0); });
    EXPECT_FALSE(window->needsDisplay(now()));
}

TEST_F(AnimationTest, ChainedCompletionsRunEachStepAtItsInstant) {
    std::vector<double> ends;
    View::animateWithDuration(0.25, 0, linear(), [&] { view->setCenter(Point(20, 10)); }, [&](bool) {
        ends.push_back(now());
        View::animateWithDuration(0.1, 0, linear(), [&] { view->setCenter(Point(20, 30)); }, [&](bool) {
            ends.push_back(now());
        });
    });
    advance(1.0);
    ASSERT_EQ(ends.size(), 2u);
    EXPECT_DOUBLE_EQ(ends[0], 0.25);
    EXPECT_NEAR(ends[1], 0.35, 1e-12);
}

}  // namespace
