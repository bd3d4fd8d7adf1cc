// The headless renderer: a small scene drawn at 2 pixels per point and checked pixel by pixel,
// text through the fonts, PNG output.
#include <filesystem>
#include <numbers>

#include "UiTestSupport.h"
#include "platform/render/HeadlessRenderer.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

namespace fs = std::filesystem;

namespace {

std::shared_ptr<Image> solid(Color c, int w, int h, double scale = 1.0) {
    std::vector<uint8_t> px;
    for (int i = 0; i < w * h; ++i) px.insert(px.end(), {c.r8(), c.g8(), c.b8(), c.a8()});
    return Image::fromRGBA(w, h, std::move(px), scale);
}

// Counts pixels inside a point rectangle that differ from the colour.
int pixelsDifferentFrom(const HeadlessRenderer& r, const Rect& points, Color c) {
    int count = 0;
    for (int y = static_cast<int>(points.minY() * 2); y < static_cast<int>(points.maxY() * 2); ++y)
        for (int x = static_cast<int>(points.minX() * 2); x < static_cast<int>(points.maxX() * 2); ++x) {
            const Color p = r.pixelAt(x, y);
            if (std::abs(p.r8() - c.r8()) + std::abs(p.g8() - c.g8()) + std::abs(p.b8() - c.b8()) > 30) ++count;
        }
    return count;
}

class RenderTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        window = std::make_shared<Window>(Rect(0, 0, 320, 480));
        window->setBackgroundColor(Color::whiteColor());
    }
    std::shared_ptr<Window> window;
    HeadlessRenderer renderer{Size(320, 480)};
};

TEST_F(RenderTest, SceneDrawsBackgroundsAlphaTransformsAndClipping) {
    ASSERT_TRUE(renderer.isValid());
    EXPECT_EQ(renderer.pixelWidth(), 640);
    EXPECT_EQ(renderer.pixelHeight(), 960);

    auto red = std::make_shared<View>(Rect(10, 10, 100, 50));
    red->setBackgroundColor(Color::redColor());
    window->addSubview(red);
    // Half-transparent blue over white, inside a half-transparent parent: 25% blue.
    auto faded = std::make_shared<View>(Rect(200, 10, 100, 100));
    faded->setAlpha(0.5);
    auto blue = std::make_shared<View>(Rect(0, 0, 100, 100));
    blue->setBackgroundColor(Color::blueColor().withAlpha(0.5f));
    faded->addSubview(blue);
    window->addSubview(faded);
    // A green square scaled to half about its centre (60, 200): covers 45..75.
    auto green = std::make_shared<View>(Rect(30, 170, 60, 60));
    green->setBackgroundColor(Color::greenColor());
    green->setTransform(Transform::makeScale(0.5, 0.5));
    window->addSubview(green);
    // A clipping box whose child sticks out.
    auto box = std::make_shared<View>(Rect(150, 300, 50, 50));
    box->setClipsToBounds(true);
    auto stick = std::make_shared<View>(Rect(0, 0, 150, 20));
    stick->setBackgroundColor(Color::black());
    box->addSubview(stick);
    window->addSubview(box);
    // A hidden view draws nothing.
    auto hidden = std::make_shared<View>(Rect(0, 400, 320, 80));
    hidden->setBackgroundColor(Color::redColor());
    hidden->setHidden(true);
    window->addSubview(hidden);
    // A rotated picture: a 40 x 10 bar turned upright about (60, 300).
    auto bar = std::make_shared<ImageView>(Rect(40, 295, 40, 10));
    bar->setImage(solid(Color(1, 0, 1), 40, 10));
    bar->setTransform(Transform::makeRotation(std::numbers::pi / 2));
    window->addSubview(bar);

    renderer.render(*window);
    EXPECT_COLOR_NEAR(renderer.colorAtPoint(Point(50, 30)), Color::redColor());
    EXPECT_COLOR_NEAR(renderer.colorAtPoint(Point(5, 5)), Color::whiteColor());
    EXPECT_COLOR_NEAR(renderer.colorAtPoint(Point(250, 60)), Color::fromRGBA8(191, 191, 255));
    EXPECT_COLOR_NEAR(renderer.colorAtPoint(Point(60, 200)), Color::greenColor());
    EXPECT_COLOR_NEAR(renderer.colorAtPoint(Point(40, 180)), Color::whiteColor());
    EXPECT_COLOR_NEAR(renderer.colorAtPoint(Point(180, 310)), Color::black());
    EXPECT_COLOR_NEAR(renderer.colorAtPoint(Point(250, 310)), Color::whiteColor());  // clipped away
    EXPECT_COLOR_NEAR(renderer.colorAtPoint(Point(160, 440)), Color::whiteColor());
    EXPECT_COLOR_NEAR(renderer.colorAtPoint(Point(60, 285)), Color(1, 0, 1));
    EXPECT_COLOR_NEAR(renderer.colorAtPoint(Point(75, 300)), Color::whiteColor());
}

TEST_F(RenderTest, AnimatedViewIsDrawnAtItsPresentationValue) {
    auto v = std::make_shared<View>(Rect(0, 0, 20, 20));
    v->setBackgroundColor(Color::redColor());
    window->addSubview(v);
    AnimationOptions o;
    o.curve = AnimationCurve::linear;
    View::animateWithDuration(1.0, 0, o, [&] { v->setCenter(Point(210, 10)); });
    advance(0.5);  // centre at x = 110
    renderer.render(*window);
    EXPECT_COLOR_NEAR(renderer.colorAtPoint(Point(110, 10)), Color::redColor());
    EXPECT_COLOR_NEAR(renderer.colorAtPoint(Point(10, 10)), Color::whiteColor());
    EXPECT_COLOR_NEAR(renderer.colorAtPoint(Point(210, 10)), Color::whiteColor());
}

