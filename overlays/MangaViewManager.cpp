#include "overlays/MangaViewManager.h"

#include <mutex>

#include "model/DungeonManager.h"
#include "platform/sound/SoundEngine.h"

MangaViewManager::MangaViewManager() {
    manga_.setOnDidClose([] { SoundEngine::sharedEngine().playBackgroundMusic(DungeonManager::currentDungeonBGM()); });
}

MangaViewManager::~MangaViewManager() = default;

void MangaViewManager::showMangaWithMode(int32_t mode, bool animated) {
    MangaViewController& manga = manga_.present();
    manga.updateMode(mode);
    if (animated)
        manga.appearWithAnimationAllowInteraction(true);
    else
        manga.appearWithoutAnimation();
}

void MangaViewManager::showClearMangaWithDungeonId(unsigned dungeonId) {
    MangaViewController& manga = manga_.present();
    manga.updateStageClearModeWithDungeonId(dungeonId);
    manga.appearWithAnimationAllowInteraction(true);
}
