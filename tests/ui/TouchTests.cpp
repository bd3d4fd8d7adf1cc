// Touch routing: a touch belongs to the view hit where it began and is handed up by views that
// do not take it; the window-wide switch drops touches; keys press the frontmost button marked
// for them.
#include "UiTestSupport.h"
#include "platform/ui/Button.h"

namespace {

class TouchTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        stage->addSubview(std::make_shared<View>(Rect(20, 80, 40, 40)));  // a plain view passes touches up
        window->addSubview(stage);
        for (const auto& entry : {std::pair{"began", &stage->onTouchesBegan}, {"moved", &stage->onTouchesMoved},
                                  {"ended", &stage->onTouchesEnded}, {"cancelled", &stage->onTouchesCancelled}})
            *entry.second = [this, phase = entry.first](const TouchSet& t) {
                const Point p = t.anyObject()->locationInView(stage.get());
                phases.push_back(std::string(phase) + " " + std::to_string(int(p.x)) + "," + std::to_string(int(p.y)));
            };
    }
    std::shared_ptr<Button> button(Rect frame, int& presses, View* parent = nullptr) {
        auto b = std::make_shared<Button>(frame);
        b->setAction([&presses] { ++presses; });
        (parent ? *parent : static_cast<View&>(*window)).addSubview(b);
        return b;
    }
    std::shared_ptr<View> stage = std::make_shared<View>(Rect(0, 200, 320, 200));
    std::vector<std::string> phases;
};

TEST_F(TouchTest, ATouchStaysWithTheViewWhereItBeganEvenAfterThatViewIsGone) {
    window->touchDown(40, 300);  // on the person, handed to the stage
    window->touchMove(40, 50);   // far outside the stage, still its touch
    window->touchUp(40, 50);
    EXPECT_EQ(phases, (std::vector<std::string>{"began 40,100", "moved 40,-150", "ended 40,-150"}));
    window->touchDown(40, 300);
    stage->removeFromSuperview();
    stage.reset();
    window->touchMove(14, 14);
    window->touchUp(14, 14);
    EXPECT_EQ(phases.size(), 4u);
    EXPECT_FALSE(window->isTouchActive());
}

TEST_F(TouchTest, TheWindowWideSwitchDropsTouchesAndCancelsOneInProgress) {
    UserInteraction::shared()->setEnabled(false);
    tap(Point(40, 300));
    UserInteraction::shared()->setEnabled(true);
    window->touchDown(40, 300);
    UserInteraction::shared()->setEnabled(false);
    window->touchMove(80, 300);
    window->touchUp(80, 300);
    EXPECT_EQ(phases, (std::vector<std::string>{"began 40,100", "cancelled 40,100"}));
}

TEST_F(TouchTest, AButtonActsOnTouchUpInsideWhileEnabled) {
    int presses = 0;
    auto b = button(Rect(10, 10, 100, 40), presses);
    window->touchDown(50, 30);
    EXPECT_TRUE(b->isHighlighted());
    window->touchUp(60, 35);
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
    auto panel = std::make_shared<View>(Rect(100, 100, 100, 100));
    window->addSubview(panel);
    auto nestedBtn = button(Rect(0, 0, 20, 20), nested, panel.get());
    for (auto& b : {backBtn, nestedBtn}) b->setClosesOnEscape(true);
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
    UserInteraction::shared()->setEnabled(false);
    EXPECT_FALSE(window->handleEscapeKey()) << "the window-wide switch is off";
    EXPECT_FALSE(window->handleEnterKey());
    UserInteraction::shared()->setEnabled(true);
    for (auto& b : {backBtn, nestedBtn}) b->setClosesOnEscape(false);
    EXPECT_FALSE(window->handleEscapeKey());
    EXPECT_EQ(back + front + nested + ok, 5);
}

}  // namespace
