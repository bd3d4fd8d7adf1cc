#include "overlays/MangaViewController.h"

#include "platform/resources/Format.h"
#include "platform/resources/LocalizedStrings.h"
#include "platform/resources/ResourceBundle.h"
#include "platform/services/Analytics.h"
#include "platform/sound/SoundEngine.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

namespace {
// The page index never passes the fifth page.
constexpr uint32_t kLastPageIndex = 4;

void reportPage(const std::string& name) { Analytics::shared()->trackPageView(stringWithFormat("/%@", {Value(name)})); }
}  // namespace

MangaViewController::MangaViewController() : OverlayViewController("MangaView") {}

void MangaViewController::bindOutlets() {
    OverlayViewController::bindOutlets();
    bind(storyImgView_, "storyImgView");
    bind(closeBtn_, "closeBtn");
    bind(nextBtn_, "nextBtn");
    bind(dungeonLabel_, "dungeonLabel");
    bind(weaponLabel_, "weaponLabel");
    bindAction("pressNext", [this] { pressNext(); });
    bindAction("pressClose", [this] { pressClose(); });
}

void MangaViewController::viewDidLoad() {
    moveDownOnTallScreen();
    closeBtn_->setHidden(true);
    currentPageIndex_ = 0;
    // Long texts shrink to their width.
    for (const auto& label : {dungeonLabel_, weaponLabel_}) {
        label->setNumberOfLines(1);
        label->setAdjustsFontSizeToFitWidth(true);
    }
}

void MangaViewController::updateMode(int32_t mode) {
    currentMode_ = mode;
    switch (mode) {
        case ending1:
            currentSuffix_ = "ed1_";
            numPages_ = 3;
            dungeonLabel()->setText(NSLocalizedString("MangaNewDungeon"));
            weaponLabel()->setText(NSLocalizedString("MangaNewWeapons"));
            reportPage("ENDING1");
            break;
        case ending2:
            currentSuffix_ = "ed2_";
            numPages_ = 2;
            reportPage("ENDING2");
            break;
        case complete:
            currentSuffix_ = "comp";
            numPages_ = 1;
            reportPage("COMP");
            break;
        default:
            // Mode 1 is set through updateStageClearModeWithDungeonId; any other value opens.
            currentSuffix_ = "op";
            numPages_ = 4;
            reportPage("OPENING");
            break;
    }
}

void MangaViewController::updateStageClearModeWithDungeonId(unsigned dungeonId) {
    currentMode_ = stageClear;
    currentSuffix_ = stringWithFormat("stage%u_", {Value(dungeonId)});
    numPages_ = 3;
    dungeonLabel()->setText(NSLocalizedString("MangaNewDungeon"));
    // The first dungeon's boss brings no new equipment.
    weaponLabel()->setText(dungeonId == 1 ? std::string() : NSLocalizedString("MangaNewWeapons"));
}

std::string MangaViewController::filenameAtCurrentPageIndex() const {
    return stringWithFormat("manga_%@%u@2x.png", {Value(currentSuffix_), Value(currentPageIndex_ + 1)});
}

void MangaViewController::showCurrentPage() {
    const std::string name = filenameAtCurrentPageIndex();
    storyImgView()->setImage(ResourceBundle::mainBundle().imageExists(name) ? Image::named(name) : nullptr);
}

void MangaViewController::setLabelsHidden(bool hidden) {
    // A label without text would show its dark bar alone.
    dungeonLabel()->setHidden(hidden || dungeonLabel()->text().empty());
    weaponLabel()->setHidden(hidden || weaponLabel()->text().empty());
}

void MangaViewController::showFirstPage() {
    setLabelsHidden(true);
    showCurrentPage();
    if (numPages_ < 2) {
        closeBtn()->setHidden(false);
        nextBtn()->setHidden(true);
    }
}

void MangaViewController::startStoryMusic() { SoundEngine::sharedEngine().playBackgroundMusic(kStoryMusic); }

void MangaViewController::appearWithAnimationAllowInteraction(bool allowInteraction) {
    showFirstPage();
    OverlayViewController::appearWithAnimationAllowInteraction(allowInteraction);
    startStoryMusic();
}

void MangaViewController::appearWithoutAnimation() {
    showFirstPage();
    beginAppearance(true);
    startStoryMusic();
}

void MangaViewController::pressNext() {
    SoundEngine::sharedEngine().playEffect("tap.mp3");
    setLabelsHidden(true);
    if (currentPageIndex_ < kLastPageIndex) {
        ++currentPageIndex_;
        showCurrentPage();
    }
    if (currentPageIndex_ + 1 >= numPages_) {
        closeBtn()->setHidden(false);
        nextBtn()->setHidden(true);
        if (currentMode_ == stageClear || currentMode_ == ending1) setLabelsHidden(false);
    }
}

void MangaViewController::pressClose() {
    SoundEngine::sharedEngine().playEffect("tap.mp3");
    OverlayViewController::pressClose();
}
