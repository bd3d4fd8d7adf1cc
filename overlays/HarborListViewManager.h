#pragma once
// Owner of the map list over the key window (opened from the main menu).
//
//   HarborListViewManager::getInstance()->showHarborView();
#include "platform/core/RunLoop.h"
#include "platform/core/Singleton.h"

class HarborListViewManager : public Object, public Singleton<HarborListViewManager> {
public:
    ~HarborListViewManager() override;
    void initFile() {}

    // Opens the map list (again: the same screen reloads and appears again).
    void showHarborView();

private:
    friend class Singleton<HarborListViewManager>;
    HarborListViewManager();
};
