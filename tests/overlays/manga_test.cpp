// The story scenes through their manager: each kind's pages, buttons and last-page texts,
// their music, sounds and page views, missing pages, reuse while open and a fresh scene after.
#include "overlay_test_support.h"

#include "platform/resources/LocalizedStrings.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "stage/NMAnimationCommon.h"

namespace overlaytests {
namespace {

constexpr double kPopIn = NMAnimationCommon::kMainStepDuration + 3 * NMAnimationCommon::kBounceStepDuration;
constexpr double kShrink = NMAnimationCommon::kMainStepDuration;

class MangaTest : public OverlayTest {
protected:
    MangaViewManager& manager() { return *MangaViewManager::getInstance(); }
    MangaViewController& scene() { return *manager().mangaCtr(); }
    // The picture on screen, by file name ("" when the page is empty).
    std::string pageShown() {
        auto image = scene().storyImgView()->image();
        return image && !image->isEmpty() ? fileName(image->name()) : std::string();
    }
    bool labelsShown() { return shown("dungeonLabel") || shown("weaponLabel"); }
};

TEST_F(MangaTest, TheOpeningPlaysFourPagesWithoutAnimationAndClosesWithInputOn) {
    manager().showMangaWithMode(MangaViewController::opening, false);
    ASSERT_NE(manager().mangaCtr(), nullptr);
    EXPECT_EQ(scene().view()->superview(), window.get());
    EXPECT_EQ(scene().currentSuffix(), "op");
    EXPECT_EQ(scene().numPages(), 4u);
    EXPECT_EQ(scene().currentPageIndex(), 0u);
    EXPECT_TRUE(scene().isAllowInteraction());
    EXPECT_EQ(music(), std::vector<std::string>{"bgm_1.aif"});
    EXPECT_EQ(analytics->pageViews(), std::vector<std::string>{"/OPENING"});
    // No animation: everything is in place at once.
    EXPECT_DOUBLE_EQ(scene().view()->presentationAlpha(), 1.0);
    EXPECT_FALSE(scene().view()->hasAnimations());
    EXPECT_EQ(pageShown(), "manga_op1@2x.png");

    for (int page = 2; page <= 4; ++page) {
        EXPECT_FALSE(shown("closeBtn")) << "page " << page - 1;
        EXPECT_TRUE(shown("nextBtn"));
        ASSERT_TRUE(tap("nextBtn"));
        EXPECT_EQ(pageShown(), "manga_op" + std::to_string(page) + "@2x.png");
        EXPECT_FALSE(labelsShown());
    }
    EXPECT_TRUE(shown("closeBtn"));
    EXPECT_FALSE(shown("nextBtn"));
    EXPECT_EQ(effects().size(), 3u);

    ASSERT_TRUE(tap("closeBtn"));
    EXPECT_EQ(effects(), std::vector<std::string>(4, "tap.mp3"));
    EXPECT_TRUE(touchesOn());  // opened without animation: the close leaves input on
    advance(kShrink / 2);
    EXPECT_TRUE(touchesOn());
    advance(kShrink);
    EXPECT_EQ(manager().mangaCtr(), nullptr);
    EXPECT_TRUE(window->subviews().empty());
    // The current dungeon's music comes back (dungeon 1).
    EXPECT_EQ(lastMusic(), "bgm_9.aif");
}

TEST_F(MangaTest, AfterTheFirstBossTheLastPageAnnouncesOnlyTheNewDungeon) {
    manager().showClearMangaWithDungeonId(1);
    EXPECT_EQ(scene().currentMode(), MangaViewController::stageClear);
    EXPECT_EQ(scene().currentSuffix(), "stage1_");
    EXPECT_EQ(scene().numPages(), 3u);
    EXPECT_EQ(scene().filenameAtCurrentPageIndex(), "manga_stage1_1@2x.png");
    EXPECT_TRUE(analytics->pageViews().empty());
    EXPECT_EQ(lastMusic(), "bgm_1.aif");
    // Animated, with input live.
    EXPECT_TRUE(touchesOn());
    advance(0.1);
    EXPECT_LT(scene().view()->presentationAlpha(), 1.0);
    advance(kPopIn);
    // Dungeon 1's pages are not drawn: the page stays empty and paging goes on.
    EXPECT_EQ(pageShown(), "");
    EXPECT_FALSE(labelsShown());
    ASSERT_TRUE(tap("nextBtn"));
    EXPECT_EQ(scene().currentPageIndex(), 1u);
    EXPECT_FALSE(labelsShown());
    ASSERT_TRUE(tap("nextBtn"));
    EXPECT_EQ(scene().currentPageIndex(), 2u);
    EXPECT_EQ(pageShown(), "");
    EXPECT_TRUE(shown("closeBtn"));
    EXPECT_FALSE(shown("nextBtn"));
    EXPECT_TRUE(shown("dungeonLabel"));
    EXPECT_TRUE(shown("weaponLabel"));
    EXPECT_EQ(scene().dungeonLabel()->text(), NSLocalizedString("MangaNewDungeon"));
    EXPECT_FALSE(scene().dungeonLabel()->text().empty());
    EXPECT_EQ(scene().weaponLabel()->text(), "");
}

TEST_F(MangaTest, AfterTheThirdBossBothTextsShowOnItsThirdPage) {
    store().setObject(Value(3), SavedStateKeys::currentDungeonId);
    manager().showClearMangaWithDungeonId(3);
    advance(kPopIn);
    EXPECT_EQ(pageShown(), "manga_stage3_1@2x.png");
    ASSERT_TRUE(tap("nextBtn"));
    EXPECT_EQ(pageShown(), "manga_stage3_2@2x.png");
    ASSERT_TRUE(tap("nextBtn"));
    EXPECT_EQ(pageShown(), "manga_stage3_3@2x.png");
    EXPECT_TRUE(shown("dungeonLabel"));
    EXPECT_TRUE(shown("weaponLabel"));
    EXPECT_EQ(scene().weaponLabel()->text(), NSLocalizedString("MangaNewWeapons"));
    ASSERT_TRUE(tap("closeBtn"));
    advance(kShrink + 0.01);
    EXPECT_EQ(manager().mangaCtr(), nullptr);
    EXPECT_EQ(lastMusic(), "bgm_3.aif");
    EXPECT_EQ(effects(), std::vector<std::string>(3, "tap.mp3"));
}

TEST_F(MangaTest, TheFirstEndingHasThreePagesAndBothTexts) {
    manager().showMangaWithMode(MangaViewController::ending1, true);
    EXPECT_EQ(scene().currentSuffix(), "ed1_");
    EXPECT_EQ(scene().numPages(), 3u);
    EXPECT_EQ(analytics->pageViews(), std::vector<std::string>{"/ENDING1"});
    advance(kPopIn);
    EXPECT_EQ(pageShown(), "manga_ed1_1@2x.png");
    EXPECT_FALSE(labelsShown());
    tap("nextBtn");
    tap("nextBtn");
    EXPECT_EQ(pageShown(), "");  // pages 2 and 3 are not drawn
    EXPECT_TRUE(shown("closeBtn"));
    EXPECT_EQ(scene().dungeonLabel()->text(), NSLocalizedString("MangaNewDungeon"));
    EXPECT_EQ(scene().weaponLabel()->text(), NSLocalizedString("MangaNewWeapons"));
    EXPECT_TRUE(shown("dungeonLabel"));
    EXPECT_TRUE(shown("weaponLabel"));
}

TEST_F(MangaTest, TheSecondEndingHasTwoPagesAndNoTexts) {
    manager().showMangaWithMode(MangaViewController::ending2, true);
    EXPECT_EQ(scene().currentSuffix(), "ed2_");
    EXPECT_EQ(scene().numPages(), 2u);
    EXPECT_EQ(analytics->pageViews(), std::vector<std::string>{"/ENDING2"});
    advance(kPopIn);
    EXPECT_FALSE(shown("closeBtn"));
    tap("nextBtn");
    EXPECT_TRUE(shown("closeBtn"));
    EXPECT_FALSE(shown("nextBtn"));
    EXPECT_FALSE(labelsShown());
}

TEST_F(MangaTest, TheCompletedCollectionIsOnePageWithCloseAtOnce) {
    manager().showMangaWithMode(MangaViewController::complete, true);
    EXPECT_EQ(scene().currentSuffix(), "comp");
    EXPECT_EQ(scene().numPages(), 1u);
    EXPECT_EQ(analytics->pageViews(), std::vector<std::string>{"/COMP"});
    EXPECT_EQ(pageShown(), "manga_comp1@2x.png");
    EXPECT_TRUE(shown("closeBtn"));
    EXPECT_FALSE(shown("nextBtn"));
    EXPECT_FALSE(labelsShown());
    advance(kPopIn);
    ASSERT_TRUE(tap("closeBtn"));
    advance(kShrink + 0.01);
    EXPECT_EQ(manager().mangaCtr(), nullptr);
}

TEST_F(MangaTest, AnUnknownModePlaysTheOpening) {
    manager().showMangaWithMode(9, true);
    EXPECT_EQ(scene().currentMode(), 9);
    EXPECT_EQ(scene().currentSuffix(), "op");
    EXPECT_EQ(scene().numPages(), 4u);
    EXPECT_EQ(analytics->pageViews(), std::vector<std::string>{"/OPENING"});
}

TEST_F(MangaTest, TheTextsNeverShowForTheOpening) {
    manager().showMangaWithMode(MangaViewController::opening, false);
    // Texts left from an earlier mode on the same controller stay hidden in the opening.
    scene().dungeonLabel()->setText("left over");
    for (int i = 0; i < 6; ++i) scene().pressNext();
    EXPECT_FALSE(labelsShown());
    // The page index stops at the fifth page.
    EXPECT_EQ(scene().currentPageIndex(), 4u);
    EXPECT_EQ(scene().filenameAtCurrentPageIndex(), "manga_op5@2x.png");
    EXPECT_EQ(pageShown(), "");
}

TEST_F(MangaTest, ASecondRequestWhileOpenReusesTheSceneWithoutResettingThePage) {
    manager().showMangaWithMode(MangaViewController::opening, false);
    auto first = manager().mangaCtr();
    tap("nextBtn");
    tap("nextBtn");
    EXPECT_EQ(first->currentPageIndex(), 2u);
    manager().showClearMangaWithDungeonId(3);
    EXPECT_EQ(manager().mangaCtr(), first);
    EXPECT_EQ(countInWindow(first->view().get()), 1u);
    EXPECT_EQ(first->currentSuffix(), "stage3_");
    EXPECT_EQ(first->numPages(), 3u);
    EXPECT_EQ(first->currentPageIndex(), 2u);
    EXPECT_EQ(pageShown(), "manga_stage3_3@2x.png");
    advance(kPopIn);
    tap("nextBtn");
    EXPECT_EQ(first->currentPageIndex(), 3u);
    EXPECT_TRUE(shown("closeBtn"));
    ASSERT_TRUE(tap("closeBtn"));
    advance(kShrink + 0.01);
    // The next scene starts afresh at its first page.
    manager().showMangaWithMode(MangaViewController::ending2, true);
    EXPECT_NE(manager().mangaCtr(), first);
    EXPECT_EQ(scene().currentPageIndex(), 0u);
    EXPECT_FALSE(shown("closeBtn"));
    EXPECT_TRUE(shown("nextBtn"));
}

TEST_F(MangaTest, TheSceneOutlivesItsOwnCloseUntilTheNextPass) {
    manager().showMangaWithMode(MangaViewController::complete, true);
    std::weak_ptr<MangaViewController> watch = manager().mangaCtr();
    advance(kPopIn);
    tap("closeBtn");
    advance(kShrink + 0.001);
    EXPECT_EQ(manager().mangaCtr(), nullptr);
    settle();
    advance(0.01);
    EXPECT_TRUE(watch.expired());
}

TEST_F(MangaTest, OnATallScreenTheSceneLiesBelowTheAdvertisingBand) {
    TearDown();
    setUpWorld(568);
    manager().showMangaWithMode(MangaViewController::complete, false);
    EXPECT_EQ(scene().view()->frame(), Rect(0, 88, 320, 480));
    ASSERT_TRUE(tap("closeBtn"));
    advance(kShrink + 0.01);
    EXPECT_EQ(manager().mangaCtr(), nullptr);
}

}  // namespace
}  // namespace overlaytests
