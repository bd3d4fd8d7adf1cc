#include "overlays/CollectionViewManager.h"

#include "platform/ui/View.h"

CollectionViewManager::CollectionViewManager() = default;
CollectionViewManager::~CollectionViewManager() = default;

void CollectionViewManager::showCollectionView() {
    auto& collection = collection_.present();
    Rect frame = collection.view()->frame();
    frame.origin = Point(0, 0);
    collection.view()->setFrame(frame);
    collection.showMonstersAtCurrentDungeon();
    collection.appearWithAnimationAllowInteraction(false);
}

void CollectionViewManager::closeCollerctionView() { collection_.drop(); }
