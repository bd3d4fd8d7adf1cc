#include "gamelink/TopPanelAdsViewController.h"

#include "platform/ui/AdvertisingKit.h"

TopPanelAdsViewController::TopPanelAdsViewController() = default;

TopPanelAdsViewController::~TopPanelAdsViewController() = default;

// On the tall screen the status row and the report button end at y 94 and the wanted poster
// starts at 128: the band between them is free across the whole width.
Rect TopPanelAdsViewController::panelFrame() { return Rect(0, 94, 320, 34); }

namespace {
// The band itself takes no touch: only its banners do, the rest goes on to the main screen.
class TopPanelView : public View {
public:
    using View::View;
    std::shared_ptr<View> hitTest(Point p) override {
        auto hit = View::hitTest(p);
        return hit.get() == this ? nullptr : hit;
    }
};
}  // namespace

std::shared_ptr<View> TopPanelAdsViewController::loadView() {
    auto panel = std::make_shared<TopPanelView>(panelFrame());
    panel->setName("topAdsPanel");
    return panel;
}

void TopPanelAdsViewController::viewWillAppear(bool animated) {
    ScreenController::viewWillAppear(animated);
    AdvertisingKit::removeBanners(*view(), kBannerCount);  // shown again: no second row
    AdvertisingKit::placeBannerRow(*view(), view()->bounds(), kBannerCount);
}

void TopPanelAdsViewController::viewWillDisappear(bool animated) {
    if (isViewLoaded()) AdvertisingKit::removeBanners(*view(), kBannerCount);
    ScreenController::viewWillDisappear(animated);
}
