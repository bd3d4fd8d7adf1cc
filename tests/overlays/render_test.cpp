// The message box and a story page drawn headlessly: the panel, the king's icon, the text and
// the buttons where the layout puts them; the page picture under its buttons and texts.
// The pictures are written to <build>/overlay-shots/ for a look.
#include "overlay_test_support.h"

#include <cmath>

#include "platform/ui/Button.h"
#include "platform/ui/GamePalette.h"
#include "platform/ui/ImageView.h"

namespace overlaytests {
namespace {

class RenderTest : public OverlayTest {
protected:
    // Renders the window and writes the picture for a look.
    void shoot(const std::string& name) {
        renderer.render(*window);
        const fs::path dir = fs::path(RE_TEST_BINARY_DIR) / "overlay-shots";
        fs::create_directories(dir);
        EXPECT_TRUE(renderer.writePNG((dir / name).string()));
    }
    bool near(Point p, Color b, double tolerance = 0.04) {
        const Color a = renderer.colorAtPoint(p);
        return std::abs(a.red - b.red) <= tolerance && std::abs(a.green - b.green) <= tolerance &&
               std::abs(a.blue - b.blue) <= tolerance;
    }
    // How many points of a view, on a grid of the step, are (or are not) of the colour.
    int count(const View& v, Color c, bool same, double step) {
        const Rect r = v.convertRectToView(v.bounds(), nullptr);
        int n = 0;
        for (double y = r.minY(); y < r.maxY(); y += step)
            for (double x = r.minX(); x < r.maxX(); x += step) n += near(Point(x, y), c) == same;
        return n;
    }
    Point onScreen(const std::string& name, Point inView) {
        return window->viewWithName(name)->convertPointToView(inView, nullptr);
    }
    HeadlessRenderer renderer{Size(320, 480)};
};

TEST_F(RenderTest, TheMessageBoxShowsItsPanelIconTextAndButtons) {
    window->setBackgroundColor(GamePalette::greenDark);  // the main screen's stand-in
    NMAlertViewManager::getInstance()->showAlertWithMessage(
        "The party will be back in 00:03:20. Shall we set out?", Image::named("talk1@2x.png"), true, 12345);
    advance(kPopIn);
    ASSERT_TRUE(renderer.isValid());
    shoot("message-box.png");
    auto& box = *NMAlertViewManager::getInstance()->alertCtr();
    const Rect panel = box.containerView()->convertRectToView(box.containerView()->bounds(), nullptr);
    EXPECT_TRUE(near(Point(panel.minX() + 2.5, panel.midY()), GamePalette::gold));
    EXPECT_TRUE(near(Point(panel.midX(), panel.minY() + 9.5), GamePalette::cream));
    EXPECT_GT(count(*box.iconImgView(), GamePalette::cream, false, 2), 50) << "the icon is drawn";
    EXPECT_GT(count(*box.msgLabel(), GamePalette::ink, true, 0.5), 100) << "the text is drawn in ink";
    EXPECT_TRUE(near(onScreen("okBtn", Point(6, 6)), GamePalette::red));
    EXPECT_LE(box.msgLabel()->sizeThatFits(box.msgLabel()->bounds().width()).height, box.msgLabel()->bounds().height());
    // Without buttons: a box of text only.
    tap("okBtn");
    advance(1.0);
    NMAlertViewManager::getInstance()->showAlertWithMessage("Touch the persons who came back to collect what they bring.",
                                                            Image::named("talk3@2x.png"), false, 0);
    advance(kPopIn);
    shoot("message-box-plain.png");
    EXPECT_TRUE(near(onScreen("okBtn", Point(6, 6)), GamePalette::cream));
}

TEST_F(RenderTest, AStoryPageFillsTheScreenUnderItsButtons) {
    store().setObject(Value(3), SavedStateKeys::currentDungeonId);
    MangaViewManager::getInstance()->showClearMangaWithDungeonId(3);
    advance(kPopIn);
    tap("nextBtn");
    tap("nextBtn");
    shoot("story-page.png");
    // The drawn page: cream border, coloured panel (the third page is red); the close button in
    // the corner; the texts on dark bands.
    EXPECT_TRUE(near(Point(4, 4), GamePalette::cream));
    EXPECT_TRUE(near(Point(40, 100), GamePalette::red));
    EXPECT_TRUE(near(onScreen("closeBtn", Point(6, 6)), GamePalette::stoneLight));
    EXPECT_FALSE(near(onScreen("dungeonLabel", Point(1, 1)), GamePalette::red));
    // A missing page: the dark screen with the buttons.
    MangaViewManager::getInstance()->showClearMangaWithDungeonId(1);
    advance(kPopIn);
    shoot("story-page-missing.png");
    EXPECT_TRUE(near(Point(40, 100), GamePalette::ink));
}

}  // namespace
}  // namespace overlaytests
