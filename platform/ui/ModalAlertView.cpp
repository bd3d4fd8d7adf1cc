#include "platform/ui/ModalAlertView.h"

#include <cmath>

#include "platform/ui/GamePalette.h"
#include "platform/ui/Label.h"

namespace {

std::vector<std::string> joinButtons(const std::string& cancel, const std::vector<std::string>& others) {
    std::vector<std::string> all;
    if (!cancel.empty()) all.push_back(cancel);
    all.insert(all.end(), others.begin(), others.end());
    return all;
}

constexpr double kFramePadding = 16;  // from the panel's edge to the texts
constexpr double kGap = 8;
constexpr double kTitleSize = 16;     // twice the dot font's grid
constexpr double kMessageSize = 8;    // the dot font's own grid

}  // namespace

ModalAlertView::ModalAlertView(std::string title, std::string message, const std::string& cancelButtonTitle,
                               const std::vector<std::string>& otherButtonTitles)
    : ModalAlertView(std::move(title), std::move(message), joinButtons(cancelButtonTitle, otherButtonTitles),
                     cancelButtonTitle.empty() ? -1 : 0) {}

ModalAlertView::ModalAlertView(std::string title, std::string message, std::vector<std::string> buttonTitles,
                               int cancelButtonIndex)
    : ModalPanelView(std::move(title), buttonTitles, cancelButtonIndex, static_cast<int>(buttonTitles.size()) - 1),
      message_(std::move(message)) {}

void ModalAlertView::layoutPanel(const Rect& area) {
    const double width = std::min(kPanelWidth, area.width() - 16);
    const double inner = width - 2 * kFramePadding;
    makePanel();
    double y = kFramePadding;
    if (!title().empty()) {
        titleLabel_ = addText(title(), kTitleSize, GamePalette::redDark, kFramePadding, y, inner);
        y += titleLabel_->frame().height() + kGap;
    }
    if (!message_.empty()) {
        messageLabel_ = addText(message_, kMessageSize, GamePalette::ink, kFramePadding, y, inner);
        messageLabel_->setName("alertMessageLabel");  // the driver reads alerts by this name
        y += messageLabel_->frame().height() + kGap;
    }
    y += 2;
    if (numberOfButtons() == 2) {
        const double w = std::floor((inner - kGap) / 2);
        addButton(0, Rect(kFramePadding, y, w, kButtonHeight));
        addButton(1, Rect(kFramePadding + inner - w, y, w, kButtonHeight));
        y += kButtonHeight;
    } else {
        y = stackButtons(kFramePadding, y, inner, kButtonHeight, 6);
    }
    const double height = y + kFramePadding - 2;
    // Whole points, so the frame's pixels stay sharp.
    panel_->setFrame(Rect(std::round((area.width() - width) / 2), std::round((area.height() - height) / 2), width, height));
}

void ModalAlertView::animateIn() {
    View::performWithoutAnimation([&] {
        dim_->setAlpha(0);
        panel_->setAlpha(0);
        panel_->setTransform(Transform::makeScale(0.8, 0.8));
    });
    AnimationOptions options;
    options.curve = AnimationCurve::easeOut;
    View::animateWithDuration(kAppearDuration, 0, options, [&] {
        dim_->setAlpha(1);
        panel_->setAlpha(1);
        panel_->setTransform(Transform::identity());
    });
}

void ModalAlertView::animateOut(std::function<void()> done) {
    AnimationOptions options;
    options.curve = AnimationCurve::easeIn;
    View::animateWithDuration(
        kDisappearDuration, 0, options,
        [&] {
            dim_->setAlpha(0);
            panel_->setAlpha(0);
        },
        [done = std::move(done)](bool) { done(); });
}
