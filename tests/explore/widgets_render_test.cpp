// The main screen's widgets drawn headlessly over a stage: the gold panel (at rest and in the
// middle of its flash), the remaining-time panel, the equipment strip with some icons and the
// shop balloon. The pictures go to <build>/widgets/ to be looked at; the checks below read
// back the pixels that tell the widgets apart.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "explore/BalloonView.h"
#include "explore/EquipStatusView.h"
#include "explore/ExploreStatusView.h"
#include "explore/PixelPanel.h"
#include "explore/StatusView.h"
#include "model/GoldManager.h"
#include "model/LeftTimeManager.h"
#include "model/SavedStateKeys.h"
#include "platform/render/HeadlessRenderer.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Window.h"
#include "widgets_support.h"

namespace {

using widgettest::store;

bool near(Color a, Color b, int tolerance = 6) {
    auto d = [](uint8_t x, uint8_t y) { return x > y ? x - y : y - x; };
    return d(a.r8(), b.r8()) <= tolerance && d(a.g8(), b.g8()) <= tolerance && d(a.b8(), b.b8()) <= tolerance;
}

std::string outputDir() {
    const std::filesystem::path dir = std::filesystem::path(RE_TEST_BINARY_DIR) / "widgets";
    std::filesystem::create_directories(dir);
    return dir.string();
}

class WidgetRenderTest : public widgettest::WidgetTest {
protected:
    void buildScreen() {
        store().setInteger(12345, SavedStateKeys::gold);
        store().setFloat(1.25f, SavedStateKeys::goldRate);
        store().setBool(true, SavedStateKeys::shopUnlocked);
        widgettest::WidgetTest::unlockDungeonsUpTo(7);  // 18 pieces on sale: two rows
        widgettest::WidgetTest::own({1, 2, 3, 5, 8, 13, 16, 17});

        window = std::make_shared<Window>(Rect(0, 0, 320, 480));
        window->setBackgroundColor(Palette::night);
        auto stage = View::make<ImageView>(Rect(0, 0, 320, 480));
        stage->setImage(Image::named("stage_1@2x.png"));
        stage->setContentMode(ContentMode::scaleAspectFill);
        window->addSubview(stage);

        status = View::make<StatusView>();
        window->addSubview(status);
        explore = View::make<ExploreStatusView>();
        window->addSubview(explore);
        strip = View::make<EquipStatusView>();
        window->addSubview(strip);
        balloon = View::make<BalloonView>();
        window->addSubview(balloon);

        LeftTimeManager::getInstance()->setLeftTime(754.2);
        explore->updateStatus();
        explore->show();
        balloon->updateMsg("The shop is open!");
        balloon->updateBalloonImage(Image::named("quest-fukidashi_shop2@2x.png"));
        balloon->show();
        advance(1.0);
    }

    // A point of the window in the socket of the given figure (0: units), clear of its digit.
    Point socketPoint(size_t figure) const {
        const auto& label = status->numberLabelsView()->labels()[figure];
        const Rect inWindow = label->convertRectToView(label->bounds(), nullptr);
        return {inWindow.origin.x + inWindow.size.width / 2, status->frame().origin.y + 11};
    }

    void TearDown() override {
        status.reset();
        explore.reset();
        strip.reset();
        balloon.reset();
        widgettest::WidgetTest::TearDown();
    }

