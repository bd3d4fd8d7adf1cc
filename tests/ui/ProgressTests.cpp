// The progress indicator: fades, the spinner's steps on the clock, the hidden callback (also
// when a new showing interrupts the fade), the label's box, and a picture.
#include "UiTestSupport.h"
#include "platform/render/HeadlessRenderer.h"
#include "platform/ui/GamePalette.h"
#include "platform/ui/ProgressIndicator.h"

namespace {

class ProgressTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        window->setBackgroundColor(GamePalette::blueLight);
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

TEST_F(ProgressTest, ShowFadesInAndTheSpinnerStepsOnTheClock) {
    hud->show(true);
    EXPECT_TRUE(hud->isShowing());
    EXPECT_DOUBLE_EQ(hud->presentationAlpha(), 0.0);
    advance(ProgressIndicator::kFadeDuration / 2);
    EXPECT_GT(hud->presentationAlpha(), 0.0);
    EXPECT_LT(hud->presentationAlpha(), 1.0);
    advance(ProgressIndicator::kFadeDuration / 2);
    EXPECT_DOUBLE_EQ(hud->presentationAlpha(), 1.0);

    // The head moves one dot every step and comes round after eight.
    const double start = now() - ProgressIndicator::kFadeDuration;
    EXPECT_EQ(hud->headDotAt(start + 0.35), 3);
    EXPECT_EQ(hud->headDotAt(start + 8 * ProgressIndicator::kStepDuration), 0);
    // The window knows when to draw again: at the next step, even with nothing else moving.
    window->clearDirty();
    const auto next = window->nextVisualChange(now());
    ASSERT_TRUE(next.has_value());
    EXPECT_NEAR(*next, start + 3 * ProgressIndicator::kStepDuration, 1e-9);
    // Touches on it go nowhere else.
    EXPECT_EQ(window->hitTest(Point(10, 10)), hud);
}

TEST_F(ProgressTest, HideFadesOutThenReportsOnceAndAShowInTheFadeKeepsItUp) {
    hud->show(false);
    EXPECT_DOUBLE_EQ(hud->presentationAlpha(), 1.0);
    hud->hide(true);
    advance(ProgressIndicator::kFadeDuration / 2);
    EXPECT_EQ(hiddenCalls, 0);
    EXPECT_TRUE(hud->isShowing());
    advance(ProgressIndicator::kFadeDuration);
    EXPECT_EQ(hiddenCalls, 1);
    EXPECT_EQ(hud->superview(), nullptr);
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
    hud->hide(false);
    EXPECT_EQ(hiddenCalls, 2);
}

TEST_F(ProgressTest, TheBoxGrowsForItsLabelAndThePictureShowsDimmingDotsAndText) {
    const Rect plain = hud->boxRect();
    EXPECT_NEAR(plain.midX(), 160, 0.5);
    EXPECT_NEAR(plain.midY(), 240, 0.5);
    hud->setLabelText("Saving the picture...");
    const Rect labelled = hud->boxRect();
    EXPECT_GT(labelled.width(), plain.width());
    hud->setLabelText("");
    EXPECT_EQ(hud->boxRect(), plain);

    hud->setLabelText("Saving...");
    hud->setDimBackground(true);
    hud->show(false);
    advance(0.25);
    HeadlessRenderer renderer(Size(320, 480));
    ASSERT_TRUE(renderer.isValid());
    renderer.render(*window);
    EXPECT_TRUE(renderer.writePNG(picturePath("hud.png")));
    const Rect box = hud->boxRect();
    // Dimmed sky around, night inside the box, ink on its edge.
    EXPECT_LT(renderer.colorAtPoint(Point(5, 5)).blue, GamePalette::blueLight.blue - 0.2f);
    EXPECT_COLOR_NEAR(renderer.colorAtPoint(Point(box.midX(), box.minY())), GamePalette::ink);
    EXPECT_COLOR_NEAR(renderer.colorAtPoint(Point(box.minX() + 4, box.maxY() - 4)), GamePalette::night);
    // Some gold in the ring (the head and its trail).
    int gold = 0;
    for (double y = box.minY(); y < box.maxY(); y += 0.5)
        for (double x = box.minX(); x < box.maxX(); x += 0.5) {
            const Color c = renderer.colorAtPoint(Point(x, y));
            if (c.red > 0.8f && c.green > 0.5f && c.blue < 0.5f) ++gold;
        }
    EXPECT_GT(gold, 10);
}

}  // namespace
