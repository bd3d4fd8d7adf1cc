#include "overlays/MangaViewManager.h"

#include <mutex>

#include "model/DungeonManager.h"
#include "platform/sound/SoundEngine.h"
#include "platform/ui/Window.h"

namespace {
std::mutex instanceMutex;
MangaViewManager* instance = nullptr;
}  // namespace

MangaViewManager* MangaViewManager::getInstance() {
    std::lock_guard lock(instanceMutex);
    if (!instance) {
        instance = new MangaViewManager();
        instance->initFile();
    }
    return instance;
}

void MangaViewManager::resetInstanceForTesting() {
    std::lock_guard lock(instanceMutex);
    delete instance;
    instance = nullptr;
}

MangaViewManager::~MangaViewManager() {
    if (mangaCtr_) mangaCtr_->setDelegate(nullptr);
}

MangaViewController& MangaViewManager::prepare() {
    if (!mangaCtr_) mangaCtr_ = std::make_shared<MangaViewController>();
    mangaCtr_->setDelegate(this);
    if (!mangaCtr_->view()->superview()) {
        if (Window* window = Window::keyWindow()) mangaCtr_->addViewTo(*window);
    }
    return *mangaCtr_;
}

void MangaViewManager::showMangaWithMode(int32_t mode, bool animated) {
    MangaViewController& manga = prepare();
    manga.updateMode(mode);
    if (animated)
        manga.appearWithAnimationAllowInteraction(true);
    else
        manga.appearWithoutAnimation();
}

void MangaViewManager::showClearMangaWithDungeonId(unsigned dungeonId) {
    MangaViewController& manga = prepare();
    manga.updateStageClearModeWithDungeonId(dungeonId);
    manga.appearWithAnimationAllowInteraction(true);
}

void MangaViewManager::overlayDidClose(OverlayViewController& overlay) {
    if (&overlay != mangaCtr_.get()) return;
    mangaCtr_->setDelegate(nullptr);
    mangaCtr_.reset();
    SoundEngine::sharedEngine().playBackgroundMusic(DungeonManager::currentDungeonBGM());
}
