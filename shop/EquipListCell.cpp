#include "shop/EquipListCell.h"

#include <mutex>

#include "explore/NMCommon.h"
#include "model/EquipManager.h"
#include "platform/resources/Format.h"
#include "platform/resources/LocalizedStrings.h"
#include "platform/ui/Image.h"

EquipListCell::EquipListCell() : TableViewCell(kReuseIdentifier, Rect(0, 0, 300, kRowHeight)) {}

void EquipListCell::registerLayoutClass() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (!LayoutLoader::isClassRegistered("EquipListCell")) LayoutLoader::registerClass<EquipListCell>("EquipListCell");
    });
}

std::shared_ptr<EquipListCell> EquipListCell::load() {
    registerLayoutClass();
    auto cell = LayoutLoader::loadView<EquipListCell>("EquipListCell");
    cell->setReuseIdentifier(kReuseIdentifier);
    cell->setSelectionStyle(TableViewCellSelectionStyle::none);
    if (!cell->buyBtn_) cell->awakeFromLayout();  // a stand-in row still has its outlets
    return cell;
}

void EquipListCell::awakeFromLayout() {
    itemImgView_ = LayoutLoader::outlet<ImageView>(*this, "itemImgView");
    nameLabel_ = LayoutLoader::outlet<Label>(*this, "nameLabel");
    priceLabel_ = LayoutLoader::outlet<Label>(*this, "priceLabel");
    detailLabel_ = LayoutLoader::outlet<Label>(*this, "detailLabel");
    lockImgView_ = LayoutLoader::outlet<ImageView>(*this, "lockImgView");
    iconNew_ = LayoutLoader::outlet<ImageView>(*this, "iconNew");
    buyBtn_ = LayoutLoader::outlet<Button>(*this, "buyBtn");
    for (Label* label : {nameLabel_.get(), priceLabel_.get(), detailLabel_.get()}) label->setAdjustsFontSizeToFitWidth(true);
    buyBtn_->setAction([this] {
        if (onBuy) onBuy();
    });
}

void EquipListCell::showEquipInfo(const EquipRow& info, bool isUnlocked, bool isNew) {
    nameLabel_->setText(info.name);
    const unsigned equipId = info.id;
    const std::string picture = NMCommon::filenameOfEquipWithEquipId(equipId);
    if (Image::exists(picture)) itemImgView_->setImage(Image::named(picture));

    if (EquipManager::haveEquipmentWithId(equipId)) {
        buyBtn_->setHidden(true);
        priceLabel_->setText(NSLocalizedString("PurchasedKana"));
        iconNew_->setHidden(true);
        lockImgView_->setHidden(true);
        detailLabel_->setText(info.description);
        return;
    }
    if (isUnlocked) {
        buyBtn_->setHidden(false);
        lockImgView_->setHidden(true);
        detailLabel_->setText(info.description);
    } else {
        buyBtn_->setHidden(true);
        lockImgView_->setHidden(false);
        detailLabel_->setText(EquipManager::descriptionForUnlockWithEquipStaticInfo(info).value_or(""));
    }
    const int64_t gold = info.gold;
    priceLabel_->setText(gold >= 1 ? stringWithFormat("%d %@", {Value(gold), Value("G")}) : std::string());
    iconNew_->setHidden(!isNew);
}