    std::shared_ptr<StatusView> status;
    std::shared_ptr<ExploreStatusView> explore;
    std::shared_ptr<EquipStatusView> strip;
    std::shared_ptr<BalloonView> balloon;
};

TEST_F(WidgetRenderTest, MainScreenWidgetsOverTheStage) {
    buildScreen();
    HeadlessRenderer renderer(Size(320, 480));
    ASSERT_TRUE(renderer.isValid());
    renderer.render(*window);
    EXPECT_TRUE(renderer.writePNG(outputDir() + "/main_screen_widgets.png"));

    // The gold panel: cream sockets under every figure, the highest (empty) one included.
    EXPECT_TRUE(near(renderer.colorAtPoint(socketPoint(7)), Palette::cream));
    EXPECT_TRUE(near(renderer.colorAtPoint(socketPoint(0)), Palette::cream));
    EXPECT_EQ(status->numberLabelsView()->displayedText(), "12345");
    EXPECT_EQ(status->goldRateLabel()->text(), "x1.25");

    // Some dark pixels of the digits lie inside the units socket.
    const auto& units = status->numberLabelsView()->labels()[0];
    const Rect unitsRect = units->convertRectToView(units->bounds(), nullptr);
    int ink = 0;
    for (double y = unitsRect.origin.y; y < unitsRect.origin.y + unitsRect.size.height; y += 0.5)
        for (double x = unitsRect.origin.x; x < unitsRect.origin.x + unitsRect.size.width; x += 0.5)
            if (renderer.colorAtPoint({x, y}).r8() < 60) ++ink;
    EXPECT_GT(ink, 20) << "the 5 is drawn";

    // The remaining-time panel stands with its dark board.
    const Rect panel = explore->frame();
    EXPECT_TRUE(near(renderer.colorAtPoint({panel.origin.x + 4, panel.origin.y + 30}), Palette::night));
    EXPECT_EQ(explore->leftTimeLabel()->text(), "12:34");

    // The strip: an owned icon covers its socket, an empty socket stays dark.
    const Point stripOrigin = strip->frame().origin;
    auto socketPixels = [&](unsigned equipId) {
        const Point icon = EquipStatusView::iconOriginWithEquipId(equipId, EquipStatusView::kModeTwoRows);
        int dark = 0;
        for (double y = 0; y < 14; y += 0.5)
            for (double x = 0; x < 14; x += 0.5)
                if (near(renderer.colorAtPoint({stripOrigin.x + icon.x + x, stripOrigin.y + icon.y + y}), Palette::brownDark, 3)) ++dark;
        return dark;
    };
    const int empty = socketPixels(4);
    EXPECT_GT(empty, 28 * 28 * 9 / 10) << "socket 4 empty";
    for (unsigned owned : {1u, 2u, 16u, 17u}) EXPECT_LT(socketPixels(owned), empty - 40) << "icon " << owned << " owned";
    // Between two sockets the board shows, also while flashing (see the other test).
    EXPECT_FALSE(near(renderer.colorAtPoint({(socketPoint(1).x + socketPoint(2).x) / 2, socketPoint(1).y}), Palette::cream));
}

TEST_F(WidgetRenderTest, TheFlashLightsTheSocketsAndFades) {
    buildScreen();
    HeadlessRenderer renderer(Size(320, 480));
    GoldManager::getInstance()->addGold(400);
    drain();
    const double start = now();
    renderer.render(*window);
    EXPECT_TRUE(near(renderer.colorAtPoint(socketPoint(7)), Palette::goldLight)) << "full flash at first";
    const Point between((socketPoint(1).x + socketPoint(2).x) / 2, socketPoint(1).y);
    EXPECT_FALSE(near(renderer.colorAtPoint(between), Palette::goldLight)) << "the board between the sockets stays";
    advanceTo(start, 0.5);
    renderer.render(*window);
    EXPECT_TRUE(renderer.writePNG(outputDir() + "/gold_flash_halfway.png"));
    const Color halfway = renderer.colorAtPoint(socketPoint(7));
    EXPECT_FALSE(near(halfway, Palette::goldLight));
    EXPECT_FALSE(near(halfway, Palette::cream));
    advanceTo(start, 1.0 + 1e-9);
    renderer.render(*window);
    EXPECT_TRUE(near(renderer.colorAtPoint(socketPoint(7)), Palette::cream));
    EXPECT_EQ(status->numberLabelsView()->displayedText(), "12845") << "400 at the rate of 1.25";
}

}  // namespace
