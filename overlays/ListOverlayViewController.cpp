#include "overlays/ListOverlayViewController.h"

#include "model/DungeonManager.h"
#include "platform/sound/SoundEngine.h"
#include "platform/ui/Screen.h"
#include "stage/NMAnimationCommon.h"

namespace {
constexpr double kListCentreX = 160;
constexpr double kStartCentreY = 695;
constexpr double kTallListCentreY = 303;
constexpr double kListCentreY = 215;
constexpr double kTallScreenHeight = 568;
}  // namespace

ListOverlayViewController::ListOverlayViewController(std::string layoutName, std::string music)
    : OverlayViewController(std::move(layoutName)), music_(std::move(music)) {}

Point ListOverlayViewController::listPosition() {
    const bool tall = Screen::mainScreen().bounds().height() == kTallScreenHeight;
    return Point(kListCentreX, tall ? kTallListCentreY : kListCentreY);
}

void ListOverlayViewController::appearWithAnimationAllowInteraction(bool allowInteraction) {
    beginAppearance(allowInteraction);
    view()->setCenter(Point(kListCentreX, kStartCentreY));
    std::weak_ptr<void> alive = lifetime();
    NMAnimationCommon::animateView(*view(), listPosition(), NMAnimationCommon::kSlideInFromAbove, allowInteraction, [this, alive] {
        if (!alive.expired()) SoundEngine::sharedEngine().playBackgroundMusic(music_);
    });
}

void ListOverlayViewController::pressClose() {
    SoundEngine::sharedEngine().stopBackgroundMusic();
    SoundEngine::sharedEngine().playEffect("tap.mp3");
    std::weak_ptr<void> alive = lifetime();
    NMAnimationCommon::animateView(*view(), listPosition(), NMAnimationCommon::kSlideOutUpwards, false, [this, alive] {
        SoundEngine::sharedEngine().playBackgroundMusic(DungeonManager::currentDungeonBGM());
        if (!alive.expired()) close();
    });
}
