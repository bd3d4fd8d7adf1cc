// The quake: twenty steps, even ones shaking within their count, odd ones putting the view back.
#include <set>

#include "StageTestSupport.h"
#include "platform/ui/View.h"
#include "stage/ViewEffects.h"

namespace {

using stagetest::StageTest;

TEST_F(StageTest, QuakeOfTwentyStepsShakesEvenStepsAndEndsOnItsCentre) {
    auto view = View::make(Rect(0, 0, 320, 480));
    const Point c = view->center();
    const double interval = 0.02;
    ViewEffects::quakeWithCount(*view, 20, interval);
    EXPECT_EQ(view->center(), c);  // nothing before the first interval

    const double start = now();
    int moved = 0;
    std::set<double> xs;
    for (int step = 1; step <= 20; ++step) {
        advanceTo(start, (step + 0.5) * interval);  // between two steps
        const int b = 21 - step;  // the count of this step: 20, 19, ..., 1
        const Point p = view->center();
        if (b % 2 == 0) {
            const double half = b / 2;
            EXPECT_GE(p.x - c.x, -half) << "step " << step;
            EXPECT_LT(p.x - c.x, half) << "step " << step;
            EXPECT_GE(p.y - c.y, -half) << "step " << step;
            EXPECT_LT(p.y - c.y, half) << "step " << step;
            EXPECT_EQ(p.x, std::floor(p.x));  // whole points
            if (!(p == c)) ++moved;
            xs.insert(p.x - c.x);
        } else {
            EXPECT_EQ(p, c) << "step " << step;
        }
    }
    EXPECT_GE(moved, 7);        // ten even steps, nearly all of them off the centre
    EXPECT_GE(xs.size(), 4u);   // and not always the same way
    EXPECT_EQ(view->center(), c);
    EXPECT_FALSE(RunLoop::main().nextDeadline().has_value());  // no 21st step
}

TEST_F(StageTest, QuakeShrinksAsTheCountRunsDown) {
    // Over many quakes, the largest offset seen at count b stays below b/2 and reaches it.
    auto view = View::make(Rect(0, 0, 100, 100));
    const Point c = view->center();
    int largestAt20 = 0, largestAt2 = 0;
    for (int round = 0; round < 100; ++round) {
        ViewEffects::quakeWithCount(*view, 20, 0.5);
        const double start = now();
        advanceTo(start, 0.5);
        largestAt20 = std::max(largestAt20, static_cast<int>(std::abs(view->center().x - c.x)));
        advanceTo(start, 9.5);  // count 2
        largestAt2 = std::max(largestAt2, static_cast<int>(std::abs(view->center().x - c.x)));
        advanceTo(start, 10.0);
        ASSERT_EQ(view->center(), c);
    }
    EXPECT_EQ(largestAt20, 10);
    EXPECT_EQ(largestAt2, 1);
}

TEST_F(StageTest, QuakeStepsDieWithTheView) {
    auto view = View::make(Rect(0, 0, 100, 100));
    ViewEffects::quakeWithCount(*view, 20, 0.02);
    RunLoop::main().advanceBy(0.05);
    view.reset();
    RunLoop::main().advanceBy(1.0);  // nothing runs into the freed view
    SUCCEED();
}

TEST_F(StageTest, QuakeOfOneStepOnlyPutsTheViewBack) {
    auto view = View::make(Rect(0, 0, 100, 100));
    view->setCenter({30, 40});
    ViewEffects::quakeWithCount(*view, 1, 0.1);
    view->setCenter({31, 41});  // moved meanwhile: the quake returns to where it began
    RunLoop::main().advanceBy(0.1);
    EXPECT_EQ(view->center(), Point(30, 40));
    ViewEffects::quakeWithCount(*view, 0, 0.1);
    EXPECT_FALSE(RunLoop::main().nextDeadline().has_value());
}

}  // namespace
