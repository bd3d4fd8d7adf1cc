// The progress indicator: fades, the spinner's steps waking the window, the hidden callback (also
// when a new showing interrupts the fade), and how it is drawn.
#include "UiTestSupport.h"
#include "platform/render/HeadlessRenderer.h"
#include "platform/ui/GamePalette.h"
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
    advance(ProgressIndicator::kFadeDuration / 2);
    EXPECT_GT(hud->presentationAlpha(), 0.0);
    EXPECT_LT(hud->presentationAlpha(), 1.0);
    advance(ProgressIndicator::kFadeDuration / 2);
    const double start = now() - ProgressIndicator::kFadeDuration;
    EXPECT_EQ(hud->headDotAt(start + 0.35), 3);
    EXPECT_EQ(hud->headDotAt(start + 8 * ProgressIndicator::kStepDuration), 0) << "round after eight";
    window->clearDirty();
    const auto next = window->nextVisualChange(now());
    ASSERT_TRUE(next.has_value());
    EXPECT_NEAR(*next, start + 3 * ProgressIndicator::kStepDuration, 1e-9);
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
    hud->show(true);
    advance(1);
    hud->hide(true);
    advance(ProgressIndicator::kFadeDuration / 2);
    hud->show(true);
    advance(1);
    EXPECT_EQ(hiddenCalls, 1);
    EXPECT_DOUBLE_EQ(hud->presentationAlpha(), 1.0);
}

TEST_F(ProgressTest, ALabelledBoxOverTheDimmedScreenShowsGoldDots) {
    const Rect plain = hud->boxRect();
    hud->setLabelText("Saving the picture...");
    EXPECT_GT(hud->boxRect().width(), plain.width());
    window->setBackgroundColor(GamePalette::blueLight);
    hud->setDimBackground(true);
    hud->show(false);
    HeadlessRenderer renderer(Size(320, 480));
    ASSERT_TRUE(renderer.isValid());
    renderer.render(*window);
    const Rect box = hud->boxRect();
    EXPECT_LT(renderer.colorAtPoint(Point(5, 5)).blue, GamePalette::blueLight.blue - 0.2f);
    EXPECT_COLOR_NEAR(renderer.colorAtPoint(Point(box.midX(), box.minY())), GamePalette::ink);
    EXPECT_COLOR_NEAR(renderer.colorAtPoint(Point(box.minX() + 4, box.maxY() - 4)), GamePalette::night);
    int gold = 0;
    for (double y = box.minY(); y < box.maxY(); y += 0.5)
        for (double x = box.minX(); x < box.maxX(); x += 0.5) {
            const Color c = renderer.colorAtPoint(Point(x, y));
            gold += c.red > 0.8f && c.green > 0.5f && c.blue < 0.5f;
        }
    EXPECT_GT(gold, 10);
}

}  // namespace
