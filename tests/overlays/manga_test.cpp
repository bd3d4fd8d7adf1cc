// The story scenes through their manager: each kind's pages, buttons and last-page texts,
// their music, sounds and page views, missing pages, Esc, reuse while open and a fresh scene
// after.
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
    // The picture on screen, by file name ("" when the page is empty).
    std::string pageShown() {
        auto image = scene().storyImgView()->image();
        return image && !image->isEmpty() ? fileName(image->name()) : std::string();
    }
    bool labelsShown() { return shown("dungeonLabel") || shown("weaponLabel"); }
    bool lastPageShown() { return shown("closeBtn") && !shown("nextBtn"); }
};

TEST_F(MangaTest, TheOpeningPlaysFourPagesWithoutAnimationAndClosesWithInputOn) {
    manager().showMangaWithMode(MangaViewController::opening, false);
    EXPECT_EQ(scene().view()->superview(), window.get());
    EXPECT_EQ(music(), std::vector<std::string>{"bgm_1.aif"});
    EXPECT_EQ(analytics->pageViews(), std::vector<std::string>{"/OPENING"});
    EXPECT_FALSE(scene().view()->hasAnimations()) << "everything in place at once";
    EXPECT_EQ(pageShown(), "manga_op1@2x.png");
    for (int page = 2; page <= 4; ++page) {
        EXPECT_FALSE(shown("closeBtn")) << "page " << page - 1;
        ASSERT_TRUE(tap("nextBtn"));
        EXPECT_EQ(pageShown(), "manga_op" + std::to_string(page) + "@2x.png");
        EXPECT_FALSE(labelsShown());
    }
    EXPECT_TRUE(lastPageShown());
    ASSERT_TRUE(tap("closeBtn"));
    EXPECT_EQ(effects(), std::vector<std::string>(4, "tap.mp3"));
    advance(kShrink / 2);
    EXPECT_TRUE(touchesOn()) << "opened without animation: the close leaves input on";
    advance(kShrink);
    EXPECT_EQ(manager().mangaCtr(), nullptr);
    EXPECT_TRUE(window->subviews().empty());
    EXPECT_EQ(lastMusic(), "bgm_9.aif") << "the current dungeon's music comes back (dungeon 1)";
}

TEST_F(MangaTest, AfterABossTheLastPageAnnouncesTheNewDungeonAndAfterTheFirstNoWeapons) {
    manager().showClearMangaWithDungeonId(1);
    EXPECT_EQ(scene().currentMode(), MangaViewController::stageClear);
    EXPECT_EQ(scene().filenameAtCurrentPageIndex(), "manga_stage1_1@2x.png");
    EXPECT_TRUE(analytics->pageViews().empty());
    EXPECT_EQ(lastMusic(), "bgm_1.aif");
    advance(0.1);
    EXPECT_LT(scene().view()->presentationAlpha(), 1.0) << "animated, with input live";
    EXPECT_TRUE(touchesOn());
    advance(kPopIn);
    EXPECT_EQ(pageShown(), "") << "dungeon 1's pages are not drawn; paging goes on";
    ASSERT_TRUE(tap("nextBtn"));
    EXPECT_FALSE(labelsShown());
    ASSERT_TRUE(tap("nextBtn"));
    EXPECT_TRUE(lastPageShown());
    EXPECT_TRUE(shown("dungeonLabel") && shown("weaponLabel"));
    EXPECT_EQ(scene().dungeonLabel()->text(), NSLocalizedString("MangaNewDungeon"));
    EXPECT_EQ(scene().weaponLabel()->text(), "");
    ASSERT_TRUE(tap("closeBtn"));
    advance(kShrink + 0.01);

    store().setObject(Value(3), SavedStateKeys::currentDungeonId);
    manager().showClearMangaWithDungeonId(3);
    advance(kPopIn);
    tap("nextBtn");
    tap("nextBtn");
    EXPECT_EQ(pageShown(), "manga_stage3_3@2x.png");
    EXPECT_EQ(scene().weaponLabel()->text(), NSLocalizedString("MangaNewWeapons"));
    EXPECT_TRUE(shown("weaponLabel"));
    ASSERT_TRUE(tap("closeBtn"));
    advance(kShrink + 0.01);
    EXPECT_EQ(lastMusic(), "bgm_3.aif");
}

