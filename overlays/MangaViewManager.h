#pragma once
// Owner of the story scene on screen. Each scene gets a fresh controller over the key window;
// when it has closed the manager drops it and the current dungeon's music comes back.
//
//   MangaViewManager::getInstance()->showMangaWithMode(MangaViewController::opening, false);
//   MangaViewManager::getInstance()->showClearMangaWithDungeonId(3);
#include <cstdint>
#include <memory>

#include "overlays/MangaViewController.h"
#include "overlays/OverlaySlot.h"
#include "platform/core/RunLoop.h"
#include "platform/core/Singleton.h"

class MangaViewManager : public Object, public Singleton<MangaViewManager> {
public:
    ~MangaViewManager() override;

    void initFile() {}

    void showMangaWithMode(int32_t mode, bool animated);
    void showClearMangaWithDungeonId(unsigned dungeonId);

    const std::shared_ptr<MangaViewController>& mangaCtr() const { return manga_.screen(); }

private:
    friend class Singleton<MangaViewManager>;
    MangaViewManager();
    OverlaySlot<MangaViewController> manga_;
};
