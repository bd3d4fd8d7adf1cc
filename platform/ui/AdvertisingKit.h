#pragma once
// The advertising kit: the game's own banners. No one else's advert is shown; a banner is a framed
// dark panel sitting where a paid banner would go, filled by the game (its cross-promotion of the
// maker's other games) or, with no filler set, holding a short line of the game's text in the
// title's dot font. Banners carry the tag they were made
// with, so the screen that placed them can take exactly those away again, even among other
// views that use the same tags.
//
//   AdvertisingKit::placeBannerRow(root, Rect(0, 94, 320, 34), 4);   // tags 1 to 4
//   AdvertisingKit::removeBanners(root, 4);
#include <functional>
#include <memory>

#include "platform/ui/Geometry.h"

class View;

class AdvertisingKit {
public:
    // Gap between two banners of a row and the tallest banner a row holds, in points.
    static constexpr double kBannerGap = 4;
    static constexpr double kMaxBannerHeight = 40;

    // Who fills each banner once it is made (the game's own cross-promotion). Without one a
    // banner shows a line of the game's text that depends on its tag.
    using BannerFiller = std::function<void(View& banner, int tag)>;
    static void setBannerFiller(BannerFiller filler);

    // One banner of the given frame and tag, filled by the filler when there is one.
    static std::shared_ptr<View> makeBannerView(const Rect& frame, int tag);
    static bool isBannerView(const View& view);
    // Adds `count` banners (tags 1 to count, named "adBanner<tag>") side by side across `row` of
    // `parent`'s coordinates, each as tall as the row allows (up to kMaxBannerHeight) and
    // centred in it vertically.
    static void placeBannerRow(View& parent, const Rect& row, int count);
    // Removes each banner with a tag from 1 to count that is among parent's sub-views; other
    // views with those tags stay. Returns how many went.
    static int removeBanners(View& parent, int count);

    // Only a screen exactly kTopPanelScreenHeight tall has the top panel over the main screen, a
    // row of kBannersInRow; elsewhere the title shows that row.
    static bool hasTopPanel();
    static constexpr double kTopPanelScreenHeight = 568;
    static constexpr int kBannersInRow = 4;
};