TEST_F(MangaTest, EachOtherSceneHasItsPagesTextsAndPageView) {
    struct Case {
        int32_t mode;
        const char* suffix;
        uint32_t pages;
        bool texts;
        const char* pageView;
    };
    for (const Case& c : {Case{MangaViewController::ending1, "ed1_", 3, true, "/ENDING1"},
                          Case{MangaViewController::ending2, "ed2_", 2, false, "/ENDING2"},
                          Case{MangaViewController::complete, "comp", 1, false, "/COMP"},
                          Case{9, "op", 4, false, "/OPENING"}}) {
        SCOPED_TRACE(c.suffix);
        const size_t views = analytics->pageViews().size();
        manager().showMangaWithMode(c.mode, true);
        EXPECT_EQ(scene().currentMode(), c.mode);
        EXPECT_EQ(scene().currentSuffix(), c.suffix);
        EXPECT_EQ(scene().numPages(), c.pages);
        ASSERT_EQ(analytics->pageViews().size(), views + 1);
        EXPECT_EQ(analytics->pageViews().back(), c.pageView);
        advance(kPopIn);
        EXPECT_EQ(pageShown(), "manga_" + std::string(c.suffix) + "1@2x.png");
        // The texts never show on the first page, even for a one-page scene.
        for (uint32_t page = 1; page < c.pages; ++page) {
            EXPECT_FALSE(labelsShown());
            EXPECT_FALSE(shown("closeBtn"));
            ASSERT_TRUE(tap("nextBtn"));
        }
        EXPECT_TRUE(lastPageShown());
        EXPECT_EQ(labelsShown(), c.texts);
        ASSERT_TRUE(tap("closeBtn"));
        advance(kShrink + 0.01);
        EXPECT_EQ(manager().mangaCtr(), nullptr);
    }
}

TEST_F(MangaTest, ThePageIndexStopsAtTheFifthPageAndTheOpeningNeverShowsTexts) {
    manager().showMangaWithMode(MangaViewController::opening, false);
    scene().dungeonLabel()->setText("left over");
    for (int i = 0; i < 6; ++i) scene().pressNext();
    EXPECT_FALSE(labelsShown());
    EXPECT_EQ(scene().currentPageIndex(), 4u);
    EXPECT_EQ(scene().filenameAtCurrentPageIndex(), "manga_op5@2x.png");
    EXPECT_EQ(pageShown(), "");
}

TEST_F(MangaTest, EscClosesTheSceneOnlyOnceItsCloseButtonShows) {
    manager().showMangaWithMode(MangaViewController::ending2, true);
    advance(kPopIn);
    EXPECT_FALSE(window->handleEscapeKey());
    EXPECT_EQ(scene().currentPageIndex(), 0u);
    tap("nextBtn");
    EXPECT_TRUE(window->handleEscapeKey());
    EXPECT_EQ(effects(), std::vector<std::string>(2, "tap.mp3"));
    advance(kShrink + 0.01);
    EXPECT_EQ(manager().mangaCtr(), nullptr);
    EXPECT_FALSE(window->handleEscapeKey());
}

TEST_F(MangaTest, ASecondRequestWhileOpenReusesTheSceneWithoutResettingThePage) {
    manager().showMangaWithMode(MangaViewController::opening, false);
    auto first = manager().mangaCtr();
    tap("nextBtn");
    tap("nextBtn");
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
    ASSERT_TRUE(tap("closeBtn"));
    advance(kShrink + 0.01);
    // The next scene starts afresh at its first page; the old one is gone after the next pass.
    std::weak_ptr<MangaViewController> watch = first;
    first.reset();
    manager().showMangaWithMode(MangaViewController::ending2, true);
    EXPECT_EQ(scene().currentPageIndex(), 0u);
    EXPECT_FALSE(shown("closeBtn"));
    settle();
    advance(0.01);
    EXPECT_TRUE(watch.expired());
}

}  // namespace
}  // namespace overlaytests
