#pragma once
// Owner of the map list over the key window (opened from the main menu).
//
//   HarborListViewManager::getInstance()->showHarborView();
#include <memory>

#include "overlays/HarborListViewController.h"
#include "overlays/OverlaySlot.h"
#include "platform/core/RunLoop.h"
#include "platform/core/Singleton.h"

class HarborListViewManager : public Object, public Singleton<HarborListViewManager> {
public:
    ~HarborListViewManager() override;
    void initFile() {}

    // Opens the map list (again: the same screen appears again).
    void showHarborView();
    const std::shared_ptr<HarborListViewController>& harborCtr() const { return harbor_.screen(); }

private:
    friend class Singleton<HarborListViewManager>;
    HarborListViewManager();
    OverlaySlot<HarborListViewController> harbor_;
};
