#include "overlays/HarborListViewManager.h"

HarborListViewManager::HarborListViewManager() = default;
HarborListViewManager::~HarborListViewManager() = default;

void HarborListViewManager::showHarborView() { harbor_.present().appearWithAnimationAllowInteraction(false); }
