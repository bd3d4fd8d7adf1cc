#pragma once
// A monster's page in the collection (layout "CollectionDetailView"): its picture at half its
// size, number, name, description and hunt count. Opening it marks the monster as seen. Save
// writes the picture into the desktop's pictures folder; the player is told whether it worked.
#include <memory>

#include "overlays/OverlayViewController.h"
#include "model/StaticRows.h"

class ImageView;
class Label;

class CollectionDetailViewController : public OverlayViewController {
public:
    CollectionDetailViewController();

    void showCollectionWithMonsterInfo(const MonsterRow& monster);
    // The picture shown goes to the pictures folder behind "Saving..."; then "SavedPicture", or
    // "SavePictureFailed" when nothing could be written.
    void pressSave();
    // Effect "tap_fail.wav", then the shrink-out and close.
    void pressClose() override;

    // The file the last save wrote ("" when it failed or none was made).
    const std::string& lastSavedPath() const { return lastSavedPath_; }

    std::shared_ptr<ImageView> itemImgView;
    std::shared_ptr<Label> idLabel, nameLabel, detailLabel, numLabel;

protected:
    void bindOutlets() override;

private:
    void savingImageIsFinished(bool saved);
    unsigned monsterId_ = 0;
    std::string lastSavedPath_;
};