TEST_F(RenderTest, PicturesAreDrawnAtTwoPixelsPerPointWithTheirContentMode) {
    // A 2x picture of 20 x 20 pixels is 10 x 10 points; centred in a 40 x 40 view at (100, 100).
    auto view = std::make_shared<ImageView>(Rect(100, 100, 40, 40));
    view->setImage(solid(Color::blueColor(), 20, 20, 2.0));
    view->setContentMode(ContentMode::center);
    window->addSubview(view);
    renderer.render(*window);
    EXPECT_COLOR_NEAR(renderer.colorAtPoint(Point(120, 120)), Color::blueColor());
    EXPECT_COLOR_NEAR(renderer.colorAtPoint(Point(114.5, 114.5)), Color::whiteColor());
    EXPECT_COLOR_NEAR(renderer.colorAtPoint(Point(115, 115)), Color::blueColor());
    EXPECT_COLOR_NEAR(renderer.colorAtPoint(Point(124.5, 124.5)), Color::blueColor());
    EXPECT_COLOR_NEAR(renderer.colorAtPoint(Point(125, 125)), Color::whiteColor());
    EXPECT_EQ(pixelsDifferentFrom(renderer, Rect(100, 100, 40, 40), Color::whiteColor()), 400);
}

TEST_F(RenderTest, LabelsDrawTextWhereTheTextIs) {
    auto label = std::make_shared<Label>(Rect(20, 100, 280, 40));
    label->setFont("GD-DOTFONT-DQ-TTF", 20);
    label->setTextColor(Color::black());
    label->setTextAlignment(TextAlignment::center);
    label->setText("王様 King");
    window->addSubview(label);
    ASSERT_TRUE(label->effectiveFont()->isAvailable()) << "the dot font is missing from the resources";
    renderer.render(*window);
    const double w = label->effectiveFont()->widthOfText("王様 King");
    EXPECT_GT(w, 40);
    EXPECT_LT(w, 280);
    // Ink inside the centred text box, none outside it.
    EXPECT_GT(pixelsDifferentFrom(renderer, Rect(160 - w / 2, 100, w, 40), Color::whiteColor()), 200);
    EXPECT_EQ(pixelsDifferentFrom(renderer, Rect(20, 100, 160 - w / 2 - 22, 40), Color::whiteColor()), 0);
    EXPECT_EQ(pixelsDifferentFrom(renderer, Rect(0, 0, 320, 95), Color::whiteColor()), 0);
}

TEST_F(RenderTest, LabelsWrapShrinkAndCut) {
    auto font = Font::fontWithName("system", 16);
    ASSERT_TRUE(font->isAvailable());
    // Words wrap at spaces; Japanese breaks anywhere.
    auto lines = Label::wrapText("the king waves the party off", *font, font->widthOfText("the king waves"), 0);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "the king waves");
    lines = Label::wrapText("ゆうしゃたちはたんけんにでかけた", *font, font->widthOfText("ゆうしゃたち"), 0);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "ゆうしゃたち");
    lines = Label::wrapText("one\ntwo\nthree", *font, 300, 2);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], "two\xE2\x80\xA6");

    Label fit(Rect(0, 0, 60, 20));
    fit.setFont(font);
    fit.setText("A rather long title");
    fit.setAdjustsFontSizeToFitWidth(true);
    fit.setMinimumFontSize(8);
    EXPECT_LT(fit.effectiveFont()->pointSize(), 16);
    EXPECT_GE(fit.effectiveFont()->pointSize(), 8);
    EXPECT_LE(fit.effectiveFont()->widthOfText(fit.lines()[0]), 60.5);
}

TEST_F(RenderTest, ButtonShowsItsTitleAndStatePicture) {
    auto button = std::make_shared<Button>(Rect(100, 200, 120, 40));
    button->setBackgroundImage(solid(Color::blueColor(), 4, 4));
    button->setBackgroundImage(solid(Color::redColor(), 4, 4), ControlState::highlighted);
    button->titleLabel().setFont("GD-DOTFONT-DQ-TTF", 18);
    button->setTitle("OK");
    window->addSubview(button);
    renderer.render(*window);
    EXPECT_COLOR_NEAR(renderer.colorAtPoint(Point(102, 202)), Color::blueColor());
    EXPECT_GT(pixelsDifferentFrom(renderer, Rect(140, 205, 40, 30), Color::blueColor()), 50);  // white title
    window->touchDown(110, 210);
    renderer.render(*window);
    EXPECT_COLOR_NEAR(renderer.colorAtPoint(Point(102, 202)), Color::redColor());
    window->touchUp(110, 210);
}

TEST_F(RenderTest, WritesTheFrameAsPNG) {
    auto v = std::make_shared<View>(Rect(0, 0, 160, 240));
    v->setBackgroundColor(Color::redColor());
    window->addSubview(v);
    renderer.render(*window);
    const fs::path path = fs::temp_directory_path() / ("ui-frame-" + std::to_string(::getpid()) + ".png");
    ASSERT_TRUE(renderer.writePNG(path.string()));
    auto back = Image::fromFile(path.string(), 2.0);
    fs::remove(path);
    ASSERT_FALSE(back->isEmpty());
    EXPECT_EQ(back->size(), Size(320, 480));
    EXPECT_COLOR_NEAR(back->pixelAt(10, 10), Color::redColor());
    EXPECT_COLOR_NEAR(back->pixelAt(400, 600), Color::whiteColor());
    EXPECT_FALSE(renderer.writePNG("/nonexistent-folder/x.png"));
}

}  // namespace
