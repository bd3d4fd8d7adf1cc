#include "platform/ui/ModalAlertView.h"

#include <cmath>

#include "platform/ui/GamePalette.h"
#include "platform/ui/Label.h"
#include "platform/ui/PixelFrame.h"

namespace {

std::vector<std::string> joinButtons(const std::string& cancel, const std::vector<std::string>& others) {
    std::vector<std::string> all;
    if (!cancel.empty()) all.push_back(cancel);
    all.insert(all.end(), others.begin(), others.end());
    return all;
}

// The gold-framed parchment behind the texts and buttons.
class DialogPanelView : public View {
public:
    using View::View;
    void drawContent(DrawContext& context) const override { PixelFrame::drawDialogPanel(context, bounds()); }
};

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
    : ModalPanelView(std::move(buttonTitles), cancelButtonIndex), title_(std::move(title)), message_(std::move(message)) {}

bool ModalAlertView::pressDefaultButton() {
    if (numberOfButtons() == 0) return false;
    return dismissWithClickedButtonIndex(numberOfButtons() - 1);
}

void ModalAlertView::layoutPanel(const Rect& area) {
    const double width = std::min(kPanelWidth, area.width() - 16);
    const double inner = width - 2 * kFramePadding;
    panel_ = std::make_shared<DialogPanelView>();
    double y = kFramePadding;
    if (!title_.empty()) {
        titleLabel_ = makeText(title_, kTitleSize, GamePalette::redDark, inner);
        titleLabel_->setFrame(Rect(kFramePadding, y, inner, titleLabel_->frame().height()));
        panel_->addSubview(titleLabel_);
        y += titleLabel_->frame().height() + kGap;
    }
    if (!message_.empty()) {
        messageLabel_ = makeText(message_, kMessageSize, GamePalette::ink, inner);
        messageLabel_->setFrame(Rect(kFramePadding, y, inner, messageLabel_->frame().height()));
        panel_->addSubview(messageLabel_);
        y += messageLabel_->frame().height() + kGap;
    }
    y += 2;
    const int n = numberOfButtons();
    buttons_.clear();
    if (n == 2) {
        const double w = std::floor((inner - kGap) / 2);
        buttons_.push_back(makeButton(0, Rect(kFramePadding, y, w, kButtonHeight)));
        buttons_.push_back(makeButton(1, Rect(kFramePadding + inner - w, y, w, kButtonHeight)));
        y += kButtonHeight;
    } else {
        for (int i = 0; i < n; ++i) {
            if (i > 0) y += 6;
            buttons_.push_back(makeButton(i, Rect(kFramePadding, y, inner, kButtonHeight)));
            y += kButtonHeight;
        }
    }
    for (auto& b : buttons_) panel_->addSubview(b);
    const double height = y + kFramePadding - 2;
    // Whole points, so the frame's pixels stay sharp.
    panel_->setFrame(Rect(std::round((area.width() - width) / 2), std::round((area.height() - height) / 2), width, height));
    addSubview(panel_);
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
