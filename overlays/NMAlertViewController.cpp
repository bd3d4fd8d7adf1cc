#include "overlays/NMAlertViewController.h"

#include <utility>

#include "explore/NMCommon.h"
#include "model/GameEvents.h"
#include "platform/core/RunLoop.h"
#include "overlays/DialogPanelView.h"
#include "platform/sound/SoundEngine.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

NMAlertViewController::NMAlertViewController() : OverlayViewController("NMAlertView") {}

NMAlertViewController::~NMAlertViewController() { blink_.invalidate(); }

void NMAlertViewController::bindOutlets() {
    OverlayViewController::bindOutlets();
    bind(iconImgView_, "iconImgView");
    bind(msgLabel_, "msgLabel");
    bind(okBtn_, "okBtn");
    bind(cancelBtn_, "cancelBtn");
    bind(hiddenBtn_, "hiddenBtn");
    bind(touchMarkLabel_, "touchMarkLabel");
    bindAction("pressOK", [this] { pressOK(); });
    bindAction("pressClose", [this] { pressClose(); });
    // Enter is OK and Esc the cancel button; a box without buttons goes by either key.
    okBtn_->setPressesOnEnter(true);
    cancelBtn_->setClosesOnEscape(true);
    hiddenBtn_->setPressesOnEnter(true);
    hiddenBtn_->setClosesOnEscape(true);
}

void NMAlertViewController::viewDidLoad() { moveDownOnTallScreen(); }

void NMAlertViewController::showAlertWithMessage(const std::string& message, std::shared_ptr<Image> icon, bool hasBtn, int tag,
                                                 Action onOK) {
    msgLabel()->setText(message);
    iconImgView()->setImage(std::move(icon));
    okBtn()->setHidden(!hasBtn);
    cancelBtn()->setHidden(!hasBtn);
    hiddenBtn()->setHidden(hasBtn);
    view()->setTag(tag);
    onOK_ = std::move(onOK);
    // A box without buttons goes by a touch on it, and says so with a blinking mark; a touch
    // beside it reaches the screen below.
    if (auto root = std::dynamic_pointer_cast<TouchThroughView>(view())) root->setPassesTouchesAround(!hasBtn);
    blink_.invalidate();
    touchMarkLabel()->setHidden(hasBtn);
    if (!hasBtn) {
        blink_ = RunLoop::main().scheduleTimer(kBlinkInterval, true, [mark = std::weak_ptr<Label>(touchMarkLabel_)] {
            if (auto label = mark.lock()) label->setHidden(!label->isHidden());
        });
    }
}

void NMAlertViewController::showAlertWithMessage(const std::string& message, const std::string& iconName, bool hasBtn, int tag,
                                                 Action onOK) {
    showAlertWithMessage(message, iconName.empty() ? nullptr : Image::named(iconName), hasBtn, tag, std::move(onOK));
}

void NMAlertViewController::pressOK() {
    blink_.invalidate();
    SoundEngine::sharedEngine().playEffect("tap.mp3");
    NMCommon::sendNotification(GameEvents::kOkPressed, Value(static_cast<int64_t>(view()->tag())));
    // Answered once: the box may be filled again before the action runs.
    if (Action action = std::exchange(onOK_, {})) RunLoop::main().post(std::move(action));
    OverlayViewController::pressClose();
}

void NMAlertViewController::pressClose() {
    blink_.invalidate();
    SoundEngine::sharedEngine().playEffect("tap_fail.wav");
    OverlayViewController::pressClose();
}
