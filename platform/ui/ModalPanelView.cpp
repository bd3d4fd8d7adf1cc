#include "platform/ui/ModalPanelView.h"

#include <cmath>

#include "platform/ui/GamePalette.h"
#include "platform/ui/Label.h"
#include "platform/ui/PixelFrame.h"
#include "platform/ui/Window.h"

namespace {
constexpr const char* kDotFont = "GD-DOTFONT-DQ-TTF";
constexpr double kButtonGap = 6;
const std::string kNoTitle;

// The gold-framed parchment behind the texts and buttons.
class ParchmentView : public View {
public:
    using View::View;
    void drawContent(DrawContext& context) const override { PixelFrame::drawDialogPanel(context, bounds()); }
};
}  // namespace

ModalPanelView::ModalPanelView(std::string title, std::vector<std::string> buttonTitles, int cancelButtonIndex,
                               int defaultButtonIndex)
    : title_(std::move(title)),
      buttonTitles_(std::move(buttonTitles)),
      cancelButtonIndex_(cancelButtonIndex),
      defaultButtonIndex_(defaultButtonIndex) {
    if (cancelButtonIndex_ < -1 || cancelButtonIndex_ >= numberOfButtons()) cancelButtonIndex_ = -1;
    if (defaultButtonIndex_ < -1 || defaultButtonIndex_ >= numberOfButtons()) defaultButtonIndex_ = -1;
    // The script driver lists panels and their buttons by these names.
    setName("alertView");
    dim_ = std::make_shared<View>();
    dim_->setBackgroundColor(GamePalette::night.withAlpha(0.55f));
    addSubview(dim_);
    // The panel takes every touch: nothing behind it is reached while it is up.
    onTouchesBegan = [](const TouchSet&) {};
    onTouchesMoved = [](const TouchSet&) {};
    onTouchesEnded = [](const TouchSet&) {};
    onTouchesCancelled = [](const TouchSet&) {};
}

ModalPanelView::~ModalPanelView() = default;

const std::string& ModalPanelView::buttonTitleAtIndex(int index) const {
    if (index < 0 || index >= numberOfButtons()) return kNoTitle;
    return buttonTitles_[static_cast<size_t>(index)];
}

std::shared_ptr<PanelButton> ModalPanelView::buttonAtIndex(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= buttons_.size()) return nullptr;
    return buttons_[static_cast<size_t>(index)];
}

bool ModalPanelView::show() {
    Window* window = Window::keyWindow();
    if (!window) return false;
    showInView(*window);
    return true;
}

void ModalPanelView::showInView(View& parent) {
    if (shown_) return;
    shown_ = true;
    const Rect area = parent.bounds();
    View::performWithoutAnimation([&] {
        setFrame(area);
        setBounds(Rect(0, 0, area.width(), area.height()));
        dim_->setFrame(Rect(0, 0, area.width(), area.height()));
        buttons_.clear();
        layoutPanel(Rect(0, 0, area.width(), area.height()));
    });
    parent.addSubview(shared_from_this());
    animateIn();
}

bool ModalPanelView::dismissWithClickedButtonIndex(int index, bool animated) {
    if (!shown_ || answered_ || index < 0 || index >= numberOfButtons()) return false;
    answered_ = true;
    auto keep = shared_from_this();  // whoever lets go of the panel in the callback
    for (auto& b : buttons_) b->setUserInteractionEnabled(false);
    // The superview keeps the panel until it has gone. The animation's completion is held by
    // the panel's own views, so it must not hold the panel in turn.
    std::weak_ptr<View> weak = weak_from_this();
    auto remove = [weak] {
        if (auto self = weak.lock()) self->removeFromSuperview();
    };
    if (animated && superview()) animateOut(remove);
    else remove();
    if (auto callback = std::move(onButton)) callback(index);
    return true;
}

bool ModalPanelView::pressCancelButton() {
    if (cancelButtonIndex_ >= 0) return dismissWithClickedButtonIndex(cancelButtonIndex_);
    // A single button is also the way out.
    if (numberOfButtons() == 1) return dismissWithClickedButtonIndex(0);
    return false;
}

View::KeyAnswer ModalPanelView::offerKey(bool escape, bool /*buttonsLive*/) {
    // An answered panel on its way out takes nothing, and hides nothing either.
    if (!takesInput() || !isVisible()) return KeyAnswer::none;
    const bool pressed = escape ? pressCancelButton() : pressDefaultButton();
    return pressed ? KeyAnswer::taken : KeyAnswer::refused;
}

void ModalPanelView::makePanel() {
    if (panel_) panel_->removeFromSuperview();
    panel_ = std::make_shared<ParchmentView>();
    addSubview(panel_);
}

double ModalPanelView::stackButtons(double x, double y, double width, double height, double cancelGap) {
    for (int i = 0; i < numberOfButtons(); ++i) {
        if (i > 0) y += i == cancelButtonIndex_ ? cancelGap : kButtonGap;
        addButton(i, Rect(x, y, width, height));
        y += height;
    }
    return y;
}

std::shared_ptr<PanelButton> ModalPanelView::addButton(int index, const Rect& frame) {
    auto style = index == cancelButtonIndex_ ? PanelButton::Style::secondary : PanelButton::Style::primary;
    auto button = std::make_shared<PanelButton>(frame, style);
    button->setTitle(buttonTitleAtIndex(index));
    button->setName("alertBtn" + std::to_string(index));
    std::weak_ptr<View> weak = weak_from_this();
    button->setAction([weak, index] {
        if (auto self = std::static_pointer_cast<ModalPanelView>(weak.lock())) self->dismissWithClickedButtonIndex(index);
    });
    if (buttons_.size() <= static_cast<size_t>(index)) buttons_.resize(static_cast<size_t>(index) + 1);
    buttons_[static_cast<size_t>(index)] = button;
    panel_->addSubview(button);
    return button;
}

std::shared_ptr<Label> ModalPanelView::addText(const std::string& text, double pointSize, Color color, double x, double y,
                                               double width) {
    auto label = std::make_shared<Label>(Rect(0, 0, width, 10));
    label->setFont(kDotFont, pointSize);
    label->setTextColor(color);
    label->setTextAlignment(TextAlignment::center);
    label->setNumberOfLines(0);
    label->setText(text);
    const Size fit = label->sizeThatFits(width);
    label->setFrame(Rect(x, y, width, text.empty() ? 0 : std::ceil(fit.height)));
    panel_->addSubview(label);
    return label;
}
