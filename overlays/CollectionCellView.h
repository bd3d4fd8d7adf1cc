#pragma once
// One monster of the collection's page (a "CollectionCellView" in the layout): a hunted monster
// shows its picture at a third of its size, its name, gold and hunt count, and the new mark
// until its detail has been seen; one never hunted is a black silhouette with "????" that
// cannot be pressed.
#include <memory>

#include "model/StaticRows.h"
#include "platform/ui/LayoutLoader.h"
#include "platform/ui/View.h"

class Button;
class Image;
class ImageView;
class Label;
class CollectionCellView;

class CollectionCellViewDelegate {
public:
    virtual ~CollectionCellViewDelegate() = default;
    virtual void cellPressed(CollectionCellView& cell) = 0;
};

class CollectionCellView : public View, public LayoutAware {
public:
    explicit CollectionCellView(const Rect& frame = {});

    void showCollectionWithMonsterInfo(const MonsterRow& monster);
    void pressCellBtn();

    // The monster's picture "m<id>.png" redrawn at the given share of its size (floored); empty
    // when the file is missing.
    static std::shared_ptr<Image> reducedMonsterImage(unsigned monsterId, double share);
    // Fits a picture larger than the view keeping its proportions, else centres it at its size.
    static void placeImage(ImageView& view, const std::shared_ptr<Image>& image);

    CollectionCellViewDelegate* delegate = nullptr;
    const MonsterRow& currentMonsterInfo() const { return currentMonsterInfo_; }
    std::shared_ptr<ImageView> itemImgView, blandnewIcon;
    std::shared_ptr<Label> idLabel, nameLabel, numLabel, goldLabel;
    std::shared_ptr<Button> cellBtn;

    void awakeFromLayout() override;

private:
    MonsterRow currentMonsterInfo_;
};
