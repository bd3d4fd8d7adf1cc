#include "platform/payments/StoreSheetView.h"

#include <cmath>

#include "platform/resources/LocalizedStrings.h"
#include "platform/ui/GamePalette.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/PixelFrame.h"

namespace {
constexpr const char* kSheetImage = "store_sheet@2x.png";
constexpr double kMargin = 10;     // from the screen's bottom edge
constexpr double kPadding = 14;    // from the panel's edge to its texts and buttons
constexpr double kButtonHeight = 28;

// The sheet's own picture, or a plain box when it is missing.
class SheetBackground : public ImageView {
public:
    SheetBackground() : ImageView(Image::exists(kSheetImage) ? Image::named(kSheetImage) : nullptr) {}
    void drawContent(DrawContext& context) const override {
        if (image()) ImageView::drawContent(context);
        else PixelFrame::drawBevelBox(context, bounds(), {GamePalette::ink, GamePalette::white, GamePalette::white, GamePalette::stoneLight});
    }
};
}  // namespace

StoreSheetView::StoreSheetView(const Product& product)
    : ActionSheetView(NSLocalizedString("StoreSheetTitle"), NSLocalizedString("StoreSheetCancel"), {NSLocalizedString("StoreSheetBuy")}),
      product_(product) {
    setName("storeSheet");
}

void StoreSheetView::layoutPanel(const Rect& area) {
    if (panel_) panel_->removeFromSuperview();
    panel_ = std::make_shared<SheetBackground>();
    panel_->setUserInteractionEnabled(true);  // a picture takes no touches of its own; its buttons do
    addSubview(panel_);
    const double inner = kPanelWidth - 2 * kPadding;
    addText(title(), 8, GamePalette::white, kPadding, 8, inner);
    nameLabel_ = addText(product_.localizedTitle, 16, GamePalette::ink, kPadding, 32, inner);
    nameLabel_->setNumberOfLines(1);
    nameLabel_->setAdjustsFontSizeToFitWidth(true);
    priceLabel_ = addText(product_.localizedPrice(), 16, GamePalette::redDark, kPadding, 54, inner);
    noteLabel_ = addText(NSLocalizedString("StoreSheetSandbox"), 8, GamePalette::stoneDark, kPadding, 78, inner);
    addButton(kBuyButtonIndex, Rect(kPadding, 98, inner, kButtonHeight))->setName("storeBuyBtn");
    addButton(kCancelButtonIndex, Rect(kPadding, 98 + kButtonHeight + 8, inner, kButtonHeight))->setName("storeCancelBtn");
    const double x = std::round((area.width() - kPanelWidth) / 2);
    restingFrame_ = Rect(x, std::round(area.height() - kMargin - kPanelHeight), kPanelWidth, kPanelHeight);
    panel_->setFrame(restingFrame_);
}
