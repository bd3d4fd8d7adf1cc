#pragma once
// The remaining-time panel of a running explore: "Time left" over the time ("12:34", or
// "01:02:03" from an hour on) and the suspend button, which calls back the party. It grows in
// with a bounce when shown and shrinks away when hidden; the suspend button appears only once
// the panel stands.
#include <functional>
#include <memory>

#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"

class ExploreStatusView : public View {
public:
    static Rect defaultFrame();

    explicit ExploreStatusView(const Rect& frame = defaultFrame());

    const std::shared_ptr<Label>& leftTimeLabel() const { return leftTimeLabel_; }
    const std::shared_ptr<Label>& titleLabel() const { return titleLabel_; }
    const std::shared_ptr<View>& contentView() const { return contentView_; }
    const std::shared_ptr<Button>& suspendBtn() const { return suspendBtn_; }
    bool isShown() const { return isShown_; }

    // The main screen's pressSuspend, run by the suspend button.
    void setSuspendAction(std::function<void()> action);

    void show();
    void hide();
    // Shows LeftTimeManager's leftTime.
    void updateStatus();

    // First display: the button waits for show(), the title takes its text.
    void drawRect();

protected:
    void didMoveToWindow() override;

private:
    std::shared_ptr<View> contentView_;
    std::shared_ptr<Label> titleLabel_;
    std::shared_ptr<Label> leftTimeLabel_;
    std::shared_ptr<Button> suspendBtn_;
    bool isShown_ = false;
};
