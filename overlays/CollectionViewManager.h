#pragma once
// Owner of the monster collection over the key window (opened from the main menu).
//
//   CollectionViewManager::getInstance()->showCollectionView();
#include "platform/core/RunLoop.h"
#include "platform/core/Singleton.h"

class CollectionViewManager : public Object, public Singleton<CollectionViewManager> {
public:
    ~CollectionViewManager() override;
    void initFile() {}

    // Opens the monster collection (again: the same screen reloads and appears again).
    void showCollectionView();
    // Takes the collection away at once, without animation.
    void closeCollerctionView();

private:
    friend class Singleton<CollectionViewManager>;
    CollectionViewManager();
};
