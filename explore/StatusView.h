#pragma once
// The gold panel of the main screen: the 8-figure gold counter, which counts up and flashes when
// the gold rises, and the gold-rate label ("x1.50" while the owned bonus items raise the gold).
// It follows GoldManager's current gold and the "equipUpdated" event from construction until it
// is destroyed.
#include <memory>

#include "explore/NumberLabelsView.h"
#include "platform/events/Notification.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"

class GoldManager;

class StatusView : public View {
public:
    static constexpr unsigned kNumberOfFigures = 8;
    static constexpr double kFlashDuration = 1.0;
    // Where the panel sits on the main screen unless the screen places it otherwise.
    static Rect defaultFrame();

    // Follows GoldManager::getInstance().
    explicit StatusView(const Rect& frame = defaultFrame());
    // Given a gold manager the panel follows the game's gold; nullptr: none, the counter stays
    // at 0. No pointer is kept: the observer is bound to the panel's lifetime and the gold is
    // read from GoldManager::getInstance() at use, so a manager torn down first is never
    // touched again.
    StatusView(const Rect& frame, GoldManager* goldManager);
    ~StatusView() override;

    const std::shared_ptr<NumberLabelsView>& numberLabelsView() const { return numberLabelsView_; }
    const std::shared_ptr<ImageView>& effectImgView() const { return effectImgView_; }
    const std::shared_ptr<Label>& goldRateLabel() const { return goldRateLabel_; }
    bool animating() const { return animating_; }

    // Shows the current gold; with animation the figures count up and the panel flashes (one
    // flash at a time: a change during the fade only updates the figures).
    void updateGoldWithAnimated(bool animated);
    // Shows the stored gold rate when it raises the gold (above 1.0), else nothing.
    void updateEquip();
    // "equipUpdated".
    void equipUpdated(const Notification& notification);

    // First display: hides the flash, puts the counter in place and shows gold and rate.
    void drawRect();

protected:
    void didMoveToWindow() override;

private:
    void build();
    bool followsGold_ = false;
    std::shared_ptr<NumberLabelsView> numberLabelsView_;
    std::shared_ptr<ImageView> effectImgView_;
    std::shared_ptr<Label> goldRateLabel_;
    bool animating_ = false;
};
