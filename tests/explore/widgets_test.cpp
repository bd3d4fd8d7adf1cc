// The main screen's widgets: the gold panel's figures, count-up, fall, flash (also drawn), rate and
// observers; the equipment strip's modes, icons and events; the remaining-time panel; the balloon;
// the dot-font label.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "explore/BalloonView.h"
#include "explore/DotFontLabel.h"
#include "explore/EquipStatusView.h"
#include "explore/ExploreStatusView.h"
#include "explore/NMCommon.h"
#include "explore/NumberLabelsView.h"
#include "explore/PixelPanel.h"
#include "explore/StatusView.h"
#include "model/DungeonStaticData.h"
#include "model/EquipManager.h"
#include "model/GoldManager.h"
#include "model/LeftTimeManager.h"
#include "model/MonsterManager.h"
#include "model/SavePointHooks.h"
#include "model/SavedStateKeys.h"
#include "platform/core/Random.h"
#include "platform/core/RunLoop.h"
#include "platform/events/NotificationCenter.h"
#include "platform/render/HeadlessRenderer.h"
#include "platform/resources/LocalizedStrings.h"
#include "platform/resources/ResourceBundle.h"
#include "platform/services/UserInteraction.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Window.h"
#include "support/GameTestSupport.h"

namespace {

namespace fs = std::filesystem;
using gametest::store;

// A bundle whose equipment table has 27 pieces of type 0 (1-16 on sale from the first dungeon,
// 17-27 from the second) and one bonus item (28).
inline const fs::path& sixteenBundle() {
    static fs::path made = [] {
        const fs::path root = gametest::makeTempFolder("re-widgets"), sixteen = root / "sixteen", real = RE_TEST_RESOURCE_DIR;
        gametest::useDataFolder(root / "data");
        for (const char* folder : {"images", "fonts", "tables"}) gametest::linkFiles(real / folder, sixteen / folder, "equipments.plist");
        fs::create_directory_symlink(real / "strings", sixteen / "strings");
        Value::Array rows;
        for (int id = 1; id <= 28; ++id)
            rows.push_back(Value{{"id", Value(id)}, {"name", Value("Piece " + std::to_string(id))}, {"type", Value(id == 28 ? 1 : 0)},
                                 {"req_dungeon", Value(id <= 16 || id == 28 ? 1 : 2)}, {"monster", Value(0)}, {"num", Value(0)},
                                 {"gold", Value(10 * id)}, {"gold_rate", Value(id == 28 ? 1.5 : 1.0)}, {"speed_rate", Value(1.0)}});
        gametest::writePlist(sixteen / "tables" / "equipments.plist", Value(rows));
        return sixteen;
    }();
    return made;
}

inline void useBundle(const std::string& dir) {
    ResourceBundle::setRootDirectory(dir);
    Image::clearCache();
    gametest::resetModelSingletons(/*resetPersons=*/false);
}

class WidgetTest : public ::testing::Test {
protected:
    void SetUp() override {
        sixteenBundle();
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
    void reset() {
        RunLoop::main().reset();
        useBundle(RE_TEST_RESOURCE_DIR);
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
    void advance(double seconds) { RunLoop::main().advanceBy(seconds); }
    void advanceTo(double start, double offset) {  // never back
        if (start + offset > now()) RunLoop::main().advanceBy(start + offset - now());
    }
    static void drain() { RunLoop::main().drain(); }

    // Hunts the bosses of dungeons 1 .. lastDungeon - 1, which unlocks dungeons 2 .. lastDungeon.
    static void unlockDungeonsUpTo(unsigned lastDungeon) {
        for (unsigned d = 1; d < lastDungeon; ++d)
            MonsterManager::getInstance()->addMonsterWithId(DungeonStaticData::getInstance()->bossIdWithDungeionId(d));
    }
    static void own(std::initializer_list<int> equipIds) {
        for (int id : equipIds) store().setObject(Value{{"equip_id", Value(id)}}, "equip_" + std::to_string(id));
    }

    std::shared_ptr<Window> window;
};

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

TEST_F(WidgetTest, TheWidestDigitRightToLeftWithoutLeadingZerosKeepingTheLowestFigures) {
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

TEST_F(WidgetTest, CountUpsTakeTheStepsTheirDistanceAllowsOnePer16ms) {
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

TEST_F(WidgetTest, AFallIsShownAtOnceAndStopsACountUnderWay) {
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

bool near(Color a, Color b) {
    auto d = [](uint8_t x, uint8_t y) { return x > y ? x - y : y - x; };
    return d(a.r8(), b.r8()) <= 6 && d(a.g8(), b.g8()) <= 6 && d(a.b8(), b.b8()) <= 6;
}

TEST_F(WidgetTest, RisingGoldCountsUpAndFlashesTheSocketsOnceOverOneSecondTheFirstDisplayNot) {
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

TEST_F(WidgetTest, TheRateShowsOnlyWhenItRaisesAndFollowsPurchases) {
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

TEST_F(WidgetTest, ObserversLeaveWithThePanel) {
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

class EquipStripTest : public WidgetTest {
protected:
    // Icon origins by the equipment id the picture belongs to.
    static std::map<unsigned, Point> icons(const EquipStatusView& strip) {
        std::map<unsigned, Point> found;
        for (const auto& sub : strip.subviews()) {
            auto icon = std::dynamic_pointer_cast<ImageView>(sub);
            if (sub->tag() != EquipStatusView::kIconTag || !icon) continue;
            EXPECT_EQ(icon->frame().size, Size(14, 14));
            const std::string& name = icon->image()->name();
            found[static_cast<unsigned>(std::stoul(name.substr(name.find_first_of("0123456789"))))] = icon->frame().origin;
        }
        return found;
    }
    static std::string background(const EquipStatusView& strip) {
        const auto& image = strip.bgImgView()->image();
        return image ? image->name() : "";
    }
};

TEST_F(EquipStripTest, SixteenPiecesOnSaleGiveTwoRowsWithTheIconsInTheirSockets) {
    useBundle(sixteenBundle().string());
    store().setBool(true, SavedStateKeys::shopUnlocked);
    ASSERT_EQ(EquipManager::equipmentsInStoreOfType(0).arrayValue().size(), 16u);
    WidgetTest::own({1, 2, 15, 16, 21, 22, 27, 28});
    auto strip = show<EquipStatusView>();
    EXPECT_EQ(strip->currentMode(), EquipStatusView::kModeTwoRows);
    const std::map<unsigned, Point> expected = {{1, {13, 23}},  {2, {33, 23}},  {15, {293, 23}}, {16, {13, 6}},
                                                {21, {113, 6}}, {22, {193, 6}}, {27, {293, 6}}};
    EXPECT_EQ(icons(*strip), expected) << "type 1 items get no icon; owned pieces not on sale do";
    EXPECT_EQ(EquipStatusView::iconOriginWithEquipId(16, 1), Point(313, 23)) << "one row has no upper sockets";
}

TEST_F(EquipStripTest, EventsBringOneRowUpToFifteenPiecesTwoRowsBeyondAndMoveTheIcons) {
    WidgetTest::own({1});
    auto strip = show<EquipStatusView>();
    store().setBool(true, SavedStateKeys::shopUnlocked);
    NMCommon::sendNotification("shopUnlocked");
    drain();
    EXPECT_EQ(strip->currentMode(), EquipStatusView::kModeNone) << "the first dungeon lists no equipment of type 0";
    EXPECT_TRUE(icons(*strip).empty()) << "no icons without a strip";
    WidgetTest::unlockDungeonsUpTo(2);
    NMCommon::sendNotification("newMap", Value(1u));
    EXPECT_EQ(strip->currentMode(), EquipStatusView::kModeNone) << "events arrive on a later pass";
    drain();
    EXPECT_EQ(background(*strip), "quest_status@2x.png");
    EXPECT_TRUE(icons(*strip).empty()) << "the icons wait for the next purchase";
    EquipManager::addEquipWithId(2);
    drain();
    EXPECT_EQ(icons(*strip), (std::map<unsigned, Point>{{1, {13, 23}}, {2, {33, 23}}}));
    for (unsigned dungeon : {6u, 7u}) {
        WidgetTest::unlockDungeonsUpTo(dungeon);
        NMCommon::sendNotification("newMap", Value(dungeon - 1));
        drain();
        EXPECT_EQ(strip->currentMode(), dungeon == 7 ? EquipStatusView::kModeTwoRows : EquipStatusView::kModeOneRow);
    }
    EXPECT_EQ(background(*strip), "quest_status2@2x.png");
    EquipManager::addEquipWithId(16);
    drain();
    EXPECT_EQ(icons(*strip).at(16), Point(13, 6));
    EXPECT_EQ(icons(*strip).size(), 3u) << "old icons are replaced, not doubled";

    auto other = View::make(Rect(0, 0, 5, 5));
    strip->addSubview(other);
    strip->generateIconWithEquipId(99);  // no "item99@2x.png": skipped
    EXPECT_EQ(icons(*strip).size(), 3u);
    strip->removeAllIcons();
    EXPECT_TRUE(icons(*strip).empty());
    EXPECT_EQ(other->superview(), strip.get()) << "only tagged icons go";

    NMCommon::sendNotification("equipUpdated");  // on its way while the strip goes
    strip->removeFromSuperview();
    strip.reset();
    for (const char* name : {"shopUnlocked", "newMap", "equipUpdated"})
        EXPECT_EQ(NotificationCenter::defaultCenter().observerCount(name), 0u) << name;
    drain();
}

TEST_F(WidgetTest, ShortTimesBelowAnHourTheShowGrowsInOnceTheButtonFollowsAndHideShrinksAway) {
    auto panel = show<ExploreStatusView>();
    for (const auto& [left, text] : {std::pair<double, const char*>{3599.5, "59:59"}, {3600, "01:00:00"}}) {
        LeftTimeManager::getInstance()->setLeftTime(left);
        panel->updateStatus();
        EXPECT_EQ(panel->leftTimeLabel()->text(), text) << left;
    }
    EXPECT_TRUE(panel->isHidden() && !panel->isShown()) << "the first display waits hidden";
    int pressed = 0;
    panel->setSuspendAction([&] { ++pressed; });
    double start = now();
    panel->show();
    EXPECT_TRUE(!panel->isHidden() && panel->isShown() && panel->suspendBtn()->isHidden());
    EXPECT_LT(panel->contentView()->presentationAlpha(), 0.01);
    advanceTo(start, 0.3);
    panel->show();  // already up: no second grow-in
    EXPECT_NEAR(panel->contentView()->presentationAlpha(), 1.0, 1e-9);
    advanceTo(start, 0.549);
    EXPECT_TRUE(panel->suspendBtn()->isHidden());
    advanceTo(start, 0.55 + 1e-9);
    EXPECT_FALSE(panel->suspendBtn()->isHidden()) << "the button shows when the bounce ends";
    panel->suspendBtn()->sendAction();
    EXPECT_EQ(pressed, 1);

    start = now();
    panel->hide();
    EXPECT_TRUE(!panel->isShown() && panel->suspendBtn()->isHidden());
    advanceTo(start, 0.249);
    EXPECT_FALSE(panel->isHidden());
    advanceTo(start, 0.25 + 1e-9);
    EXPECT_TRUE(panel->isHidden());
    panel->setHidden(false);
    panel->hide();
    EXPECT_TRUE(panel->isHidden()) << "at once when it was not shown";
    panel->show();
    advance(1.0);
    panel->hide();
    advance(0.1);
    panel->show();  // during the shrink: it stays up
    advance(1.0);
    EXPECT_TRUE(!panel->isHidden() && panel->isShown() && !panel->suspendBtn()->isHidden());
}

TEST_F(WidgetTest, BalloonHidesAtTheEndOfItsShrinkUnlessShownAgain) {
    auto balloon = View::make<BalloonView>();
    EXPECT_TRUE(balloon->isHidden());
    balloon->show();
    EXPECT_FALSE(balloon->isHidden());
    advance(1.0);
    balloon->hide();
    advance(0.249);
    EXPECT_FALSE(balloon->isHidden());
    advance(0.001 + 1e-9);
    EXPECT_TRUE(balloon->isHidden());
    EXPECT_TRUE(UserInteraction::shared()->isEnabled()) << "touches stay on throughout";
    balloon->show();
    advance(1.0);
    balloon->hide();
    advance(0.1);
    balloon->show();  // the newer announcement wins
    advance(1.0);
    EXPECT_FALSE(balloon->isHidden());
}

TEST_F(WidgetTest, DotFontLabelsAndTheChineseFallback) {
    for (const char* language : {"en", "ja", "zh", "zh-Hans", "zh-Hant", "zh_TW"}) {
        LocalizedStrings::setPreferredLanguages({language, "zh-Hans"});
        const bool chinese = language[0] == 'z';
        auto loaded = DotFontLabel::loadedFromDescription(Rect(0, 0, 100, 20), 10.0);
        EXPECT_EQ(loaded->font()->name() == "GD-DOTFONT-DQ-TTF", !chinese) << language;
        EXPECT_DOUBLE_EQ(loaded->font()->pointSize(), chinese ? 7.0 : 10.0) << language;
        auto made = View::make<DotFontLabel>(Rect(0, 0, 100, 20), 12.0);
        EXPECT_EQ(made->font()->name(), "GD-DOTFONT-DQ-TTF") << "made in code: always the dot font";
        EXPECT_DOUBLE_EQ(made->font()->pointSize(), 12.0);
    }
}

}  // namespace
