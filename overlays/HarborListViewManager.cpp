#include "overlays/HarborListViewManager.h"

HarborListViewManager::HarborListViewManager() = default;
HarborListViewManager::~HarborListViewManager() = default;

// The screen itself comes with its own change; until then the menu button opens nothing.
void HarborListViewManager::showHarborView() {}
