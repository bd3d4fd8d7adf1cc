// The story scenes through their manager (the scenario scripts turn the opening's pages): each
// scene's pages, last-page texts, music and page view, missing pages, and reuse while open.
#include "overlay_test_support.h"

#include "platform/resources/LocalizedStrings.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"

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
    bool lastPageShown() { return shown("closeBtn") && !shown("nextBtn"); }
    void closeScene() {
        ASSERT_TRUE(tap("closeBtn"));
        advance(kShrink + 0.01);
        EXPECT_EQ(manager().mangaCtr(), nullptr);
    }
};

TEST_F(MangaTest, EachSceneHasItsPagesTextsMusicAndPageView) {
    struct Case { int32_t mode; const char* suffix; uint32_t pages; bool texts; const char* pageView; };
    for (const Case& c : {Case{MangaViewController::opening, "op", 4, false, "/OPENING"},
                          Case{MangaViewController::ending1, "ed1_", 3, true, "/ENDING1"},
                          Case{MangaViewController::ending2, "ed2_", 2, false, "/ENDING2"},
                          Case{MangaViewController::complete, "comp", 1, false, "/COMP"}, Case{9, "op", 4, false, "/OPENING"}}) {
        SCOPED_TRACE(c.suffix);
        const bool animated = c.mode != MangaViewController::opening;
        manager().showMangaWithMode(c.mode, animated);
        EXPECT_EQ(scene().numPages(), c.pages);
        EXPECT_EQ(analytics->pageViews().back(), c.pageView);
        EXPECT_EQ(lastMusic(), "bgm_1.aif");
        EXPECT_EQ(scene().view()->hasAnimations(), animated);
        advance(kPopIn);
        EXPECT_EQ(pageShown(), "manga_" + std::string(c.suffix) + "1@2x.png");
        for (uint32_t page = 1; page < c.pages; ++page) {
            EXPECT_FALSE(labelsShown() || shown("closeBtn"));
            ASSERT_TRUE(tap("nextBtn"));
        }
        EXPECT_TRUE(lastPageShown());
        EXPECT_EQ(labelsShown(), c.texts) << "never on the first page, even of a one-page scene";
        ASSERT_TRUE(tap("closeBtn"));
        advance(kShrink / 2);
        EXPECT_TRUE(touchesOn()) << "the close leaves input on";
        advance(kShrink);
        EXPECT_EQ(manager().mangaCtr(), nullptr);
        EXPECT_EQ(lastMusic(), "bgm_9.aif") << "the current dungeon's music comes back (dungeon 1)";
    }
    EXPECT_EQ(analytics->pageViews().size(), 5u);
    EXPECT_EQ(effects(), std::vector<std::string>(4 + 3 + 2 + 1 + 4, "tap.mp3"));
}

TEST_F(MangaTest, AfterABossTheLastPageAnnouncesTheNewDungeonAndAfterTheFirstNoWeapons) {
    manager().showClearMangaWithDungeonId(1);
    EXPECT_TRUE(analytics->pageViews().empty());
    advance(kPopIn);
    EXPECT_EQ(scene().filenameAtCurrentPageIndex(), "manga_stage1_1@2x.png");
    EXPECT_EQ(pageShown(), "") << "dungeon 1's pages are missing; paging goes on";
    ASSERT_TRUE(tap("nextBtn"));
    ASSERT_TRUE(tap("nextBtn"));
    EXPECT_TRUE(lastPageShown() && shown("dungeonLabel") && shown("weaponLabel"));
    EXPECT_EQ(scene().dungeonLabel()->text(), NSLocalizedString("MangaNewDungeon"));
    EXPECT_EQ(scene().weaponLabel()->text(), "");
    closeScene();

    store().setObject(Value(3), SavedStateKeys::currentDungeonId);
    manager().showClearMangaWithDungeonId(3);
    advance(kPopIn);
    tap("nextBtn");
    tap("nextBtn");
    EXPECT_EQ(pageShown(), "manga_stage3_3@2x.png");
    EXPECT_EQ(scene().weaponLabel()->text(), NSLocalizedString("MangaNewWeapons"));
    closeScene();
    EXPECT_EQ(lastMusic(), "bgm_3.aif");
}

TEST_F(MangaTest, ASecondRequestWhileOpenReusesTheSceneWithoutResettingThePageWhichStopsAtTheFifth) {
    manager().showMangaWithMode(MangaViewController::opening, false);
    auto first = manager().mangaCtr();
    tap("nextBtn");
    tap("nextBtn");
    manager().showClearMangaWithDungeonId(3);
    EXPECT_EQ(manager().mangaCtr(), first);
    EXPECT_EQ(countInWindow(first->view()), 1);
    EXPECT_EQ(first->numPages(), 3u);
    EXPECT_EQ(first->currentPageIndex(), 2u);
    EXPECT_EQ(pageShown(), "manga_stage3_3@2x.png");
    advance(kPopIn);
    tap("nextBtn");
    EXPECT_EQ(first->currentPageIndex(), 3u);
    for (int i = 0; i < 3; ++i) first->pressNext();
    EXPECT_EQ(first->currentPageIndex(), 4u) << "the index stops at the fifth page";
    EXPECT_EQ(pageShown(), "");
    closeScene();
    manager().showMangaWithMode(MangaViewController::ending2, true);
    EXPECT_NE(manager().mangaCtr(), first);
    EXPECT_EQ(scene().currentPageIndex(), 0u) << "the next scene starts afresh";
}

}  // namespace
}  // namespace overlaytests
