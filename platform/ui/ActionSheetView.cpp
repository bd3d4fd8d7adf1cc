#include "platform/ui/ActionSheetView.h"

#include <cmath>

#include "platform/ui/GamePalette.h"
#include "platform/ui/Label.h"

namespace {

std::vector<std::string> othersThenCancel(const std::string& cancel, const std::vector<std::string>& others) {
    std::vector<std::string> all = others;
    if (!cancel.empty()) all.push_back(cancel);
    return all;
}

constexpr double kMargin = 6;    // from the screen's edges
constexpr double kPadding = 14;  // from the panel's edge to its contents
constexpr double kTitleSize = 8;

}  // namespace

ActionSheetView::ActionSheetView(std::string title, const std::string& cancelButtonTitle,
                                 const std::vector<std::string>& otherButtonTitles)
    : ModalPanelView(std::move(title), othersThenCancel(cancelButtonTitle, otherButtonTitles),
                     cancelButtonTitle.empty() ? -1 : static_cast<int>(otherButtonTitles.size()), 0) {}

void ActionSheetView::layoutPanel(const Rect& area) {
    const double width = area.width() - 2 * kMargin;
    const double inner = width - 2 * kPadding;
    makePanel();
    double y = kPadding;
    if (!title().empty()) y += addText(title(), kTitleSize, GamePalette::brownDark, kPadding, y, inner)->frame().height() + 10;
    // The cancel button stands a little apart at the bottom.
    y = stackButtons(kPadding, y, inner, kButtonHeight, 14);
    const double height = y + kPadding - 2;
    restingFrame_ = Rect(kMargin, std::round(area.height() - kMargin - height), width, height);
    panel_->setFrame(restingFrame_);
}

void ActionSheetView::animateIn() {
    View::performWithoutAnimation([&] {
        dim_->setAlpha(0);
        panel_->setFrame(restingFrame_.offsetBy(0, bounds().height() - restingFrame_.minY()));
    });
    AnimationOptions options;
    options.curve = AnimationCurve::easeOut;
    View::animateWithDuration(kSlideDuration, 0, options, [&] {
        dim_->setAlpha(1);
        panel_->setFrame(restingFrame_);
    });
}

void ActionSheetView::animateOut(std::function<void()> done) {
    AnimationOptions options;
    options.curve = AnimationCurve::easeIn;
    View::animateWithDuration(
        kSlideDuration, 0, options,
        [&] {
            dim_->setAlpha(0);
            panel_->setFrame(restingFrame_.offsetBy(0, bounds().height() - restingFrame_.minY()));
        },
        [done = std::move(done)](bool) { done(); });
}
