#pragma once
// The top advertising panel of the tall (568-point) screen: a band across the main screen,
// below the status row and above the wanted poster, where the main screen leaves room on that
// screen. It shows four banners of the advertising kit while it is on screen (the game list's
// games, which a touch opens); the rest of the band lets touches through. On other heights the
// title screen shows the banners instead and there is no panel.
#include "platform/ui/AdvertisingKit.h"
#include "platform/ui/ScreenController.h"

class TopPanelAdsViewController : public ScreenController {
public:
    static constexpr int kBannerCount = AdvertisingKit::kBannersInRow;

    TopPanelAdsViewController();
    ~TopPanelAdsViewController() override;

    // True on the screen that has the panel (exactly 568 points tall).
    static bool isWantedOnMainScreen() { return AdvertisingKit::hasTopPanel(); }
    // The panel's frame in the main screen's root view.
    static Rect panelFrame();

    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

protected:
    std::shared_ptr<View> loadView() override;
};
