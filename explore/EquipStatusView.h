#pragma once
// The equipment strip along the main screen: a wooden plank with a socket for every piece of
// equipment the party can meet monsters with, and the icon of each one it owns. No strip before
// the shop opens; one row of 15 sockets while at most 15 pieces are on sale, two rows beyond.
// Follows "shopUnlocked" and "newMap" (the strip's size) and "equipUpdated" (the icons).
#include <memory>

#include "platform/events/Notification.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/View.h"

class EquipStatusView : public View {
public:
    enum : unsigned { kModeNone = 0, kModeOneRow = 1, kModeTwoRows = 2 };
    static constexpr double kIconSize = 14;
    static constexpr unsigned kOneRowCapacity = 15;
    static Rect defaultFrame();

    explicit EquipStatusView(const Rect& frame = defaultFrame());
    ~EquipStatusView() override;

    const std::shared_ptr<ImageView>& bgImgView() const { return bgImgView_; }
    unsigned currentMode() const { return currentMode_; }

    // Picks the strip by the number of type 0 pieces on sale (none before the shop opens).
    void updateMode();
    // Puts an icon on every owned type 0 piece.
    void updateIcons();
    // Takes every icon off.
    void removeAllIcons();
    // Adds the icon of one piece at its socket (nothing without a strip or a picture).
    void generateIconWithEquipId(unsigned equipId);
    // Where the icon of a piece goes in a mode (its top-left corner, in the strip's points).
    static Point iconOriginWithEquipId(unsigned equipId, unsigned mode);

    // Events.
    void shopUnlocked(const Notification& notification);
    void newMap(const Notification& notification);
    void equipUpdated(const Notification& notification);

    // First display: the strip, then the icons.
    void drawRect();

protected:
    void didMoveToWindow() override;

private:
    std::shared_ptr<ImageView> bgImgView_;
    unsigned currentMode_ = kModeNone;
};
