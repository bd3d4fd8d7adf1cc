// Touch routing: a touch belongs to the view hit where it began; views that do not take touches
// hand them to their superview; the window-wide switch drops them.
#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "platform/ui/Button.h"

namespace {

// A stage in the manner of the game's: persons are plain sub-views that take no touches, so
// their touches reach the stage, which finds the person under the finger on every begin and move.
class SwipeStage : public View {
public:
    using View::View;
    std::vector<int> collected;
    std::vector<std::string> phases;

    void touchesBegan(const TouchSet& touches) override { process(touches, "began"); }
    void touchesMoved(const TouchSet& touches) override { process(touches, "moved"); }
    void touchesEnded(const TouchSet&) override { phases.push_back("ended"); }
    void touchesCancelled(const TouchSet&) override { phases.push_back("cancelled"); }

private:
    void process(const TouchSet& touches, const char* phase) {
        phases.push_back(phase);
        const Point p = touches.anyObject()->locationInView(this);
        for (auto& v : subviews()) {
            if (v->frame().contains(p) && std::find(collected.begin(), collected.end(), v->tag()) == collected.end()) {
                collected.push_back(v->tag());
                return;  // one person per event
            }
        }
    }
};

class TouchTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        window = std::make_shared<Window>(Rect(0, 0, 320, 480));
        stage = std::make_shared<SwipeStage>(Rect(0, 200, 320, 200));
        window->addSubview(stage);
        for (int i = 1; i <= 5; ++i) {
            auto person = std::make_shared<View>(Rect::withCenter(Point(40.0 * i, 100), Size(30, 40)));
            person->setTag(i);
            stage->addSubview(person);
        }
    }
    std::shared_ptr<Window> window;
    std::shared_ptr<SwipeStage> stage;
};

TEST_F(TouchTest, SwipeAcrossPersonsReachesTheStageOneEventAtATime) {
    window->touchDown(40, 300);  // on person 1: the person hands the touch to the stage
    window->touchMove(60, 300);  // between persons
    window->touchMove(80, 302);  // person 2
    window->touchMove(120, 298); // person 3
    window->touchMove(200, 300); // person 5, skipping 4
    window->touchUp(200, 300);
    EXPECT_EQ(stage->collected, (std::vector<int>{1, 2, 3, 5}));
    EXPECT_EQ(stage->phases,
              (std::vector<std::string>{"began", "moved", "moved", "moved", "moved", "ended"}));
}

TEST_F(TouchTest, MovesAndEndGoToTheViewWhereTheTouchBeganWhereverTheFingerIs) {
    auto other = std::make_shared<View>(Rect(0, 0, 320, 100));
    std::vector<std::string> seen;
    other->onTouchesBegan = [&](const TouchSet&) { seen.push_back("began"); };
    other->onTouchesMoved = [&](const TouchSet& t) {
        seen.push_back("moved " + std::to_string(static_cast<int>(t.anyObject()->locationInView(other.get()).y)));
    };
    other->onTouchesEnded = [&](const TouchSet&) { seen.push_back("ended"); };
    window->addSubview(other);
    window->touchDown(10, 10);
    window->touchMove(40, 300);  // over the stage, still the same touch
    window->touchUp(40, 300);
    EXPECT_EQ(seen, (std::vector<std::string>{"began", "moved 300", "ended"}));
    EXPECT_TRUE(stage->collected.empty());
    EXPECT_FALSE(window->isTouchActive());
}

TEST_F(TouchTest, LocationConvertsToAnyView) {
    Point inStage, inPerson, inWindow;
    stage->onTouchesBegan = nullptr;
    auto person = stage->viewWithTag(2);
    person->onTouchesBegan = [&](const TouchSet& t) {
        inStage = t.anyObject()->locationInView(stage.get());
        inPerson = t.anyObject()->locationInView(person.get());
        inWindow = t.anyObject()->locationInView(nullptr);
    };
    window->touchDown(85, 310);
    EXPECT_EQ(inWindow, Point(85, 310));
    EXPECT_EQ(inStage, Point(85, 110));
    EXPECT_EQ(inPerson, Point(20, 30));
}

TEST_F(TouchTest, WindowWideSwitchDropsTouchesAndCancelsOneInProgress) {
    UserInteraction::shared()->setEnabled(false);
    window->touchDown(40, 300);
    window->touchUp(40, 300);
    EXPECT_TRUE(stage->phases.empty());
    UserInteraction::shared()->setEnabled(true);
    window->touchDown(40, 300);
    UserInteraction::shared()->setEnabled(false);
    window->touchMove(80, 300);
    window->touchUp(80, 300);
    EXPECT_EQ(stage->phases, (std::vector<std::string>{"began", "cancelled"}));
    EXPECT_EQ(stage->collected, std::vector<int>{1});
}

TEST_F(TouchTest, ButtonActsOnTouchUpInsideAndHighlightsWhilePressed) {
    auto button = std::make_shared<Button>(Rect(10, 10, 100, 40));
    button->setName("ok");
    int presses = 0;
    button->setAction([&] { ++presses; });
    window->addSubview(button);

    window->touchDown(50, 30);
    EXPECT_TRUE(button->isHighlighted());
    window->touchMove(60, 35);
    window->touchUp(60, 35);
    EXPECT_FALSE(button->isHighlighted());
    EXPECT_EQ(presses, 1);

    // Dragged well outside before lifting: no action.
    window->touchDown(50, 30);
    window->touchMove(250, 300);
    EXPECT_FALSE(button->isHighlighted());
    window->touchUp(250, 300);
    EXPECT_EQ(presses, 1);

    // Disabled: the button still takes the touch but does nothing.
    button->setEnabled(false);
    window->touchDown(50, 30);
    window->touchUp(50, 30);
    EXPECT_EQ(presses, 1);
    EXPECT_EQ(window->viewWithName<Button>("ok"), button);
}

TEST_F(TouchTest, ViewRemovedDuringATouchGetsNoMoreEvents) {
    int moves = 0;
    auto v = std::make_shared<View>(Rect(0, 0, 50, 50));
    v->onTouchesMoved = [&](const TouchSet&) { ++moves; };
    window->addSubview(v);
    window->touchDown(10, 10);
    window->touchMove(12, 12);
    v->removeFromSuperview();
    v.reset();
    window->touchMove(14, 14);
    window->touchUp(14, 14);
    EXPECT_EQ(moves, 1);
}

}  // namespace
