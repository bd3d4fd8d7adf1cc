// The main screen's widgets: the gold panel's counter, flash, rate and observers; the equipment
// strip; the remaining-time panel; the balloon; the dot-font label.
#include <gtest/gtest.h>

#include <map>

#include "explore/BalloonView.h"
#include "explore/DotFontLabel.h"
#include "explore/EquipStatusView.h"
#include "explore/ExploreStatusView.h"
#include "explore/NMCommon.h"
#include "explore/NumberLabelsView.h"
#include "explore/PixelPanel.h"
#include "explore/StatusView.h"
#include "model/EquipManager.h"
#include "model/SavePointHooks.h"
#include "model/SavedStateKeys.h"
#include "platform/core/Random.h"
#include "platform/core/RunLoop.h"
#include "platform/events/NotificationCenter.h"
#include "platform/render/HeadlessRenderer.h"
#include "platform/resources/LocalizedStrings.h"
#include "platform/resources/ResourceBundle.h"
#include "platform/services/UserInteraction.h"
#include "platform/ui/ImageView.h"
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
        LocalizedStrings::shared().reload();
        SavePointHooks::setAfterSaveHandler(nullptr);
        RunLoop::main().setClock(std::make_shared<ManualClock>(1.8e9));
        RandomSource::shared().seed(4242);
    }
    void TearDown() override {
        window.reset();  // the widgets go before the managers they follow
        reset();
    }
    static void reset() {
        RunLoop::main().reset();
        Image::clearCache();
        gametest::resetModelSingletons(/*resetPersons=*/false);
        gametest::clearStore();
        NotificationCenter::defaultCenter().removeAllObservers();
        UserInteraction::setShared(nullptr);
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
    // Hunts the bosses of dungeons 1 .. lastDungeon - 1, which unlocks dungeons 2 .. lastDungeon.
    static void unlockDungeonsUpTo(unsigned lastDungeon) {
        for (unsigned d = 1; d < lastDungeon; ++d)
            MonsterManager::getInstance()->addMonsterWithId(DungeonStaticData::getInstance()->bossIdWithDungeionId(d));
    }
    std::shared_ptr<Window> window;
};

constexpr double kStep = NumberLabelsView::kCountUpStepInterval;

uint32_t shown(const NumberLabelsView& view) {
    const std::string text = view.displayedText();
    return text.empty() ? 0u : static_cast<uint32_t>(std::stoul(text));
}

std::shared_ptr<NumberLabelsView> makeCounter() {
    auto view = View::make<NumberLabelsView>(8, 18.0, Color::black(), Rect(-7, 9, 100, 14), 6.0);
    view->drawRect();
    return view;
}

