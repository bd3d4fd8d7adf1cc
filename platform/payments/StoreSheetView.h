#pragma once
// The store's own confirmation sheet, as the phone shows before taking money: it slides up over
// everything in the window with the product's name, its price in the player's currency, the
// note "Sandbox: no money is charged", and Buy and Cancel. The queue shows it in `sheet` mode.
// Names for the script driver: "storeSheet", "storeBuyBtn", "storeCancelBtn".
#include "platform/payments/Product.h"
#include "platform/ui/ActionSheetView.h"

class StoreSheetView : public ActionSheetView {
public:
    static constexpr int kBuyButtonIndex = 0;
    static constexpr int kCancelButtonIndex = 1;
    static constexpr double kPanelWidth = 300;
    static constexpr double kPanelHeight = 176;

    explicit StoreSheetView(const Product& product);

    const Product& product() const { return product_; }
    std::shared_ptr<Label> nameLabel() const { return nameLabel_; }
    std::shared_ptr<Label> priceLabel() const { return priceLabel_; }
    std::shared_ptr<Label> noteLabel() const { return noteLabel_; }

protected:
    void layoutPanel(const Rect& area) override;

private:
    Product product_;
    std::shared_ptr<Label> nameLabel_;
    std::shared_ptr<Label> priceLabel_;
    std::shared_ptr<Label> noteLabel_;
};
