// The gold panel drawn headlessly over a stage (the picture goes to <build>/widgets/): cream
// sockets under every figure, the board between them, and the flash lighting the sockets only.
#include <gtest/gtest.h>

#include "explore/PixelPanel.h"
#include "explore/StatusView.h"
#include "model/GoldManager.h"
#include "model/SavedStateKeys.h"
#include "platform/render/HeadlessRenderer.h"
#include "platform/ui/ImageView.h"
#include "widgets_support.h"

namespace {

using WidgetRenderTest = widgettest::WidgetTest;

bool near(Color a, Color b) {
    auto d = [](uint8_t x, uint8_t y) { return x > y ? x - y : y - x; };
    return d(a.r8(), b.r8()) <= 6 && d(a.g8(), b.g8()) <= 6 && d(a.b8(), b.b8()) <= 6;
}

TEST_F(WidgetRenderTest, TheGoldPanelsSocketsAndItsFlash) {
    widgettest::store().setInteger(12345, SavedStateKeys::gold);
    auto status = show<StatusView>();
    auto stage = View::make<ImageView>(Rect(0, 0, 320, 480));
    stage->setImage(Image::named("stage_1@2x.png"));
    window->insertSubviewAtIndex(stage, 0);
    HeadlessRenderer renderer(Size(320, 480));
    ASSERT_TRUE(renderer.isValid());
    renderer.render(*window);
    const std::filesystem::path dir = std::filesystem::path(RE_TEST_BINARY_DIR) / "widgets";
    std::filesystem::create_directories(dir);
    EXPECT_TRUE(renderer.writePNG((dir / "gold_panel.png").string()));

    // A point in the socket of a figure (0: units), clear of its digit.
    const auto socket = [&](size_t figure) {
        const auto& label = status->numberLabelsView()->labels()[figure];
        const Rect r = label->convertRectToView(label->bounds(), nullptr);
        return Point(r.origin.x + r.size.width / 2, status->frame().origin.y + 11);
    };
    const Point between((socket(1).x + socket(2).x) / 2, socket(1).y);
    EXPECT_TRUE(near(renderer.colorAtPoint(socket(7)), Palette::cream)) << "the highest, empty socket too";
    EXPECT_TRUE(near(renderer.colorAtPoint(socket(0)), Palette::cream));
    EXPECT_FALSE(near(renderer.colorAtPoint(between), Palette::cream)) << "the board between the sockets";

    GoldManager::getInstance()->addGold(400);
    drain();
    const double start = now();
    renderer.render(*window);
    EXPECT_TRUE(near(renderer.colorAtPoint(socket(7)), Palette::goldLight));
    EXPECT_FALSE(near(renderer.colorAtPoint(between), Palette::goldLight));
    advanceTo(start, 1.0 + 1e-9);
    renderer.render(*window);
    EXPECT_TRUE(near(renderer.colorAtPoint(socket(7)), Palette::cream));
}

}  // namespace