TEST_F(WidgetTest, CountUpsTakeTheStepsTheirDistanceAllowsOnePer16msAndAFallStopsThem) {
    const auto stepRange = [](uint32_t gap) -> std::pair<uint32_t, uint32_t> {
        if (gap >= 10000) return {5000, 9999};
        if (gap >= 1000) return {400, 999};
        return gap >= 100 ? std::pair(30u, 99u) : gap >= 10 ? std::pair(2u, 10u) : std::pair(1u, 1u);
    };
    auto view = makeCounter();
    const double start = now();
    view->updateNumber(10000, true);
    std::vector<uint32_t> values{shown(*view)};  // the first step shows at once
    for (int k = 1; k < 10000 && view->isCountingUp(); ++k) {
        advanceTo(start, k * kStep - 0.002);
        EXPECT_EQ(shown(*view), values.back()) << "nothing moves between two steps";
        advanceTo(start, k * kStep + 0.002);
        values.push_back(shown(*view));
    }
    uint32_t previous = 0;
    for (uint32_t v : values) {
        const auto [low, high] = stepRange(10000 - previous);
        EXPECT_TRUE(v - previous >= low && v - previous <= high) << previous << " -> " << v;
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
    ASSERT_TRUE(renderer.isValid());
    const auto centerX = [&](size_t figure) {  // 7: the highest, empty socket
        const auto& label = panel->numberLabelsView()->labels()[figure];
        return label->convertRectToView(label->bounds(), nullptr).center().x;
    };
    const Point socket(centerX(7), panel->frame().origin.y + 11), board((centerX(7) + centerX(6)) / 2, socket.y);
    const auto colorAt = [&](Point p) {
        renderer.render(*window);
        return renderer.colorAtPoint(p);
    };
    EXPECT_TRUE(panel->effectImgView()->isHidden() && panel->numberLabelsView()->displayedText() == "1234");
    const double start = now();
    GoldManager::getInstance()->addGold(25);
    drain();
    EXPECT_TRUE(near(colorAt(socket), Palette::goldLight));
    EXPECT_FALSE(near(colorAt(board), Palette::goldLight)) << "the board stays";
    advanceTo(start, 0.5);
    const double halfway = panel->effectImgView()->presentationAlpha();
    EXPECT_TRUE(halfway > 0.5 && halfway < 1.0) << "ease-in: slow at first";
    EXPECT_EQ(panel->numberLabelsView()->displayedText(), "1259");
    GoldManager::getInstance()->addGold(100);  // during the fade: the figures follow, no second fade
    drain();
    EXPECT_NEAR(panel->effectImgView()->presentationAlpha(), halfway, 1e-9);
    advanceTo(start, 0.999);
    EXPECT_TRUE(panel->animating());
    advanceTo(start, 1.0 + 1e-9);
    EXPECT_TRUE(!panel->animating() && panel->effectImgView()->isHidden());
    EXPECT_TRUE(near(colorAt(socket), Palette::cream));
    EXPECT_EQ(panel->numberLabelsView()->displayedText(), "1359");
    GoldManager::getInstance()->addGold(1);
    drain();
    EXPECT_TRUE(panel->animating()) << "the next rise flashes again";
}

TEST_F(WidgetTest, TheRateShowsOnlyWhenItRaisesAndFollowsPurchases) {
    auto panel = show<StatusView>();
    store().setFloat(1.2f * 1.25f, SavedStateKeys::goldRate);
    panel->updateEquip();
    EXPECT_EQ(panel->goldRateLabel()->text(), "x1.50");
    store().setFloat(0.8f, SavedStateKeys::goldRate);
    unlockDungeonsUpTo(5);
    EquipManager::addEquipWithId(29);  // a speed item: the stored gold rate is one, no text, a pass later
    EXPECT_EQ(panel->goldRateLabel()->text(), "x1.50");
    drain();
    EXPECT_EQ(panel->goldRateLabel()->text(), "");
    EquipManager::addEquipWithId(30);  // Merchant's Scales, gold x1.25
    drain();
    EXPECT_EQ(panel->goldRateLabel()->text(), "x1.25");
}

TEST_F(WidgetTest, ObserversLeaveWithThePanelAndAPanelOutlivingItsGoldManagerReadsTheNewOne) {
    auto panel = show<StatusView>();
    EXPECT_EQ(NotificationCenter::defaultCenter().observerCount("equipUpdated"), 2u) << "the panel and the gold manager";
    GoldManager::getInstance()->addGold(10);  // a change on its way while the panel goes
    panel->removeFromSuperview();
    panel.reset();
    EXPECT_EQ(NotificationCenter::defaultCenter().observerCount("equipUpdated"), 1u);
    advance(2.0);
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

TEST_F(WidgetTest, TheStripTakesOneRowUpToFifteenPiecesOnSaleTwoBeyondAndFollowsTheEvents) {
    const auto icons = [](const EquipStatusView& strip) {  // origins by the equipment id of the picture
        std::map<unsigned, Point> found;
        for (const auto& sub : strip.subviews())
            if (auto icon = std::dynamic_pointer_cast<ImageView>(sub); icon && sub->tag() == EquipStatusView::kIconTag)
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
    EXPECT_EQ(EquipStatusView::iconOriginWithEquipId(16, EquipStatusView::kModeOneRow), Point(313, 23));
    strip->generateIconWithEquipId(99);  // no "item99@2x.png": skipped
    EXPECT_EQ(icons(*strip).size(), 3u);
    NMCommon::sendNotification("equipUpdated");  // on its way while the strip goes
    strip->removeFromSuperview();
    strip.reset();
    EXPECT_EQ(NotificationCenter::defaultCenter().observerCount("newMap"), 0u);
    drain();
}

TEST_F(WidgetTest, ShortTimesBelowAnHourTheShowGrowsInOnceTheButtonFollowsAndHideShrinksAway) {
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
}

TEST_F(WidgetTest, BalloonAndPanelShownAgainDuringTheirShrinkStayUp) {
    auto balloon = View::make<BalloonView>();
    auto panel = show<ExploreStatusView>();
    for (auto hide : {std::function<void()>([&] { balloon->hide(); }), std::function<void()>([&] { panel->hide(); })}) {
        balloon->show(), panel->show();
        advance(1.0);
        hide();
        advance(0.1);
        balloon->show(), panel->show();  // the newer announcement wins
        advance(1.0);
        EXPECT_TRUE(!balloon->isHidden() && !panel->isHidden() && !panel->suspendBtn()->isHidden());
    }
}

TEST_F(WidgetTest, DotFontLabelsAndTheChineseFallback) {
    for (const char* language : {"en", "zh-Hans", "zh_TW"}) {
        LocalizedStrings::setPreferredLanguages({language, "zh-Hans"});
        const bool chinese = language[0] == 'z';
        auto loaded = DotFontLabel::loadedFromDescription(Rect(0, 0, 100, 20), 10.0);
        EXPECT_EQ(loaded->font()->name() == "GD-DOTFONT-DQ-TTF", !chinese) << language;
        EXPECT_DOUBLE_EQ(loaded->font()->pointSize(), chinese ? 7.0 : 10.0) << language;
        EXPECT_EQ(View::make<DotFontLabel>(Rect(0, 0, 100, 20), 12.0)->font()->name(), "GD-DOTFONT-DQ-TTF") << "made in code: always";
    }
}

}  // namespace
