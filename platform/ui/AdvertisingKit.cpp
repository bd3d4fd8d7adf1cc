#include "platform/ui/AdvertisingKit.h"

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "platform/ui/GamePalette.h"
#include "platform/ui/Label.h"
#include "platform/ui/PixelFrame.h"
#include "platform/ui/Screen.h"

namespace {

std::mutex fillerMutex;
AdvertisingKit::BannerFiller& fillerSlot() {
    static AdvertisingKit::BannerFiller filler;
    return filler;
}

// The lines the banners take turns with, by tag.
const char* const kBannerLines[] = {"Royal Expedition", "To the dungeons!", "Hunt them all", "The king waits"};

// The dark pixel frame behind a banner's line.
class AdvertisingBannerView : public View {
public:
    AdvertisingBannerView(const Rect& frame, int tag, bool withLine) : View(frame) {
        setTag(tag);
        setName("adBanner" + std::to_string(tag));
        setUserInteractionEnabled(false);
        if (!withLine) return;
        const int lines = std::size(kBannerLines);
        line_ = std::make_shared<Label>(bounds().insetBy(3, 2));
        line_->setFont("GD-DOTFONT-DQ-TTF", 8);
        line_->setTextColor(GamePalette::goldLight);
        line_->setTextAlignment(TextAlignment::center);
        line_->setAdjustsFontSizeToFitWidth(true);
        line_->setMinimumFontSize(6);
        line_->setText(kBannerLines[((tag - 1) % lines + lines) % lines]);
        addSubview(line_);
    }
    void drawContent(DrawContext& context) const override { PixelFrame::drawDarkBox(context, PixelFrame::snapped(bounds())); }

protected:
    void boundsDidChange() override {
        if (line_) line_->setFrame(bounds().insetBy(3, 2));
    }

private:
    std::shared_ptr<Label> line_;
};

}  // namespace

void AdvertisingKit::setBannerFiller(BannerFiller filler) {
    std::lock_guard lock(fillerMutex);
    fillerSlot() = std::move(filler);
}

std::shared_ptr<View> AdvertisingKit::makeBannerView(const Rect& frame, int tag) {
    BannerFiller filler;
    {
        std::lock_guard lock(fillerMutex);
        filler = fillerSlot();
    }
    auto banner = std::make_shared<AdvertisingBannerView>(frame, tag, !filler);
    if (filler) filler(*banner, tag);
    return banner;
}

bool AdvertisingKit::isBannerView(const View& view) { return dynamic_cast<const AdvertisingBannerView*>(&view) != nullptr; }

void AdvertisingKit::placeBannerRow(View& parent, const Rect& row, int count) {
    if (count <= 0) return;
    const double slot = row.width() / count;
    const double height = std::min(kMaxBannerHeight, row.height());
    const double top = row.minY() + (row.height() - height) / 2;
    for (int i = 0; i < count; ++i)
        parent.addSubview(makeBannerView(Rect(row.minX() + i * slot + kBannerGap / 2, top, slot - kBannerGap, height), i + 1));
}

int AdvertisingKit::removeBanners(View& parent, int count) {
    int removed = 0;
    for (const auto& sub : std::vector<std::shared_ptr<View>>(parent.subviews())) {
        if (sub->tag() >= 1 && sub->tag() <= count && isBannerView(*sub)) {
            sub->removeFromSuperview();
            ++removed;
        }
    }
    return removed;
}

bool AdvertisingKit::hasTopPanel() { return Screen::mainScreen().bounds().height() == kTopPanelScreenHeight; }
