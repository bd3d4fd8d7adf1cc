#pragma once
// Owner of the monster collection over the key window (opened from the main menu).
//
//   CollectionViewManager::getInstance()->showCollectionView();
#include <memory>

#include "overlays/CollectionViewController.h"
#include "overlays/OverlaySlot.h"
#include "platform/core/RunLoop.h"
#include "platform/core/Singleton.h"

class CollectionViewManager : public Object, public Singleton<CollectionViewManager> {
public:
    ~CollectionViewManager() override;
    void initFile() {}

    // Opens the monster collection at the current dungeon's page (again: the same screen shows
    // that page and appears again).
    void showCollectionView();
    // Takes the collection away at once, without animation.
    void closeCollerctionView();
    const std::shared_ptr<CollectionViewController>& collectionCtr() const { return collection_.screen(); }

private:
    friend class Singleton<CollectionViewManager>;
    CollectionViewManager();
    OverlaySlot<CollectionViewController> collection_;
};
