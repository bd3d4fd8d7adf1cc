// The main screen's widgets drawn headlessly over a stage (the picture goes to <build>/widgets/):
// the gold panel's sockets, digits and flash, the remaining-time board and the strip's icons.
#include <gtest/gtest.h>

#include "explore/EquipStatusView.h"
#include "explore/ExploreStatusView.h"
#include "explore/PixelPanel.h"
#include "explore/StatusView.h"
#include "model/GoldManager.h"
#include "model/LeftTimeManager.h"
#include "model/SavedStateKeys.h"
#include "platform/render/HeadlessRenderer.h"
#include "platform/ui/ImageView.h"
#include "widgets_support.h"

namespace {

using widgettest::store;
using WidgetRenderTest = widgettest::WidgetTest;

bool near(Color a, Color b, int tolerance = 6) {
    auto d = [](uint8_t x, uint8_t y) { return x > y ? x - y : y - x; };
    return d(a.r8(), b.r8()) <= tolerance && d(a.g8(), b.g8()) <= tolerance && d(a.b8(), b.b8()) <= tolerance;
}

TEST_F(WidgetRenderTest, MainScreenWidgetsOverTheStageAndTheGoldFlash) {
    store().setInteger(12345, SavedStateKeys::gold);
    store().setBool(true, SavedStateKeys::shopUnlocked);
    unlockDungeonsUpTo(7);  // two rows
    own({1, 2, 3, 5, 8, 13, 16, 17});
    window = std::make_shared<Window>(Rect(0, 0, 320, 480));
    window->setBackgroundColor(Palette::night);
    auto stage = View::make<ImageView>(Rect(0, 0, 320, 480));
    stage->setImage(Image::named("stage_1@2x.png"));
    window->addSubview(stage);
    auto status = View::make<StatusView>();
    auto explore = View::make<ExploreStatusView>();
    auto strip = View::make<EquipStatusView>();
    for (const auto& v : std::initializer_list<std::shared_ptr<View>>{status, explore, strip}) window->addSubview(v);
    LeftTimeManager::getInstance()->setLeftTime(754.2);
    explore->updateStatus();
    explore->show();
    advance(1.0);

    HeadlessRenderer renderer(Size(320, 480));
    ASSERT_TRUE(renderer.isValid());
    renderer.render(*window);
    const std::filesystem::path dir = std::filesystem::path(RE_TEST_BINARY_DIR) / "widgets";
    std::filesystem::create_directories(dir);
    EXPECT_TRUE(renderer.writePNG((dir / "main_screen_widgets.png").string()));

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
    const auto& units = status->numberLabelsView()->labels()[0];
    const Rect unitsRect = units->convertRectToView(units->bounds(), nullptr);
    int ink = 0;
    for (double y = unitsRect.minY(); y < unitsRect.maxY(); y += 0.5)
        for (double x = unitsRect.minX(); x < unitsRect.maxX(); x += 0.5) ink += renderer.colorAtPoint({x, y}).r8() < 60;
    EXPECT_GT(ink, 20) << "the 5 is drawn";
    const Rect panel = explore->frame();
    EXPECT_TRUE(near(renderer.colorAtPoint({panel.origin.x + 4, panel.origin.y + 30}), Palette::night)) << "the dark board";

    // The strip: an owned icon covers its socket, an empty socket stays dark.
    auto darkPixels = [&](unsigned equipId) {
        const Point icon = EquipStatusView::iconOriginWithEquipId(equipId, EquipStatusView::kModeTwoRows) + strip->frame().origin;
        int dark = 0;
        for (double y = 0; y < 14; y += 0.5)
            for (double x = 0; x < 14; x += 0.5) dark += near(renderer.colorAtPoint({icon.x + x, icon.y + y}), Palette::brownDark, 3);
        return dark;
    };
    const int empty = darkPixels(4);
    EXPECT_GT(empty, 28 * 28 * 9 / 10) << "socket 4 empty";
    for (unsigned owned : {1u, 2u, 16u, 17u}) EXPECT_LT(darkPixels(owned), empty - 40) << "icon " << owned << " owned";

    // The flash lights the sockets, not the board between them, and fades back to cream.
    GoldManager::getInstance()->addGold(400);
    drain();
    const double start = now();
    renderer.render(*window);
    EXPECT_TRUE(near(renderer.colorAtPoint(socket(7)), Palette::goldLight));
    EXPECT_FALSE(near(renderer.colorAtPoint(between), Palette::goldLight));
    advanceTo(start, 1.0 + 1e-9);
    renderer.render(*window);
    EXPECT_TRUE(near(renderer.colorAtPoint(socket(7)), Palette::cream));
    window.reset();
}

}  // namespace
