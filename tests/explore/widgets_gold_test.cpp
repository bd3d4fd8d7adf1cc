// The gold panel: the figure labels, the count-up with its random steps at 0.016 s, a fall shown
// at once, the flash (also drawn, the picture in <build>/widgets/), the gold rate, and the
// observers the panel holds while it lives.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "explore/NMCommon.h"
#include "explore/NumberLabelsView.h"
#include "explore/PixelPanel.h"
#include "explore/StatusView.h"
#include "model/EquipManager.h"
#include "model/GoldManager.h"
#include "model/SavedStateKeys.h"
#include "platform/render/HeadlessRenderer.h"
#include "platform/ui/Font.h"
#include "platform/ui/ImageView.h"
#include "widgets_support.h"

namespace {

using widgettest::store;
using widgettest::WidgetTest;
constexpr double kStep = NumberLabelsView::kCountUpStepInterval;

uint32_t shown(const NumberLabelsView& view) {
    const std::string text = view.displayedText();
    return text.empty() ? 0u : static_cast<uint32_t>(std::stoul(text));
}

// The step sizes a gap of g may take.
std::pair<uint32_t, uint32_t> stepRange(uint32_t g) {
    if (g >= 10000) return {5000, 9999};
    if (g >= 1000) return {400, 999};
    if (g >= 100) return {30, 99};
    if (g >= 10) return {2, 10};
    return {1, 1};
}

std::shared_ptr<NumberLabelsView> makeCounter() {
    auto view = View::make<NumberLabelsView>(8, 18.0, Color::black(), Rect(-7, 9, 100, 14), 6.0);
    view->drawRect();
    return view;
}

using NumberLabelsTest = WidgetTest;

TEST_F(NumberLabelsTest, TheWidestDigitRightToLeftWithoutLeadingZerosKeepingTheLowestFigures) {
    auto view = makeCounter();
    const Size figure = NumberLabelsView::maxFigureSizeAtSizeOfFont(18);
    auto font = Font::boldSystemFontOfSize(18);
    double widest = 0;
    for (char d = '0'; d <= '9'; ++d) widest = std::max(widest, font->widthOfText(std::string(1, d)));
    EXPECT_DOUBLE_EQ(figure.width, widest);
    view->drawRect();
    ASSERT_EQ(view->subviews().size(), 8u) << "a second display adds nothing";
    EXPECT_DOUBLE_EQ(view->labels()[0]->frame().origin.x, 7 * (figure.width + 6)) << "labels[0] is the units, rightmost";
    EXPECT_DOUBLE_EQ(view->labels()[7]->frame().origin.x, 0);

    view->updateNumber(90210, false);
    EXPECT_EQ(view->labels()[4]->text(), "9");
    EXPECT_EQ(view->labels()[5]->text(), "");
    view->updateNumber(123456789, false);
    EXPECT_EQ(view->displayedText(), "23456789");
    EXPECT_EQ(view->currentNumber(), 123456789u);
    view->updateNumber(0, false);
    EXPECT_EQ(view->displayedText(), "0");
}

TEST_F(NumberLabelsTest, CountUpsTakeTheStepsTheirDistanceAllowsOnePer16ms) {
    for (uint32_t target : {25u, 10000u})
        for (uint64_t seed : {1u, 5u, 77u, 4242u}) {
            SCOPED_TRACE(std::to_string(target) + " seed " + std::to_string(seed));
            RandomSource::shared().seed(seed);
            auto view = makeCounter();
            const double start = now();
            view->updateNumber(target, true);
            std::vector<uint32_t> values{shown(*view)};  // the first step shows at once
            for (int k = 1; k < 10000 && view->isCountingUp(); ++k) {
                advanceTo(start, k * kStep - 0.002);
                EXPECT_EQ(shown(*view), values.back()) << "nothing moves between two steps";
                advanceTo(start, k * kStep + 0.002);
                values.push_back(shown(*view));
            }
            uint32_t previous = 0;
            for (uint32_t v : values) {
                ASSERT_GT(v, previous);
                const auto [low, high] = stepRange(target - previous);
                EXPECT_GE(v - previous, low) << "from " << previous;
                EXPECT_LE(v - previous, high) << "from " << previous;
                previous = v;
            }
            EXPECT_EQ(values.back(), target);
            EXPECT_NEAR(now() - start, (values.size() - 1) * kStep + 0.002, 1e-9);
            advance(1.0);
            EXPECT_EQ(shown(*view), target) << "nothing after the end";
        }
}

TEST_F(NumberLabelsTest, AFallIsShownAtOnceAndStopsACountUnderWay) {
    auto view = makeCounter();
    view->updateNumber(500, false);
    view->updateNumber(120, true);
    EXPECT_EQ(view->displayedText(), "120");
    EXPECT_FALSE(view->isCountingUp());
    view->updateNumber(10120, true);
    advance(2 * kStep + 0.001);
    ASSERT_TRUE(view->isCountingUp());
    view->updateNumber(300, false);  // paid in the shop while counting
    advance(1.0);
    EXPECT_EQ(view->displayedText(), "300");
    view->updateNumber(300, true);
    EXPECT_FALSE(view->isCountingUp()) << "the same value is no rise";
    view->updateNumber(5000, true);
    view.reset();
    advance(1.0);  // no step may run into the destroyed view
}

using StatusViewTest = WidgetTest;

bool near(Color a, Color b) {
    auto d = [](uint8_t x, uint8_t y) { return x > y ? x - y : y - x; };
    return d(a.r8(), b.r8()) <= 6 && d(a.g8(), b.g8()) <= 6 && d(a.b8(), b.b8()) <= 6;
}

TEST_F(StatusViewTest, RisingGoldCountsUpAndFlashesTheSocketsOnceOverOneSecondTheFirstDisplayNot) {
    store().setInteger(1234, SavedStateKeys::gold);
    auto panel = show<StatusView>();
    auto stage = View::make<ImageView>(Rect(0, 0, 320, 480));
    stage->setImage(Image::named("stage_1@2x.png"));
    window->insertSubviewAtIndex(stage, 0);
    HeadlessRenderer renderer(Size(320, 480));
    ASSERT_TRUE(renderer.isValid());
    // A point in the socket of a figure (0: units), clear of its digit, and one on the board.
    const auto socket = [&](size_t figure) {
        const auto& label = panel->numberLabelsView()->labels()[figure];
        const Rect r = label->convertRectToView(label->bounds(), nullptr);
        return Point(r.origin.x + r.size.width / 2, panel->frame().origin.y + 11);
    };
    const Point between((socket(1).x + socket(2).x) / 2, socket(1).y);
    const auto colorAt = [&](Point p) {
        renderer.render(*window);
        return renderer.colorAtPoint(p);
    };
    EXPECT_EQ(panel->numberLabelsView()->displayedText(), "1234");
    EXPECT_FALSE(panel->numberLabelsView()->isCountingUp());
    EXPECT_TRUE(panel->effectImgView()->isHidden());
    EXPECT_TRUE(near(colorAt(socket(7)), Palette::cream)) << "the highest, empty socket too";
    EXPECT_TRUE(near(colorAt(socket(0)), Palette::cream));
    EXPECT_FALSE(near(colorAt(between), Palette::cream));
    const std::filesystem::path dir = std::filesystem::path(RE_TEST_BINARY_DIR) / "widgets";
    std::filesystem::create_directories(dir);
    EXPECT_TRUE(renderer.writePNG((dir / "gold_panel.png").string()));

    GoldManager* gold = GoldManager::getInstance();
    const double start = now();
    gold->addGold(25);
    EXPECT_EQ(panel->numberLabelsView()->displayedText(), "1234") << "the change is seen on the next pass";
    drain();
    EXPECT_TRUE(panel->animating());
    EXPECT_NEAR(panel->effectImgView()->presentationAlpha(), 1.0, 1e-9);
    EXPECT_TRUE(near(colorAt(socket(7)), Palette::goldLight));
    EXPECT_FALSE(near(colorAt(between), Palette::goldLight)) << "the board stays";
    advanceTo(start, 0.5);
    const double halfway = panel->effectImgView()->presentationAlpha();
    EXPECT_GT(halfway, 0.5) << "ease-in: slow at first";
    EXPECT_LT(halfway, 1.0);
    EXPECT_EQ(panel->numberLabelsView()->displayedText(), "1259");
    gold->addGold(100);  // during the fade: the figures follow, no second fade
    drain();
    EXPECT_NEAR(panel->effectImgView()->presentationAlpha(), halfway, 1e-9);
    advanceTo(start, 0.999);
    EXPECT_TRUE(panel->animating());
    advanceTo(start, 1.0 + 1e-9);
    EXPECT_FALSE(panel->animating());
    EXPECT_TRUE(panel->effectImgView()->isHidden());
    EXPECT_TRUE(near(colorAt(socket(7)), Palette::cream));
    EXPECT_EQ(panel->numberLabelsView()->displayedText(), "1359");
    gold->addGold(1);
    drain();
    EXPECT_TRUE(panel->animating() && !panel->effectImgView()->isHidden()) << "the next rise flashes again";
}

TEST_F(StatusViewTest, TheRateShowsOnlyWhenItRaisesAndFollowsPurchases) {
    auto panel = show<StatusView>();
    EXPECT_EQ(panel->goldRateLabel()->text(), "") << "no rate stored";
    const std::pair<float, const char*> cases[] = {{1.0f, ""}, {0.8f, ""}, {1.25f, "x1.25"}, {1.2f * 1.25f, "x1.50"}};
    for (const auto& [rate, text] : cases) {
        store().setFloat(rate, SavedStateKeys::goldRate);
        panel->updateEquip();
        EXPECT_EQ(panel->goldRateLabel()->text(), text) << rate;
    }
    store().removeObjectForKey(SavedStateKeys::goldRate);
    panel->updateEquip();
    WidgetTest::unlockDungeonsUpTo(5);
    EquipManager::addEquipWithId(30);  // Merchant's Scales, gold x1.25: through the event, a pass later
    EXPECT_EQ(panel->goldRateLabel()->text(), "");
    drain();
    EXPECT_EQ(panel->goldRateLabel()->text(), "x1.25");
}

TEST_F(StatusViewTest, ObserversLeaveWithThePanel) {
    auto& center = NotificationCenter::defaultCenter();
    GoldManager* gold = GoldManager::getInstance();  // it follows the event too
    const size_t before = center.observerCount("equipUpdated");
    auto panel = show<StatusView>();
    EXPECT_EQ(center.observerCount("equipUpdated"), before + 1);
    gold->addGold(10);  // a change on its way while the panel goes
    panel->removeFromSuperview();
    panel.reset();
    EXPECT_EQ(center.observerCount("equipUpdated"), before);
    store().setFloat(2.0f, SavedStateKeys::goldRate);
    NMCommon::sendNotification("equipUpdated");
    gold->addGold(10);
    advance(2.0);  // nothing reaches the destroyed panel
    EXPECT_EQ(gold->currentGold(), 20u) << "the rate reaches the manager only on the next pass";

    // A panel that outlives the gold manager (torn down and made anew) reads the new one's gold.
    panel = show<StatusView>();
    GoldManager::resetInstanceForTesting();
    store().setInteger(77, SavedStateKeys::gold);
    panel->updateGoldWithAnimated(false);
    EXPECT_EQ(panel->numberLabelsView()->displayedText(), "77");
    panel.reset();
    window.reset();
    GoldManager::getInstance()->addGold(1);
    advance(2.0);
}

}  // namespace
