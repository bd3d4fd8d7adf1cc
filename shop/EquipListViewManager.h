#pragma once
// Owner of the shop over the key window (opened from the main menu's first button).
//
//   EquipListViewManager::getInstance()->showEquipView();
#include <memory>

#include "overlays/OverlaySlot.h"
#include "platform/core/RunLoop.h"
#include "platform/core/Singleton.h"
#include "shop/EquipListViewController.h"

class EquipListViewManager : public Object, public Singleton<EquipListViewManager> {
public:
    ~EquipListViewManager() override;
    void initFile() {}

    // Opens the shop with the list loaded afresh (again: the same screen reloads and appears).
    void showEquipView();
    const std::shared_ptr<EquipListViewController>& equipCtr() const { return equip_.screen(); }

private:
    friend class Singleton<EquipListViewManager>;
    EquipListViewManager();
    OverlaySlot<EquipListViewController> equip_;
};
