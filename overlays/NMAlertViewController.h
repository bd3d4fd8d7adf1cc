#pragma once
// The in-game message box: the king's talking icon, a message, and either OK and cancel buttons
// or, without buttons, a faceless button over the box that dismisses it. OK posts "okPressed"
// with the box's tag (kept as the root view's tag) as a number, and runs the action the box was
// filled with, on the same later pass as the event. Layout "NMAlertView"; the
// pop-in and shrink-out act on its "containerView" panel. Keys: Enter is OK, Esc cancel; a box
// without buttons goes by either.
#include <functional>
// without buttons goes by either. A box without buttons shows a blinking "touch to continue"
// mark and lets touches beside it through to the screen below.
#include <memory>
#include <string>

#include "overlays/OverlayViewController.h"
#include "platform/core/RunLoop.h"

class Button;
class Image;
class ImageView;
class Label;

class NMAlertViewController : public OverlayViewController {
public:
    using Action = std::function<void()>;
    static constexpr double kBlinkInterval = 0.5;

    NMAlertViewController();
    ~NMAlertViewController() override;

    // Fills the box: text, icon, the buttons (with) or the hidden button (without), the tag, and
    // what OK does (nothing when empty; a new message replaces it).
    void showAlertWithMessage(const std::string& message, std::shared_ptr<Image> icon, bool hasBtn, int tag, Action onOK = {});
    // The same with the icon's picture file ("talk1@2x.png").
    void showAlertWithMessage(const std::string& message, const std::string& iconName, bool hasBtn, int tag, Action onOK = {});

    // Effect "tap.mp3", posts "okPressed" with the tag and then the OK action for the main run
    // loop, then the shrink-out and close.
    void pressOK();
    // The cancel button: effect "tap_fail.wav", then the shrink-out and close. No event.
    void pressClose() override;

    int alertTag() { return view()->tag(); }

    // ---- Outlets (views named so in the layout)
    const std::shared_ptr<ImageView>& iconImgView() { return (void)view(), iconImgView_; }
    const std::shared_ptr<Label>& msgLabel() { return (void)view(), msgLabel_; }
    const std::shared_ptr<Button>& okBtn() { return (void)view(), okBtn_; }
    const std::shared_ptr<Button>& cancelBtn() { return (void)view(), cancelBtn_; }
    const std::shared_ptr<Button>& hiddenBtn() { return (void)view(), hiddenBtn_; }
    const std::shared_ptr<Label>& touchMarkLabel() { return (void)view(), touchMarkLabel_; }

protected:
    void bindOutlets() override;
    void viewDidLoad() override;

private:
    std::shared_ptr<ImageView> iconImgView_;
    std::shared_ptr<Label> msgLabel_;
    std::shared_ptr<Button> okBtn_;
    std::shared_ptr<Button> cancelBtn_;
    std::shared_ptr<Button> hiddenBtn_;
    Action onOK_;
    std::shared_ptr<Label> touchMarkLabel_;
    TimerHandle blink_;
};
