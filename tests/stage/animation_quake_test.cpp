// The quake: twenty steps, even ones shaking within their count, odd ones putting the view back.
#include <set>

#include "stage_test_support.h"
#include "platform/ui/View.h"
#include "stage/ViewEffects.h"

namespace {

using stagetests::StageTest;

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
        advanceTo(start, (step + 0.5) * interval);
        const int b = 21 - step;  // this step's count
        const Point p = view->center();
        if (b % 2 == 1) {
            EXPECT_EQ(p, c) << "step " << step;
            continue;
        }
        for (double d : {p.x - c.x, p.y - c.y}) {
            EXPECT_GE(d, -b / 2) << "step " << step;
            EXPECT_LT(d, b / 2) << "step " << step;
        }
        EXPECT_EQ(p.x, std::floor(p.x));
        moved += !(p == c);
        xs.insert(p.x - c.x);
    }
    EXPECT_GE(moved, 7);
    EXPECT_GE(xs.size(), 4u);
    EXPECT_FALSE(RunLoop::main().nextDeadline().has_value());  // no 21st step
}

TEST_F(StageTest, QuakeShrinksAsTheCountRunsDown) {
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

TEST_F(StageTest, QuakeReturnsWhereItBeganAndDiesWithTheView) {
    auto view = View::make(Rect(0, 0, 100, 100));
    view->setCenter({30, 40});
    ViewEffects::quakeWithCount(*view, 1, 0.1);
    view->setCenter({31, 41});  // moved meanwhile
    RunLoop::main().advanceBy(0.1);
    EXPECT_EQ(view->center(), Point(30, 40));
    ViewEffects::quakeWithCount(*view, 0, 0.1);
    EXPECT_FALSE(RunLoop::main().nextDeadline().has_value());

    ViewEffects::quakeWithCount(*view, 20, 0.02);
    RunLoop::main().advanceBy(0.05);
    view.reset();
    RunLoop::main().advanceBy(1.0);  // nothing runs into the freed view
}

}  // namespace
