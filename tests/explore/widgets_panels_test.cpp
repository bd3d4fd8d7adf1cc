// The equipment strip (modes, icon places, events), the remaining-time panel (time texts, show
// and hide with the suspend button), the speech balloon and the dot-font label.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "explore/BalloonView.h"
#include "explore/DotFontLabel.h"
#include "explore/EquipStatusView.h"
#include "explore/ExploreStatusView.h"
#include "explore/NMCommon.h"
#include "model/EquipManager.h"
#include "model/LeftTimeManager.h"
#include "model/SavedStateKeys.h"
#include "platform/events/NotificationCenter.h"
#include "platform/ui/Window.h"
#include "widgets_support.h"

namespace {

using widgettest::WidgetTest;
using widgettest::store;

// ---- Equipment strip

class EquipStripTest : public WidgetTest {
protected:
    std::shared_ptr<EquipStatusView> showStrip() {
        window = std::make_shared<Window>(Rect(0, 0, 320, 480));
        auto strip = View::make<EquipStatusView>();
        window->addSubview(strip);
        return strip;
    }
    // Icon origins by the equipment id the picture belongs to.
    static std::map<unsigned, Point> icons(const EquipStatusView& strip) {
        std::map<unsigned, Point> found;
        for (const auto& sub : strip.subviews()) {
            if (sub->tag() != EquipStatusView::kIconTag) continue;
            auto icon = std::dynamic_pointer_cast<ImageView>(sub);
            EXPECT_TRUE(icon);
            if (!icon) continue;
            EXPECT_EQ(icon->frame().size, Size(14, 14));
            EXPECT_EQ(icon->contentMode(), ContentMode::scaleAspectFit);
            const std::string& name = icon->image()->name();
            const size_t digits = name.find_first_of("0123456789");
            found[static_cast<unsigned>(std::stoul(name.substr(digits)))] = icon->frame().origin;
        }
        return found;
    }
    static std::string background(const EquipStatusView& strip) {
        const auto& image = strip.bgImgView()->image();
        return image ? image->name() : "";
    }
};

TEST_F(EquipStripTest, NoStripBeforeTheShopOpensOrWhileNothingIsOnSale) {
    widgettest::WidgetTest::own({1, 2});
    auto strip = showStrip();
    EXPECT_EQ(strip->currentMode(), EquipStatusView::kModeNone);
    EXPECT_EQ(background(*strip), "");
    EXPECT_TRUE(icons(*strip).empty()) << "no icons without a strip";

    // The shop is open, but the first dungeon lists no equipment of type 0.
    store().setBool(true, SavedStateKeys::shopUnlocked);
    strip->updateMode();
    EXPECT_EQ(strip->currentMode(), EquipStatusView::kModeNone);
    EXPECT_EQ(strip->frame(), Rect(0, 438, 320, 42));
}

TEST_F(EquipStripTest, OneRowUpToFifteenPiecesTwoRowsBeyond) {
    store().setBool(true, SavedStateKeys::shopUnlocked);
    auto strip = showStrip();
    const std::vector<std::pair<unsigned, unsigned>> steps = {{2, 1}, {6, 1}, {7, 2}};  // dungeon, mode
    for (const auto& [dungeon, mode] : steps) {
        widgettest::WidgetTest::unlockDungeonsUpTo(dungeon);
        strip->updateMode();
        EXPECT_EQ(strip->currentMode(), mode) << "up to dungeon " << dungeon;
        EXPECT_EQ(background(*strip), mode == 2 ? "quest_status2@2x.png" : "quest_status@2x.png");
        EXPECT_EQ(strip->bgImgView()->frame(), Rect(0, 0, 320, 42));
    }
    EXPECT_EQ(EquipManager::equipmentsInStoreOfType(0).arrayValue().size(), 18u);
}

TEST_F(EquipStripTest, SixteenPiecesOnSaleGiveTwoRowsWithTheIconsInTheirSockets) {
    widgettest::useBundle(widgettest::folders().sixteen.string());
    store().setBool(true, SavedStateKeys::shopUnlocked);
    ASSERT_EQ(EquipManager::equipmentsInStoreOfType(0).arrayValue().size(), 16u);
    widgettest::WidgetTest::own({1, 2, 15, 16, 21, 22, 27, 28});
    auto strip = showStrip();
    EXPECT_EQ(strip->currentMode(), EquipStatusView::kModeTwoRows);
    EXPECT_EQ(background(*strip), "quest_status2@2x.png");
    const std::map<unsigned, Point> expected = {{1, {13, 23}},  {2, {33, 23}},  {15, {293, 23}}, {16, {13, 6}},
                                                {21, {113, 6}}, {22, {193, 6}}, {27, {293, 6}}};
    EXPECT_EQ(icons(*strip), expected) << "type 1 items get no icon; owned pieces not on sale do";
    // The icons are laid last table entry first.
    std::vector<int> order;
    for (const auto& sub : strip->subviews())
        if (sub->tag() == EquipStatusView::kIconTag) order.push_back(static_cast<int>(sub->frame().origin.x));
    EXPECT_EQ(order, (std::vector<int>{293, 193, 113, 13, 293, 33, 13}));
    EXPECT_EQ(EquipStatusView::iconOriginWithEquipId(16, 1), Point(313, 23)) << "one row has no upper sockets";
}

TEST_F(EquipStripTest, EventsMoveTheStripAndTheIcons) {
    widgettest::WidgetTest::unlockDungeonsUpTo(2);
    widgettest::WidgetTest::own({1});
    auto strip = showStrip();
    ASSERT_EQ(strip->currentMode(), EquipStatusView::kModeNone);

    // The first coffin opens the shop: the strip appears, the icons wait for the next purchase.
    store().setBool(true, SavedStateKeys::shopUnlocked);
    NMCommon::sendNotification("shopUnlocked");
    EXPECT_EQ(strip->currentMode(), EquipStatusView::kModeNone) << "events arrive on a later pass";
    drain();
    EXPECT_EQ(strip->currentMode(), EquipStatusView::kModeOneRow);
    EXPECT_TRUE(icons(*strip).empty());

    EquipManager::addEquipWithId(2);
    drain();
    EXPECT_EQ(icons(*strip), (std::map<unsigned, Point>{{1, {13, 23}}, {2, {33, 23}}}));

    // A new map brings the strip to two rows; the icons keep their places till the next update.
    widgettest::WidgetTest::unlockDungeonsUpTo(7);
    NMCommon::sendNotification("newMap", Value(6u));
    drain();
    EXPECT_EQ(strip->currentMode(), EquipStatusView::kModeTwoRows);
    EXPECT_EQ(icons(*strip).size(), 2u);
    EquipManager::addEquipWithId(16);
    drain();
    EXPECT_EQ(icons(*strip).at(16), Point(13, 6));
    EXPECT_EQ(icons(*strip).size(), 3u) << "old icons are replaced, not doubled";

    // The observers leave with the strip, even with an event on its way.
    auto& center = NotificationCenter::defaultCenter();
    NMCommon::sendNotification("equipUpdated");
    strip->removeFromSuperview();
    strip.reset();
    for (const char* name : {"shopUnlocked", "newMap", "equipUpdated"}) EXPECT_EQ(center.observerCount(name), 0u) << name;
    drain();
}

TEST_F(EquipStripTest, MissingPicturesAreSkippedAndIconsCanBeRemoved) {
    widgettest::WidgetTest::unlockDungeonsUpTo(2);
    store().setBool(true, SavedStateKeys::shopUnlocked);
    auto strip = showStrip();
    auto other = View::make(Rect(0, 0, 5, 5));
    strip->addSubview(other);
    strip->generateIconWithEquipId(99);  // no "item99@2x.png"
    EXPECT_TRUE(icons(*strip).empty());
    strip->generateIconWithEquipId(3);
    strip->generateIconWithEquipId(4);
    EXPECT_EQ(icons(*strip).size(), 2u);
    strip->removeAllIcons();
    EXPECT_TRUE(icons(*strip).empty());
    EXPECT_EQ(other->superview(), strip.get()) << "only tagged icons go";
}

// ---- Remaining-time panel

class ExploreStatusTest : public WidgetTest {
protected:
    std::shared_ptr<ExploreStatusView> showPanel() {
        window = std::make_shared<Window>(Rect(0, 0, 320, 480));
        auto panel = View::make<ExploreStatusView>();
        window->addSubview(panel);
        return panel;
    }
};

TEST_F(ExploreStatusTest, RemainingTimeTexts) {
    auto panel = showPanel();
    const std::pair<double, const char*> cases[] = {{3599.5, "59:59"}, {3600, "01:00:00"}, {0, "00:00"}, {90000, "25:00:00"}};
    for (const auto& [left, text] : cases) {
        LeftTimeManager::getInstance()->setLeftTime(left);
        panel->updateStatus();
        EXPECT_EQ(panel->leftTimeLabel()->text(), text) << left;
    }
}

TEST_F(ExploreStatusTest, ShowGrowsInOnceAndTheButtonFollows) {
    auto panel = showPanel();  // the first display waits hidden, with its title
    EXPECT_TRUE(panel->isHidden());
    EXPECT_FALSE(panel->isShown());
    EXPECT_TRUE(panel->suspendBtn()->isHidden());
    EXPECT_EQ(panel->titleLabel()->text(), "Time left");
    int pressed = 0;
    panel->setSuspendAction([&] { ++pressed; });
    const double start = now();
    panel->show();
    EXPECT_FALSE(panel->isHidden());
    EXPECT_TRUE(panel->isShown());
    EXPECT_TRUE(panel->suspendBtn()->isHidden());
    EXPECT_LT(panel->contentView()->presentationAlpha(), 0.01);
    advanceTo(start, 0.3);
    EXPECT_NEAR(panel->contentView()->presentationAlpha(), 1.0, 1e-9);
    panel->show();  // already up: no second grow-in
    EXPECT_NEAR(panel->contentView()->presentationAlpha(), 1.0, 1e-9);
    advanceTo(start, 0.549);
    EXPECT_TRUE(panel->suspendBtn()->isHidden());
    advanceTo(start, 0.55 + 1e-9);
    EXPECT_FALSE(panel->suspendBtn()->isHidden()) << "the button shows when the bounce ends";
    EXPECT_EQ(panel->contentView()->transform(), Transform::identity());
    panel->suspendBtn()->sendAction();
    EXPECT_EQ(pressed, 1);
}

TEST_F(ExploreStatusTest, HideShrinksAwayAndHidesAtTheEnd) {
    auto panel = showPanel();
    panel->show();
    advance(1.0);
    const double start = now();
    panel->hide();
    EXPECT_FALSE(panel->isShown());
    EXPECT_TRUE(panel->suspendBtn()->isHidden());
    EXPECT_FALSE(panel->isHidden());
    advanceTo(start, 0.249);
    EXPECT_FALSE(panel->isHidden());
    advanceTo(start, 0.25 + 1e-9);
    EXPECT_TRUE(panel->isHidden());

    // Hidden at once when it was not shown.
    panel->setHidden(false);
    panel->hide();
    EXPECT_TRUE(panel->isHidden());

    // A show during the shrink keeps the panel up.
    panel->show();
    advance(1.0);
    panel->hide();
    advance(0.1);
    panel->show();
    advance(1.0);
    EXPECT_FALSE(panel->isHidden());
    EXPECT_TRUE(panel->isShown());
    EXPECT_FALSE(panel->suspendBtn()->isHidden());
}

// ---- Balloon

TEST_F(WidgetTest, BalloonPopsInWithABounceAndShrinksAway) {
    auto balloon = View::make<BalloonView>();
    EXPECT_TRUE(balloon->isHidden());
    EXPECT_EQ(balloon->msgLabel()->frame(), Rect(8, 6, 144, 22));
    balloon->updateMsg("The shop is open!");
    balloon->updateBalloonImage(Image::named("quest-fukidashi_shop2@2x.png"));
    EXPECT_EQ(balloon->msgLabel()->text(), "The shop is open!");
    EXPECT_EQ(balloon->balloonImgView()->image()->size(), Size(160, 44));

    const double start = now();
    balloon->show();
    EXPECT_FALSE(balloon->isHidden());
    advanceTo(start, 0.25 + 1e-9);
    EXPECT_NEAR(balloon->presentationTransform().a, 1.0, 1e-9);
    advanceTo(start, 0.35 + 1e-9);
    EXPECT_NEAR(balloon->presentationTransform().a, 0.95, 1e-9) << "the bounce";
    advanceTo(start, 0.55 + 1e-9);
    EXPECT_EQ(balloon->transform(), Transform::identity());

    const double hideStart = now();
    balloon->hide();
    advanceTo(hideStart, 0.249);
    EXPECT_FALSE(balloon->isHidden());
    advanceTo(hideStart, 0.25 + 1e-9);
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

// ---- Dot font

TEST_F(WidgetTest, DotFontLabelsAndTheChineseFallback) {
    auto coded = View::make<DotFontLabel>(Rect(0, 0, 100, 20), 12.0);
    EXPECT_EQ(coded->font()->name(), "GD-DOTFONT-DQ-TTF");
    EXPECT_DOUBLE_EQ(coded->font()->pointSize(), 12.0);

    for (const char* language : {"en", "ja"}) {
        LocalizedStrings::setPreferredLanguages({language, "zh-Hans"});
        auto loaded = DotFontLabel::loadedFromDescription(Rect(0, 0, 100, 20), 10.0);
        EXPECT_EQ(loaded->font()->name(), "GD-DOTFONT-DQ-TTF") << language;
        EXPECT_DOUBLE_EQ(loaded->font()->pointSize(), 10.0);
    }
    for (const char* language : {"zh", "zh-Hans", "zh-Hant", "zh_TW"}) {
        LocalizedStrings::setPreferredLanguages({language, "en"});
        auto loaded = DotFontLabel::loadedFromDescription(Rect(0, 0, 100, 20), 10.0);
        EXPECT_NE(loaded->font()->name(), "GD-DOTFONT-DQ-TTF") << language;
        EXPECT_DOUBLE_EQ(loaded->font()->pointSize(), 7.0) << language;
        auto made = View::make<DotFontLabel>(Rect(0, 0, 100, 20), 10.0);
        EXPECT_EQ(made->font()->name(), "GD-DOTFONT-DQ-TTF") << "made in code: always the dot font";
    }
}

}  // namespace
