#include "explore/EquipStatusView.h"

#include <vector>

#include "explore/NMCommon.h"
#include "model/EquipManager.h"
#include "model/GameEvents.h"
#include "model/GameTags.h"
#include "model/SavedStateKeys.h"
#include "platform/store/SavedStateStore.h"
#include "platform/ui/Image.h"

namespace {

// ---- Layout of the strip: the plank pictures are 320 x 42 and fill the view; the icon sockets
// are drawn into them at the places iconOriginWithEquipId gives.
struct EquipStatusLayout {
    Rect frame{0, 438, 320, 42};
    const char* oneRowPicture = "quest_status@2x.png";
    const char* twoRowPicture = "quest_status2@2x.png";
};

const EquipStatusLayout& layout() {
    static const EquipStatusLayout value;
    return value;
}

}  // namespace

Rect EquipStatusView::defaultFrame() { return layout().frame; }

EquipStatusView::EquipStatusView(const Rect& frame) : View(frame) {
    setUserInteractionEnabled(false);
    bgImgView_ = View::make<ImageView>(Rect(0, 0, frame.size.width, frame.size.height));
    addSubview(bgImgView_);
    Object* self = this;
    NMCommon::addObserver(self, [this](const Notification& n) { shopUnlocked(n); }, GameEvents::kShopUnlocked);
    NMCommon::addObserver(self, [this](const Notification& n) { newMap(n); }, GameEvents::kNewMap);
    NMCommon::addObserver(self, [this](const Notification& n) { equipUpdated(n); }, GameEvents::kEquipUpdated);
}

EquipStatusView::~EquipStatusView() { NMCommon::removeObserver(static_cast<Object*>(this)); }

void EquipStatusView::didMoveToWindow() {
    if (window()) drawRect();
}

void EquipStatusView::drawRect() {
    updateMode();
    updateIcons();
}

void EquipStatusView::updateMode() {
    const size_t onSale = EquipManager::equipmentsInStoreOfType(EquipManager::kTypeItem).size();
    const bool shopOpen = SavedStateStore::standardUserDefaults().boolForKey(SavedStateKeys::shopUnlocked);
    if (shopOpen && onSale > 0) {
        currentMode_ = onSale > kOneRowCapacity ? kModeTwoRows : kModeOneRow;
        bgImgView_->setImage(Image::named(currentMode_ == kModeTwoRows ? layout().twoRowPicture : layout().oneRowPicture));
    } else {
        currentMode_ = kModeNone;
        bgImgView_->setImage(nullptr);
    }
}

void EquipStatusView::updateIcons() {
    removeAllIcons();
    for (const EquipRow& row : EquipManager::equipmentsPurchasedWithType(EquipManager::kTypeItem)) generateIconWithEquipId(row.id);
}

void EquipStatusView::removeAllIcons() {
    std::vector<std::shared_ptr<View>> icons;
    for (const auto& sub : subviews())
        if (sub->tag() == GameTags::kEquipIcon) icons.push_back(sub);
    for (const auto& icon : icons) icon->removeFromSuperview();
}

void EquipStatusView::generateIconWithEquipId(unsigned equipId) {
    if (currentMode_ == kModeNone) return;
    const std::string file = NMCommon::filenameOfEquipWithEquipId(equipId);
    if (!Image::exists(file)) return;
    const Point origin = iconOriginWithEquipId(equipId, currentMode_);
    auto icon = View::make<ImageView>(Rect(origin, Size(kIconSize, kIconSize)));
    icon->setImage(Image::named(file));
    icon->setContentMode(ContentMode::scaleAspectFit);
    icon->setTag(GameTags::kEquipIcon);
    icon->setName("equipIcon" + std::to_string(equipId));  // found by name, as the driver does
    addSubview(icon);
}

Point EquipStatusView::iconOriginWithEquipId(unsigned e, unsigned mode) {
    // Lower row: pieces 1-15. Upper row (two rows only): 16-21 from the left, 22 on after the crest.
    if (mode != kModeTwoRows || e <= kOneRowCapacity) return {20.0 * (static_cast<double>(e) - 1) + 13, 23};
    if (e <= 21) return {20.0 * (e - 16) + 13, 6};
    return {20.0 * (e - 22) + 193, 6};
}

void EquipStatusView::shopUnlocked(const Notification&) { updateMode(); }

void EquipStatusView::newMap(const Notification&) { updateMode(); }

void EquipStatusView::equipUpdated(const Notification&) { updateIcons(); }
