#include "overlays/CollectionViewManager.h"

CollectionViewManager::CollectionViewManager() = default;
CollectionViewManager::~CollectionViewManager() = default;

// The screen itself comes with its own change; until then the menu button opens nothing.
void CollectionViewManager::showCollectionView() {}
void CollectionViewManager::closeCollerctionView() {}
