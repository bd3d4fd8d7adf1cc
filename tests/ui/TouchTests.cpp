// Touch routing: a touch belongs to the view hit where it began, views that take no touches hand
// them to their superview, the window-wide switch drops them; keys press the frontmost button
// marked for them.
#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "platform/ui/Button.h"

namespace {

// A stage in the manner of the game's: persons take no touches, so the stage gets them and
// collects the person under the finger, one per event.
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
        for (auto& v : subviews())
            if (v->frame().contains(p) && std::find(collected.begin(), collected.end(), v->tag()) == collected.end())
                return collected.push_back(v->tag());
    }
};

class TouchTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        stage = std::make_shared<SwipeStage>(Rect(0, 200, 320, 200));
        window->addSubview(stage);
        for (int i = 1; i <= 5; ++i) {
            auto person = std::make_shared<View>(Rect::withCenter(Point(40.0 * i, 100), Size(30, 40)));
            person->setTag(i);
            stage->addSubview(person);
        }
    }
    std::shared_ptr<Button> button(Rect frame, int& presses, View* parent = nullptr) {
        auto b = std::make_shared<Button>(frame);
        b->setAction([&presses] { ++presses; });
        (parent ? *parent : static_cast<View&>(*window)).addSubview(b);
        return b;
    }
    std::shared_ptr<SwipeStage> stage;
};

TEST_F(TouchTest, ASwipeAcrossPersonsReachesTheStageOneEventAtATime) {
    window->touchDown(40, 300);   // on person 1, who hands the touch on to the stage
    window->touchMove(60, 300);   // between persons
    window->touchMove(80, 302);   // person 2
    window->touchMove(200, 300);  // person 5, skipping 3 and 4
    window->touchUp(200, 300);
    EXPECT_EQ(stage->collected, (std::vector<int>{1, 2, 5}));
    EXPECT_EQ(stage->phases, (std::vector<std::string>{"began", "moved", "moved", "moved", "ended"}));
}

TEST_F(TouchTest, MovesAndEndGoToTheViewWhereTheTouchBeganEvenAfterItIsRemoved) {
    auto other = std::make_shared<View>(Rect(0, 5, 320, 100));
    std::vector<std::string> seen;
    other->onTouchesMoved = [&](const TouchSet& t) {
        seen.push_back("moved " + std::to_string(static_cast<int>(t.anyObject()->locationInView(other.get()).y)));
    };
    other->onTouchesEnded = [&](const TouchSet&) { seen.push_back("ended"); };
    window->addSubview(other);
    window->touchDown(10, 10);
    window->touchMove(40, 300);  // over the stage, still the same touch
    window->touchUp(40, 300);
    EXPECT_EQ(seen, (std::vector<std::string>{"moved 295", "ended"}));
    EXPECT_TRUE(stage->phases.empty());
    window->touchDown(10, 10);
    other->removeFromSuperview();
    other.reset();
    window->touchMove(14, 14);
    window->touchUp(14, 14);
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_FALSE(window->isTouchActive());
}

TEST_F(TouchTest, TheWindowWideSwitchDropsTouchesAndCancelsOneInProgress) {
    UserInteraction::shared()->setEnabled(false);
    tap(Point(40, 300));
    EXPECT_TRUE(stage->phases.empty());
    UserInteraction::shared()->setEnabled(true);
    window->touchDown(40, 300);
    UserInteraction::shared()->setEnabled(false);
    window->touchMove(80, 300);
    window->touchUp(80, 300);
    EXPECT_EQ(stage->phases, (std::vector<std::string>{"began", "cancelled"}));
}

TEST_F(TouchTest, AButtonActsOnTouchUpInsideWhileEnabled) {
    int presses = 0;
    auto b = button(Rect(10, 10, 100, 40), presses);
    window->touchDown(50, 30);
    EXPECT_TRUE(b->isHighlighted());
    window->touchUp(60, 35);
    EXPECT_FALSE(b->isHighlighted());
    window->touchDown(50, 30);
    window->touchMove(250, 300);  // dragged well outside
    EXPECT_FALSE(b->isHighlighted());
    window->touchUp(250, 300);
    b->setEnabled(false);
    tap(Point(50, 30));
    EXPECT_EQ(presses, 1);
}

TEST_F(TouchTest, KeysPressTheFrontmostShownEnabledButtonMarkedForThem) {
    int back = 0, front = 0, nested = 0, ok = 0;
    auto backBtn = button(Rect(0, 0, 50, 50), back);
    backBtn->setClosesOnEscape(true);
    auto panel = std::make_shared<View>(Rect(100, 100, 100, 100));
    window->addSubview(panel);
    auto nestedBtn = button(Rect(0, 0, 20, 20), nested, panel.get());
    nestedBtn->setClosesOnEscape(true);
    button(Rect(300, 0, 20, 20), ok)->setPressesOnEnter(true);
    button(Rect(0, 400, 50, 50), front);  // front, but not marked
    EXPECT_TRUE(window->handleEscapeKey());
    EXPECT_EQ(nested, 1) << "the panel in front of the back button";
    EXPECT_TRUE(window->handleEnterKey());
    EXPECT_EQ(ok, 1);
    // Hidden, disabled or untouchable (itself or an ancestor): passed over.
    for (auto off : std::vector<std::function<void(bool)>>{[&](bool on) { panel->setHidden(on); },
                                                           [&](bool on) { nestedBtn->setEnabled(!on); },
                                                           [&](bool on) { panel->setUserInteractionEnabled(!on); }}) {
        off(true);
        EXPECT_TRUE(window->handleEscapeKey());
        off(false);
    }
    EXPECT_EQ(back, 3);
    EXPECT_EQ(nested, 1);
    UserInteraction::shared()->setEnabled(false);
    EXPECT_FALSE(window->handleEscapeKey()) << "the window-wide switch is off";
    EXPECT_FALSE(window->handleEnterKey());
    UserInteraction::shared()->setEnabled(true);
    backBtn->setClosesOnEscape(false);
    nestedBtn->setClosesOnEscape(false);
    EXPECT_FALSE(window->handleEscapeKey());
    EXPECT_EQ(back + front + ok, 4);
}

}  // namespace
