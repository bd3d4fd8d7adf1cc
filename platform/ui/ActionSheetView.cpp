#include "platform/ui/ActionSheetView.h"

#include <cmath>

#include "platform/ui/GamePalette.h"
#include "platform/ui/Label.h"
#include "platform/ui/PixelFrame.h"

namespace {

std::vector<std::string> othersThenCancel(const std::string& cancel, const std::vector<std::string>& others) {
    std::vector<std::string> all = others;
    if (!cancel.empty()) all.push_back(cancel);
    return all;
}

class SheetPanelView : public View {
public:
    using View::View;
    void drawContent(DrawContext& context) const override { PixelFrame::drawDialogPanel(context, bounds()); }
};

constexpr double kMargin = 6;    // from the screen's edges
constexpr double kPadding = 14;  // from the panel's edge to its contents
constexpr double kTitleSize = 8;

}  // namespace

ActionSheetView::ActionSheetView(std::string title, const std::string& cancelButtonTitle,
                                 const std::vector<std::string>& otherButtonTitles)
    : ModalPanelView(othersThenCancel(cancelButtonTitle, otherButtonTitles),
                     cancelButtonTitle.empty() ? -1 : static_cast<int>(otherButtonTitles.size())),
      title_(std::move(title)) {}

bool ActionSheetView::pressDefaultButton() {
    if (numberOfButtons() == 0) return false;
    // The first button; a sheet holding only its cancel button answers that.
    return dismissWithClickedButtonIndex(0);
}

void ActionSheetView::layoutPanel(const Rect& area) {
    const double width = area.width() - 2 * kMargin;
    const double inner = width - 2 * kPadding;
    panel_ = std::make_shared<SheetPanelView>();
    double y = kPadding;
    if (!title_.empty()) {
        auto label = makeText(title_, kTitleSize, GamePalette::brownDark, inner);
        label->setFrame(Rect(kPadding, y, inner, label->frame().height()));
        panel_->addSubview(label);
        y += label->frame().height() + 10;
    }
    buttons_.clear();
    for (int i = 0; i < numberOfButtons(); ++i) {
        if (i > 0) y += i == cancelButtonIndex() ? 14 : 6;
        buttons_.push_back(makeButton(i, Rect(kPadding, y, inner, kButtonHeight)));
        panel_->addSubview(buttons_.back());
        y += kButtonHeight;
    }
    const double height = y + kPadding - 2;
    restingFrame_ = Rect(kMargin, std::round(area.height() - kMargin - height), width, height);
    panel_->setFrame(restingFrame_);
    addSubview(panel_);
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
