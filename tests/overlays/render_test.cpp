// The message box and a story page drawn headlessly: the panel, the king's icon, the text and
// the buttons where the layout puts them; the page picture under its buttons and texts.
// The pictures are written to <build>/overlay-shots/ for a look.
#include "overlay_test_support.h"

#include <cmath>

#include "platform/ui/Button.h"
#include "platform/ui/GamePalette.h"
#include "platform/ui/ImageView.h"
#include "stage/NMAnimationCommon.h"

namespace overlaytests {
namespace {

constexpr double kPopIn = NMAnimationCommon::kMainStepDuration + 3 * NMAnimationCommon::kBounceStepDuration;

bool near(Color a, Color b, double tolerance = 0.04) {
    return std::abs(a.red - b.red) <= tolerance && std::abs(a.green - b.green) <= tolerance && std::abs(a.blue - b.blue) <= tolerance;
}

class RenderTest : public OverlayTest {
protected:
    std::string shotPath(const std::string& name) {
        const fs::path dir = fs::path(RE_TEST_BINARY_DIR) / "overlay-shots";
        fs::create_directories(dir);
        return (dir / name).string();
    }
    // A stand-in for the main screen behind the overlays.
    void addBackdrop() {
        auto backdrop = View::make<ImageView>(window->bounds());
        backdrop->setBackgroundColor(GamePalette::greenDark);
        if (Image::exists("stage_1@2x.png")) backdrop->setImage(Image::named("stage_1@2x.png"));
        window->addSubview(backdrop);
    }
    Point onScreen(const std::string& name, Point inView) {
        return window->viewWithName(name)->convertPointToView(inView, nullptr);
    }
};

TEST_F(RenderTest, TheMessageBoxShowsItsPanelIconTextAndButtons) {
    addBackdrop();
    NMAlertViewManager::getInstance()->showAlertWithMessage(
        "The party will be back in 00:03:20. Shall we set out?", Image::named("talk1@2x.png"), true, 12345);
    advance(kPopIn);
    HeadlessRenderer renderer(window->bounds().size);
    ASSERT_TRUE(renderer.isValid());
    renderer.render(*window);
    EXPECT_TRUE(renderer.writePNG(shotPath("message-box.png")));

    auto& box = *NMAlertViewManager::getInstance()->alertCtr();
    const Rect panel = box.containerView()->convertRectToView(box.containerView()->bounds(), nullptr);
    // The gold frame and the parchment inside it.
    EXPECT_TRUE(near(renderer.colorAtPoint(Point(panel.minX() + 2.5, panel.midY())), GamePalette::gold));
    EXPECT_TRUE(near(renderer.colorAtPoint(Point(panel.midX(), panel.minY() + 9.5)), GamePalette::cream));
    // The icon is drawn: some pixel of it differs from the parchment.
    const Rect icon = box.iconImgView()->convertRectToView(box.iconImgView()->bounds(), nullptr);
    int inked = 0;
    for (double y = icon.minY(); y < icon.maxY(); y += 2)
        for (double x = icon.minX(); x < icon.maxX(); x += 2) inked += !near(renderer.colorAtPoint(Point(x, y)), GamePalette::cream);
    EXPECT_GT(inked, 50);
    // The text is drawn in ink on the parchment, and the OK button is royal red.
    const Rect text = box.msgLabel()->convertRectToView(box.msgLabel()->bounds(), nullptr);
    int letters = 0;
    for (double y = text.minY(); y < text.maxY(); y += 0.5)
        for (double x = text.minX(); x < text.maxX(); x += 0.5) letters += near(renderer.colorAtPoint(Point(x, y)), GamePalette::ink);
    EXPECT_GT(letters, 100);
    EXPECT_TRUE(near(renderer.colorAtPoint(onScreen("okBtn", Point(6, 6))), GamePalette::red));
    // The text fits above the buttons.
    EXPECT_LE(box.msgLabel()->sizeThatFits(box.msgLabel()->bounds().width()).height, box.msgLabel()->bounds().height());

    // Without buttons: a box of text only.
    tap("okBtn");
    advance(1.0);
    NMAlertViewManager::getInstance()->showAlertWithMessage("Touch the persons who came back to collect what they bring.",
                                                            Image::named("talk3@2x.png"), false, 0);
    advance(kPopIn);
    renderer.render(*window);
    EXPECT_TRUE(renderer.writePNG(shotPath("message-box-plain.png")));
    EXPECT_TRUE(near(renderer.colorAtPoint(onScreen("okBtn", Point(6, 6))), GamePalette::cream));
}

TEST_F(RenderTest, AStoryPageFillsTheScreenUnderItsButtons) {
    store().setObject(Value(3), SavedStateKeys::currentDungeonId);
    MangaViewManager::getInstance()->showClearMangaWithDungeonId(3);
    advance(kPopIn);
    tap("nextBtn");
    tap("nextBtn");
    HeadlessRenderer renderer(window->bounds().size);
    renderer.render(*window);
    EXPECT_TRUE(renderer.writePNG(shotPath("story-page.png")));
    // The drawn page: cream border, coloured panel (the third page is red).
    EXPECT_TRUE(near(renderer.colorAtPoint(Point(4, 4)), GamePalette::cream));
    EXPECT_TRUE(near(renderer.colorAtPoint(Point(40, 100)), GamePalette::red));
    // The close button in the corner, the texts on dark bands.
    EXPECT_TRUE(near(renderer.colorAtPoint(onScreen("closeBtn", Point(6, 6))), GamePalette::stoneLight));
    auto& scene = *MangaViewManager::getInstance()->mangaCtr();
    const Rect band = scene.dungeonLabel()->convertRectToView(scene.dungeonLabel()->bounds(), nullptr);
    EXPECT_FALSE(near(renderer.colorAtPoint(Point(band.minX() + 1, band.minY() + 1)), GamePalette::red));

    // A missing page: the dark screen with the buttons.
    MangaViewManager::getInstance()->showClearMangaWithDungeonId(1);
    advance(kPopIn);
    renderer.render(*window);
    EXPECT_TRUE(renderer.writePNG(shotPath("story-page-missing.png")));
    EXPECT_TRUE(near(renderer.colorAtPoint(Point(40, 100)), GamePalette::ink));
}

}  // namespace
}  // namespace overlaytests
