#pragma once
// The story scenes: a comic strip shown one page at a time, paged with the next button and
// closed with the close button, which shows on the last page. Layout "MangaView".
//
// Scenes (currentMode):  0 opening ("op", 4 pages)          1 boss of dungeon n beaten ("stage<n>_", 3)
//                        2 first ending ("ed1_", 3)           3 second ending ("ed2_", 2)
//                        4 collection complete ("comp", 1)
// Page pictures are "manga_<suffix><page>@2x.png", pages from 1. A missing page shows nothing
// and paging goes on. After a boss and at the first ending the last page also shows the texts
// "MangaNewDungeon" and "MangaNewWeapons".
#include <cstdint>
#include <memory>
#include <string>

#include "overlays/OverlayViewController.h"

class Button;
class ImageView;
class Label;

class MangaViewController : public OverlayViewController {
public:
    enum Mode : int32_t { opening = 0, stageClear = 1, ending1 = 2, ending2 = 3, complete = 4 };

    MangaViewController();

    // Sets the scene (unknown modes play the opening); reports its page view.
    void updateMode(int32_t mode);
    // The scene after the boss of dungeon n is beaten for the first time.
    void updateStageClearModeWithDungeonId(unsigned dungeonId);
    // "manga_<suffix><page index + 1>@2x.png".
    std::string filenameAtCurrentPageIndex() const;
    // Both texts hidden, the current page shown; a one-page scene shows close at once.
    void showFirstPage();
    // The first page, the pop-in, then the story music.
    void appearWithAnimationAllowInteraction(bool allowInteraction) override;
    // The first page and the story music, without animation; closing keeps input on.
    void appearWithoutAnimation();
    // Effect "tap.mp3" and the next page; the last page shows close (and the texts).
    void pressNext();
    // Effect "tap.mp3", then the shrink-out and close.
    void pressClose() override;

    // ---- Fields
    uint32_t currentPageIndex() const { return currentPageIndex_; }
    uint32_t numPages() const { return numPages_; }
    int32_t currentMode() const { return currentMode_; }
    void setCurrentMode(int32_t mode) { currentMode_ = mode; }
    const std::string& currentSuffix() const { return currentSuffix_; }
    void setCurrentSuffix(std::string suffix) { currentSuffix_ = std::move(suffix); }

    // ---- Outlets (views named so in the layout)
    const std::shared_ptr<ImageView>& storyImgView() { return (void)view(), storyImgView_; }
    const std::shared_ptr<Button>& closeBtn() { return (void)view(), closeBtn_; }
    const std::shared_ptr<Button>& nextBtn() { return (void)view(), nextBtn_; }
    const std::shared_ptr<Label>& dungeonLabel() { return (void)view(), dungeonLabel_; }
    const std::shared_ptr<Label>& weaponLabel() { return (void)view(), weaponLabel_; }

    static constexpr const char* kStoryMusic = "bgm_1.aif";

protected:
    void bindOutlets() override;
    void viewDidLoad() override;

private:
    void showCurrentPage();
    void setLabelsHidden(bool hidden);
    void startStoryMusic();

    uint32_t currentPageIndex_ = 0;
    uint32_t numPages_ = 0;
    int32_t currentMode_ = opening;
    std::shared_ptr<ImageView> storyImgView_;
    std::shared_ptr<Button> closeBtn_;
    std::shared_ptr<Button> nextBtn_;
    std::string currentSuffix_;
    std::shared_ptr<Label> dungeonLabel_;
    std::shared_ptr<Label> weaponLabel_;
};
