#pragma once
// One row of the shop: the item's picture, name, price and description (or, while it cannot be
// bought yet, what unlocks it), the padlock, the new mark and the buy button. Built from the
// layout "EquipListCell"; reused under the same identifier.
#include <functional>
#include <memory>

#include "model/StaticRows.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/LayoutLoader.h"
#include "platform/ui/TableViewCell.h"

class EquipListCell : public TableViewCell, public LayoutAware {
public:
    static constexpr const char* kReuseIdentifier = "EquipListCell";
    static constexpr double kRowHeight = 73;

    EquipListCell();
    // The cell class known to layouts (once).
    static void registerLayoutClass();
    // A fresh row from its layout.
    static std::shared_ptr<EquipListCell> load();

    // Fills the row from an equipment entry: owned, for sale, or locked.
    void showEquipInfo(const EquipRow& info, bool isUnlocked, bool isNew);

    // What the buy button does (the shop makes it touch the row).
    std::function<void()> onBuy;

    const std::shared_ptr<ImageView>& itemImgView() const { return itemImgView_; }
    const std::shared_ptr<Label>& nameLabel() const { return nameLabel_; }
    const std::shared_ptr<Label>& priceLabel() const { return priceLabel_; }
    const std::shared_ptr<Label>& detailLabel() const { return detailLabel_; }
    const std::shared_ptr<ImageView>& lockImgView() const { return lockImgView_; }
    const std::shared_ptr<ImageView>& iconNew() const { return iconNew_; }
    const std::shared_ptr<Button>& buyBtn() const { return buyBtn_; }

    void awakeFromLayout() override;

private:
    std::shared_ptr<ImageView> itemImgView_;
    std::shared_ptr<Label> nameLabel_;
    std::shared_ptr<Label> priceLabel_;
    std::shared_ptr<Label> detailLabel_;
    std::shared_ptr<ImageView> lockImgView_;
    std::shared_ptr<ImageView> iconNew_;
    std::shared_ptr<Button> buyBtn_;
};
