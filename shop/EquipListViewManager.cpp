#include "shop/EquipListViewManager.h"

EquipListViewManager::EquipListViewManager() = default;
EquipListViewManager::~EquipListViewManager() = default;

void EquipListViewManager::showEquipView() {
    EquipListViewController& shop = equip_.present();
    shop.loadData();
    shop.appearWithAnimationAllowInteraction(false);
}
