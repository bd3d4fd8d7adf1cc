#include "overlays/CollectionCellView.h"

#include <cmath>

#include "explore/NMCommon.h"
#include "model/MonsterManager.h"
#include "platform/resources/Format.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "stage/ByteImage.h"

namespace {
constexpr double kCellShare = 0.33;
}

CollectionCellView::CollectionCellView(const Rect& frame) : View(frame) {}

void CollectionCellView::awakeFromLayout() {
    itemImgView = LayoutLoader::outlet<ImageView>(*this, "itemImgView");
    blandnewIcon = LayoutLoader::outlet<ImageView>(*this, "blandnewIcon");
    idLabel = LayoutLoader::outlet<Label>(*this, "idLabel");
    nameLabel = LayoutLoader::outlet<Label>(*this, "nameLabel");
    numLabel = LayoutLoader::outlet<Label>(*this, "numLabel");
    goldLabel = LayoutLoader::outlet<Label>(*this, "goldLabel");
    cellBtn = LayoutLoader::outlet<Button>(*this, "cellBtn");
    cellBtn->setAction([this] { pressCellBtn(); });
    for (const auto& label : {idLabel, nameLabel, numLabel, goldLabel}) {
        label->setNumberOfLines(1);
        label->setAdjustsFontSizeToFitWidth(true);
    }
}

std::shared_ptr<Image> CollectionCellView::reducedMonsterImage(unsigned monsterId, double share) {
    const std::string name = stringWithFormat("m%u.png", {Value(monsterId)});
    if (!Image::exists(name)) return nullptr;
    const auto picture = Image::named(name);
    if (picture->isEmpty()) return nullptr;
    const Size size(std::floor(picture->pixelWidth() * share), std::floor(picture->pixelHeight() * share));
    auto bytes = ATByteImage::initWithSize(size);
    bytes->context().drawImage(*picture, Rect(0, 0, size.width, size.height));
    return bytes->extractImage(picture->scale());
}

void CollectionCellView::placeImage(ImageView& view, const std::shared_ptr<Image>& image) {
    view.setImage(image);
    const bool larger = image && (image->size().width > view.bounds().width() || image->size().height > view.bounds().height());
    view.setContentMode(larger ? ContentMode::scaleAspectFit : ContentMode::center);
}

void CollectionCellView::showCollectionWithMonsterInfo(const MonsterRow& monster) {
    currentMonsterInfo_ = monster;
    blandnewIcon->setHidden(true);
    const unsigned id = monster.id;
    auto picture = reducedMonsterImage(id, kCellShare);
    auto* monsters = MonsterManager::getInstance();
    if (monsters->huntedMonsterWithId(id)) {
        placeImage(*itemImgView, picture);
        nameLabel->setText(monster.name);
        goldLabel->setText(stringWithFormat("%u GOLD", {Value(monster.gold)}));
        cellBtn->setEnabled(true);
        blandnewIcon->setHidden(monsters->viewedWithId(id));
    } else {
        placeImage(*itemImgView, picture ? ImageByteOperations::imageFilledBlack(*picture) : nullptr);
        nameLabel->setText("????");
        goldLabel->setText("????");
        cellBtn->setEnabled(false);
    }
    idLabel->setText("No." + NMCommon::stringFromTimer(id));
    numLabel->setText(stringWithFormat("x%u", {Value(monsters->numHuntedMonsterWithId(id))}));
}

void CollectionCellView::pressCellBtn() {
    if (delegate) delegate->cellPressed(*this);
}
