// The headless renderer at 2 pixels per point: backgrounds, alpha, transforms, clipping,
// pictures and animated views; text through the fonts, wrapped and shrunk, and every string of
// every table in a font that has its glyphs.
#include <numbers>

#include "UiTestSupport.h"
#include "platform/render/HeadlessRenderer.h"
#include "platform/resources/LocalizedStrings.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

namespace {

class RenderTest : public WindowTest {
protected:
    // Pixels inside a point rectangle that are not white.
    int inkIn(const Rect& points) {
        int count = 0;
        for (int y = static_cast<int>(points.minY() * 2); y < static_cast<int>(points.maxY() * 2); ++y)
            for (int x = static_cast<int>(points.minX() * 2); x < static_cast<int>(points.maxX() * 2); ++x)
                count += renderer.pixelAt(x, y).r8() + renderer.pixelAt(x, y).g8() + renderer.pixelAt(x, y).b8() < 735;
        return count;
    }
    Color at(double x, double y) { return renderer.colorAtPoint(Point(x, y)); }
    HeadlessRenderer renderer{Size(320, 480)};
};

TEST_F(RenderTest, TheSceneDrawsAlphaTransformsClippingPicturesAndAnimations) {
    ASSERT_TRUE(renderer.isValid());
    window->setBackgroundColor(Color::whiteColor());
    // Half-transparent blue inside a half-transparent parent, over white: 25% blue.
    auto faded = add(Rect(200, 10, 100, 100), Color::clear());
    faded->setAlpha(0.5);
    add(Rect(0, 0, 100, 100), Color::blueColor().withAlpha(0.5f), faded.get());
    // A clipping box whose child sticks out, and a hidden view.
    auto box = add(Rect(150, 300, 50, 50), Color::clear());
    box->setClipsToBounds(true);
    add(Rect(0, 0, 150, 20), Color::black(), box.get());
    add(Rect(0, 400, 320, 80), Color::redColor())->setHidden(true);
    // A 40 x 10 bar picture turned upright about (60, 300).
    auto bar = std::make_shared<ImageView>(Rect(40, 295, 40, 10));
    bar->setImage(solidImage(Color(1, 0, 1), 40, 10));
    bar->setTransform(Transform::makeRotation(std::numbers::pi / 2));
    window->addSubview(bar);
    // A 2x picture of 20 x 20 pixels is 10 x 10 points, centred in a 40 x 40 view at (250, 200).
    auto pic = std::make_shared<ImageView>(Rect(230, 180, 40, 40));
    pic->setImage(solidImage(Color::blueColor(), 20, 20, 2.0));
    pic->setContentMode(ContentMode::center);
    window->addSubview(pic);
    // A square moving right, drawn where it is shown halfway (centre x = 110).
    auto mover = add(Rect(0, 130, 20, 20), Color::redColor());
    View::animateWithDuration(1.0, [&] { mover->setCenter(Point(210, 140)); });
    advance(0.5);
    renderer.render(*window);
    EXPECT_COLOR_NEAR(at(250, 60), Color::fromRGBA8(191, 191, 255));
    EXPECT_COLOR_NEAR(at(180, 310), Color::black());
    EXPECT_COLOR_NEAR(at(250, 310), Color::whiteColor()) << "clipped away";
    EXPECT_COLOR_NEAR(at(160, 440), Color::whiteColor()) << "hidden";
    EXPECT_COLOR_NEAR(at(60, 285), Color(1, 0, 1));
    EXPECT_COLOR_NEAR(at(75, 300), Color::whiteColor());
    EXPECT_COLOR_NEAR(at(245, 195), Color::blueColor());
    EXPECT_EQ(inkIn(Rect(230, 180, 40, 40)), 400) << "exactly the picture's pixels";
    EXPECT_COLOR_NEAR(at(110, 140), Color::redColor());
    EXPECT_COLOR_NEAR(at(10, 140), Color::whiteColor());
}

TEST_F(RenderTest, LabelsDrawWrapAndShrinkTheirText) {
    window->setBackgroundColor(Color::whiteColor());
    auto label = std::make_shared<Label>(Rect(20, 100, 280, 40));
    label->setFont("GD-DOTFONT-DQ-TTF", 20);
    label->setTextColor(Color::black());
    label->setTextAlignment(TextAlignment::center);
    label->setText("王様 King");
    window->addSubview(label);
    ASSERT_TRUE(label->effectiveFont()->isAvailable()) << "the dot font is missing from the resources";
    renderer.render(*window);
    const double w = label->effectiveFont()->widthOfText("王様 King");
    // Ink inside the centred text box, none outside it.
    EXPECT_GT(inkIn(Rect(160 - w / 2, 100, w, 40)), 200);
    EXPECT_EQ(inkIn(Rect(0, 0, 160 - w / 2 - 2, 480)) + inkIn(Rect(0, 0, 320, 95)), 0);
    // Words wrap at spaces; Japanese breaks anywhere; a line limit cuts with an ellipsis.
    auto font = Font::fontWithName("system", 16);
    EXPECT_EQ(Label::wrapText("the king waves the party off", *font, font->widthOfText("the king waves"), 0)[0], "the king waves");
    EXPECT_EQ(Label::wrapText("ゆうしゃたちはたんけんにでかけた", *font, font->widthOfText("ゆうしゃたち"), 0)[0], "ゆうしゃたち");
    EXPECT_EQ(Label::wrapText("one\ntwo\nthree", *font, 300, 2), (std::vector<std::string>{"one", "two\xE2\x80\xA6"}));
    label->setFont(font);
    label->setText("A rather long title");
    label->setFrame(Rect(0, 0, 60, 20));
    label->setAdjustsFontSizeToFitWidth(true);
    label->setMinimumFontSize(8);
    EXPECT_LT(label->effectiveFont()->pointSize(), 16);
    EXPECT_GE(label->effectiveFont()->pointSize(), 8);
    EXPECT_LE(label->effectiveFont()->widthOfText(label->lines()[0]), 60.5);
}

TEST_F(RenderTest, EveryStringOfEveryTableIsWrittenInAFontThatHasItsGlyphs) {
    LocalizedStrings tables;
    for (const char* language : {"en", "ja", "zh-Hans"}) {
        LocalizedStrings::setPreferredLanguages({language});
        const auto keys = tables.keysForLanguage(language);
        ASSERT_GT(keys.size(), 50u) << language;
        for (const auto& key : keys)
            for (const char* name : {"GD-DOTFONT-DQ-TTF", "system"}) {
                auto label = std::make_shared<Label>(Rect(0, 0, 216, 60));
                label->setFont(name, 8);
                label->setText(tables.localizedString(key));
                EXPECT_TRUE(label->effectiveFont()->hasGlyphsForText(label->text())) << language << " " << key << " in " << name;
            }
    }
    LocalizedStrings::setPreferredLanguages({});
    // The dot font has no simplified Chinese: the system font writes it, and it shows.
    window->setBackgroundColor(Color::whiteColor());
    auto label = std::make_shared<Label>(Rect(20, 100, 280, 40));
    label->setFont("GD-DOTFONT-DQ-TTF", 16);
    label->setTextColor(Color::black());
    label->setText("要出发探险吗？");
    window->addSubview(label);
    EXPECT_EQ(label->effectiveFont()->name(), "system");
    EXPECT_DOUBLE_EQ(label->effectiveFont()->pointSize(), 16 * Font::kDotFontFallbackScale);
    renderer.render(*window);
    EXPECT_GT(inkIn(Rect(20, 100, 280, 40)), 300);
}

}  // namespace
