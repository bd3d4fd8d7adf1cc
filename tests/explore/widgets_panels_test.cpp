// The equipment strip (modes, icon places, events), the remaining-time panel (time texts, show
// and hide with the suspend button), the speech balloon and the dot-font label.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "explore/BalloonView.h"
#include "explore/DotFontLabel.h"
#include "explore/EquipStatusView.h"
#include "explore/ExploreStatusView.h"
#include "explore/NMCommon.h"
#include "model/EquipManager.h"
#include "model/LeftTimeManager.h"
#include "model/SavedStateKeys.h"
#include "widgets_support.h"

namespace {

using widgettest::store;
using widgettest::WidgetTest;

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
    widgettest::useBundle(widgettest::sixteenBundle().string());
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
    EXPECT_EQ(EquipManager::equipmentsInStoreOfType(0).arrayValue().size(), 18u);
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

using ExploreStatusTest = WidgetTest;

TEST_F(ExploreStatusTest, ShortTimesBelowAnHourTheShowGrowsInOnceTheButtonFollowsAndHideShrinksAway) {
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
