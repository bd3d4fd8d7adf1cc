// The story scenes through their manager (the scenario scripts turn the opening's pages): the
// other scenes' pages, last-page texts, music and page views, missing pages, reuse while open.
#include "overlay_test_support.h"

#include "model/SavedStateKeys.h"
#include "platform/resources/LocalizedStrings.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

namespace overlaytests {
namespace {

class MangaTest : public OverlayTest {
protected:
    MangaViewManager& manager() { return *MangaViewManager::getInstance(); }
    MangaViewController& scene() { return *manager().mangaCtr(); }
    // The picture on screen, by file name ("" when the page is missing).
    std::string pageShown() {
        auto image = scene().storyImgView()->image();
        return image && !image->isEmpty() ? fileName(image->name()) : std::string();
    }
    bool labelsShown() { return shown("dungeonLabel") || shown("weaponLabel"); }
    void closeScene() {
        ASSERT_TRUE(tap("closeBtn"));
        advance(kShrink + 0.01);
        EXPECT_EQ(manager().mangaCtr(), nullptr);
    }
};

TEST_F(MangaTest, EachSceneHasItsPagesTextsMusicAndPageView) {
    struct Case { int32_t mode; bool animated; const char* suffix; uint32_t pages; bool texts; const char* pageView; };
    for (const Case& c : {Case{MangaViewController::ending1, true, "ed1_", 3, true, "/ENDING1"},
                          Case{MangaViewController::ending2, true, "ed2_", 2, false, "/ENDING2"},
                          Case{MangaViewController::complete, true, "comp", 1, false, "/COMP"},
                          Case{9, false, "op", 4, false, "/OPENING"}}) {
        SCOPED_TRACE(c.suffix);
        manager().showMangaWithMode(c.mode, c.animated);
        EXPECT_EQ(scene().view()->hasAnimations(), c.animated);
        EXPECT_EQ(analytics->pageViews().back(), c.pageView);
        EXPECT_EQ(lastMusic(), "bgm_1.aif");
        advance(kPopIn);
        EXPECT_EQ(pageShown(), "manga_" + std::string(c.suffix) + "1@2x.png");
        for (uint32_t page = 1; page < c.pages; ++page) {
            EXPECT_FALSE(labelsShown() || shown("closeBtn"));
            ASSERT_TRUE(tap("nextBtn"));
        }
        EXPECT_TRUE(shown("closeBtn") && !shown("nextBtn"));
        EXPECT_EQ(labelsShown(), c.texts) << "never on the first page, even of a one-page scene";
        closeScene();
        EXPECT_EQ(lastMusic(), "bgm_9.aif") << "the current dungeon's music comes back (dungeon 1)";
    }
    EXPECT_EQ(effects(), std::vector<std::string>(3 + 2 + 1 + 4, "tap.mp3"));
}

TEST_F(MangaTest, AfterTheFirstBossTheLastPageAnnouncesTheNewDungeonButNoWeaponsAndNoEmptyBar) {
    manager().showClearMangaWithDungeonId(1);
    EXPECT_TRUE(analytics->pageViews().empty());
    advance(kPopIn);
    ASSERT_TRUE(tap("nextBtn") && tap("nextBtn"));
    EXPECT_TRUE(shown("closeBtn") && shown("dungeonLabel") && !shown("weaponLabel"));
    EXPECT_EQ(scene().dungeonLabel()->text(), NSLocalizedString("MangaNewDungeon"));
    EXPECT_EQ(scene().weaponLabel()->text(), "");
    closeScene();
}

TEST_F(MangaTest, ASecondRequestWhileOpenReusesTheSceneKeepingThePageWhichStopsAtTheFifth) {
    gametest::store().setObject(Value(3), SavedStateKeys::currentDungeonId);
    manager().showMangaWithMode(MangaViewController::opening, false);
    auto first = manager().mangaCtr();
    ASSERT_TRUE(tap("nextBtn") && tap("nextBtn"));
    manager().showClearMangaWithDungeonId(3);
    EXPECT_EQ(manager().mangaCtr(), first);
    EXPECT_EQ(window->subviews().size(), 1u);
    EXPECT_EQ(pageShown(), "manga_stage3_3@2x.png");
    EXPECT_EQ(scene().weaponLabel()->text(), NSLocalizedString("MangaNewWeapons"));
    for (int i = 0; i < 4; ++i) first->pressNext();
    EXPECT_EQ(first->currentPageIndex(), 4u) << "the index stops at the fifth page";
    EXPECT_EQ(pageShown(), "") << "a missing page shows nothing";
    advance(kPopIn);
    closeScene();
    EXPECT_EQ(lastMusic(), "bgm_3.aif");
}

}  // namespace
}  // namespace overlaytests
