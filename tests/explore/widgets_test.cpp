// The main screen's widgets: the gold panel, the equipment strip, the remaining-time panel, the balloon, the dot font.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "explore/BalloonView.h"
#include "explore/DotFontLabel.h"
#include "explore/EquipStatusView.h"
#include "explore/ExploreStatusView.h"
#include "explore/NMCommon.h"
#include "explore/PixelPanel.h"
#include "explore/StatusView.h"
#include "model/EquipManager.h"
#include "model/GameTags.h"
#include "model/SavedStateKeys.h"
#include "platform/core/Random.h"
#include "platform/render/HeadlessRenderer.h"
#include "platform/resources/LocalizedStrings.h"
#include "platform/resources/ResourceBundle.h"
#include "platform/ui/Window.h"
#include "support/GameTestSupport.h"

namespace {

using gametest::store;

class WidgetTest : public ::testing::Test {
protected:
    void SetUp() override {
        static const auto data = gametest::makeTestFolders("re-widgets");
        ResourceBundle::setRootDirectory(RE_TEST_RESOURCE_DIR);
        reset();
        gametest::startManualTime(4242);
    }
    void TearDown() override {
        window.reset();  // the widgets go before the managers they follow
        reset();
    }
    static void reset() {
        RunLoop::main().reset();
        Singletons::resetAll();
        gametest::clearStore();
        NotificationCenter::defaultCenter().removeAllObservers();
        LocalizedStrings::setPreferredLanguages({"en"});
    }
    // The widget on a 320 x 480 window: joining the window is its first display.
    template <class W>
    std::shared_ptr<W> show() {
        window = std::make_shared<Window>(Rect(0, 0, 320, 480));
        auto widget = View::make<W>();
        window->addSubview(widget);
        return widget;
    }
    double now() const { return RunLoop::main().now(); }
    static void advance(double seconds) { RunLoop::main().advanceBy(seconds); }
    void advanceTo(double start, double offset) {  // never back
        if (start + offset > now()) advance(start + offset - now());
    }
    static void drain() { RunLoop::main().drain(); }
    static void unlockDungeonsUpTo(unsigned lastDungeon) {  // their bosses hunted
        for (unsigned d = 1; d < lastDungeon; ++d)
            MonsterManager::getInstance()->addMonsterWithId(DungeonStaticData::getInstance()->bossIdWithDungeionId(d));
    }
    std::shared_ptr<Window> window;
};

constexpr double kStep = NumberLabelsView::kCountUpStepInterval;

TEST_F(WidgetTest, CountUpsTakeTheStepsTheirDistanceAllowsOnePer16msAndAFallStopsThem) {
    const uint32_t bands[][3] = {{10000, 5000, 9999}, {1000, 400, 999}, {100, 30, 99}, {10, 2, 10}, {0, 1, 1}};  // gap: steps
    auto view = View::make<NumberLabelsView>(8, 18.0, Color::black(), Rect(-7, 9, 100, 14), 6.0);
    view->drawRect();
    const auto shown = [&] { return static_cast<uint32_t>(std::stoul(view->displayedText())); };
    const double start = now();
    view->updateNumber(10000, true);
    std::vector<uint32_t> values{shown()};  // the first step shows at once
    for (int k = 1; k < 10000 && view->isCountingUp(); ++k) {
        advanceTo(start, k * kStep - 0.002);
        EXPECT_EQ(shown(), values.back()) << "nothing moves between two steps";
        advanceTo(start, k * kStep + 0.002);
        values.push_back(shown());
    }
    uint32_t previous = 0;
    for (uint32_t v : values) {
        const auto* band = std::find_if(std::begin(bands), std::end(bands), [&](auto& b) { return 10000 - previous >= b[0]; });
        EXPECT_TRUE(v - previous >= (*band)[1] && v - previous <= (*band)[2]) << previous << " -> " << v;
        previous = v;
    }
    EXPECT_EQ(view->labels()[7]->text() + view->displayedText(), "10000") << "no leading zeros";

    view->updateNumber(10120, true);
    advance(2 * kStep + 0.001);
    ASSERT_TRUE(view->isCountingUp());
    view->updateNumber(300, true);  // paid in the shop while counting: a fall shows at once
    EXPECT_TRUE(view->displayedText() == "300" && !view->isCountingUp());
    view->updateNumber(123456789, false);
    EXPECT_EQ(view->displayedText(), "23456789") << "the lowest figures kept";
    view->updateNumber(999999999, true);
    view.reset();
    advance(1.0);  // no step may run into the destroyed view
}

bool near(Color a, Color b) {
    auto d = [](uint8_t x, uint8_t y) { return x > y ? x - y : y - x; };
    return d(a.r8(), b.r8()) <= 6 && d(a.g8(), b.g8()) <= 6 && d(a.b8(), b.b8()) <= 6;
}

TEST_F(WidgetTest, RisingGoldCountsUpAndFlashesTheSocketsOnceOverOneSecondTheFirstDisplayNot) {
    store().setInteger(1234, SavedStateKeys::gold);
    auto panel = show<StatusView>();
    HeadlessRenderer renderer(Size(320, 480));
    const auto centerX = [&](size_t figure) {  // 7: the highest, empty socket
        const auto& label = panel->numberLabelsView()->labels()[figure];
        return label->convertRectToView(label->bounds(), nullptr).center().x;
    };
    const Point socket(centerX(7), panel->frame().origin.y + 11), board((centerX(7) + centerX(6)) / 2, socket.y);
    const auto colorAt = [&](Point p) { return renderer.render(*window), renderer.colorAtPoint(p); };
    EXPECT_TRUE(panel->effectImgView()->isHidden() && panel->numberLabelsView()->displayedText() == "1234");
    const double start = now();
    GoldManager::getInstance()->addGold(25);
    drain();
    EXPECT_TRUE(near(colorAt(socket), Palette::goldLight));
    EXPECT_FALSE(near(colorAt(board), Palette::goldLight)) << "the board stays";
    advanceTo(start, 0.5);
    const double halfway = panel->effectImgView()->presentationAlpha();
    EXPECT_TRUE(halfway > 0.5 && halfway < 1.0) << "ease-in: slow at first";
    GoldManager::getInstance()->addGold(100);  // during the fade: the figures follow, no second fade
    drain();
    EXPECT_NEAR(panel->effectImgView()->presentationAlpha(), halfway, 1e-9);
    advanceTo(start, 0.999);
    EXPECT_TRUE(panel->animating());
    advanceTo(start, 1.0 + 1e-9);
    EXPECT_TRUE(!panel->animating() && near(colorAt(socket), Palette::cream));
    EXPECT_EQ(panel->numberLabelsView()->displayedText(), "1359");
    GoldManager::getInstance()->addGold(1);
    drain();
    EXPECT_TRUE(panel->animating()) << "the next rise flashes again";
}

TEST_F(WidgetTest, TheRateFollowsPurchasesObserversLeaveWithThePanelAndAPanelOutlivingItsGoldManagerReadsTheNewOne) {
    store().setFloat(1.2f * 1.25f, SavedStateKeys::goldRate);
    auto panel = show<StatusView>();
    EXPECT_EQ(panel->goldRateLabel()->text(), "x1.50");
    unlockDungeonsUpTo(5);
    EquipManager::addEquipWithId(29);  // a speed item: the stored gold rate is one, no text
    drain();
    EXPECT_EQ(panel->goldRateLabel()->text(), "");
    EquipManager::addEquipWithId(30);  // gold x1.25: changes on their way while the panel goes
    GoldManager::getInstance()->addGold(10);
    panel.reset();
    window.reset();
    EXPECT_EQ(NotificationCenter::defaultCenter().observerCount("equipUpdated"), 1u) << "the gold manager's alone";
    advance(2.0);
    panel = show<StatusView>();
    GoldManager::resetInstanceForTesting();
    store().setInteger(77, SavedStateKeys::gold);
    panel->updateGoldWithAnimated(false);
    EXPECT_EQ(panel->numberLabelsView()->displayedText(), "77");
    window.reset();
    panel.reset();
    GoldManager::getInstance()->addGold(1);
    advance(2.0);
}

TEST_F(WidgetTest, TheStripTakesOneRowUpToFifteenPiecesOnSaleTwoBeyondAndFollowsTheEvents) {
    const auto icons = [](const EquipStatusView& strip) {  // origins by the equipment id of the picture
        std::map<unsigned, Point> found;
        for (const auto& sub : strip.subviews())
            if (auto icon = std::dynamic_pointer_cast<ImageView>(sub); icon && sub->tag() == GameTags::kEquipIcon)
                found[static_cast<unsigned>(std::stoul(icon->image()->name().substr(4)))] = icon->frame().origin;
        return found;
    };
    for (int id : {1, 22, 28}) store().setObject(Value{{"equip_id", Value(id)}}, "equip_" + std::to_string(id));
    store().setBool(true, SavedStateKeys::shopUnlocked);
    auto strip = show<EquipStatusView>();
    EXPECT_TRUE(strip->currentMode() == EquipStatusView::kModeNone && icons(*strip).empty()) << "nothing of type 0 on sale yet";
    unlockDungeonsUpTo(6);
    NMCommon::sendNotification("newMap", Value(5u));
    drain();
    EXPECT_EQ(strip->currentMode(), EquipStatusView::kModeOneRow) << "fifteen on sale";
    EXPECT_TRUE(icons(*strip).empty()) << "the icons wait for the next purchase";
    unlockDungeonsUpTo(7);
    NMCommon::sendNotification("newMap", Value(6u));
    EquipManager::addEquipWithId(16);
    drain();
    EXPECT_EQ(strip->bgImgView()->image()->name(), "quest_status2@2x.png");
    const std::map<unsigned, Point> expected = {{1, {13, 23}}, {16, {13, 6}}, {22, {193, 6}}};
    EXPECT_EQ(icons(*strip), expected) << "no icon for a bonus item; owned pieces not yet on sale get theirs";
    EXPECT_EQ(EquipStatusView::iconOriginWithEquipId(21, EquipStatusView::kModeTwoRows), Point(113, 6));
    strip->generateIconWithEquipId(99);  // no "item99@2x.png": skipped
    EXPECT_EQ(icons(*strip).size(), 3u);
    NMCommon::sendNotification("equipUpdated");  // on its way while the strip goes
    strip->removeFromSuperview();
    strip.reset();
    EXPECT_EQ(NotificationCenter::defaultCenter().observerCount("newMap"), 0u);
    drain();
}

TEST_F(WidgetTest, ShortTimesBelowAnHourTheShowGrowsInOnceTheButtonFollowsHideShrinksAwayAndANewerShowWins) {
    auto panel = show<ExploreStatusView>();
    LeftTimeManager::getInstance()->setLeftTime(3599.5);
    panel->updateStatus();
    EXPECT_EQ(panel->leftTimeLabel()->text(), "59:59");
    EXPECT_TRUE(panel->isHidden()) << "the first display waits hidden";
    double start = now();
    panel->show();
    advanceTo(start, 0.3);
    panel->show();  // already up: no second grow-in
    EXPECT_NEAR(panel->contentView()->presentationAlpha(), 1.0, 1e-9);
    advanceTo(start, 0.549);
    EXPECT_TRUE(panel->suspendBtn()->isHidden());
    advanceTo(start, 0.55 + 1e-9);
    EXPECT_FALSE(panel->suspendBtn()->isHidden()) << "the button shows when the bounce ends";
    start = now();
    panel->hide();
    EXPECT_TRUE(panel->suspendBtn()->isHidden());
    advanceTo(start, 0.249);
    EXPECT_FALSE(panel->isHidden());
    advanceTo(start, 0.25 + 1e-9);
    EXPECT_TRUE(panel->isHidden());

    auto balloon = View::make<BalloonView>();
    balloon->show(), panel->show();
    advance(1.0);
    balloon->hide(), panel->hide();
    advance(0.1);
    balloon->show(), panel->show();  // during the shrink: the balloon and the panel stay up
    advance(1.0);
    EXPECT_TRUE(!balloon->isHidden() && !panel->isHidden() && !panel->suspendBtn()->isHidden());
}

TEST_F(WidgetTest, DotFontLabelsAndTheChineseFallback) {
    for (const char* language : {"en", "zh-Hans", "zh_TW"}) {
        LocalizedStrings::setPreferredLanguages({language, "zh-Hans"});
        const bool chinese = language[0] == 'z';
        auto font = DotFontLabel::loadedFromDescription(Rect(0, 0, 100, 20), 10.0)->font();
        EXPECT_TRUE((font->name() == "GD-DOTFONT-DQ-TTF") != chinese && font->pointSize() == (chinese ? 7.0 : 10.0)) << language;
    }
}

}  // namespace
