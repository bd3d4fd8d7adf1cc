// The progress indicator: the spinner's steps waking the window, the fades, and the hidden
// callback, also when a new showing interrupts the fade.
#include "UiTestSupport.h"
#include "platform/ui/ProgressIndicator.h"

namespace {

class ProgressTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        hud = std::make_shared<ProgressIndicator>(window->bounds());
        hud->onHidden = [this](ProgressIndicator& h) {
            ++hiddenCalls;
            h.removeFromSuperview();
        };
        window->addSubview(hud);
    }
    std::shared_ptr<ProgressIndicator> hud;
    int hiddenCalls = 0;
};

TEST_F(ProgressTest, TheSpinnerStepsOnTheClockAndWakesTheWindowForEachStep) {
    hud->show(true);
    advance(ProgressIndicator::kFadeDuration);
    const double start = now() - ProgressIndicator::kFadeDuration;
    EXPECT_EQ(hud->headDotAt(start + 0.35), 3);
    EXPECT_EQ(hud->headDotAt(start + 8 * ProgressIndicator::kStepDuration), 0) << "round after eight";
    window->clearDirty();
    EXPECT_NEAR(window->nextVisualChange(now()).value_or(-1), start + 3 * ProgressIndicator::kStepDuration, 1e-9);
    EXPECT_EQ(window->hitTest(Point(10, 10)), hud) << "touches on it go nowhere else";
}

TEST_F(ProgressTest, HideFadesOutThenReportsOnceAndAShowInTheFadeKeepsItUp) {
    hud->show(false);
    hud->hide(true);
    advance(ProgressIndicator::kFadeDuration / 2);
    EXPECT_EQ(hiddenCalls, 0);
    advance(ProgressIndicator::kFadeDuration);
    EXPECT_EQ(hiddenCalls, 1);
    EXPECT_FALSE(window->nextVisualChange(now()).has_value()) << "a hidden spinner wakes nobody";
    hud->hide(true);
    advance(1);
    EXPECT_EQ(hiddenCalls, 1) << "hiding what is hidden reports nothing";
    window->addSubview(hud);
    hud->show(false);
    hud->hide(true);
    advance(ProgressIndicator::kFadeDuration / 2);
    hud->show(true);
    advance(1);
    EXPECT_EQ(hiddenCalls, 1);
    EXPECT_DOUBLE_EQ(hud->presentationAlpha(), 1.0);
}

}  // namespace
