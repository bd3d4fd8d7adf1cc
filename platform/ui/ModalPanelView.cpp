#include "platform/ui/ModalPanelView.h"

#include <cmath>

#include "platform/ui/GamePalette.h"
#include "platform/ui/Label.h"
#include "platform/ui/Window.h"

namespace {
constexpr const char* kDotFont = "GD-DOTFONT-DQ-TTF";
const std::string kNoTitle;
}  // namespace

ModalPanelView::ModalPanelView(std::vector<std::string> buttonTitles, int cancelButtonIndex)
    : buttonTitles_(std::move(buttonTitles)), cancelButtonIndex_(cancelButtonIndex) {
    if (cancelButtonIndex_ < -1 || cancelButtonIndex_ >= numberOfButtons()) cancelButtonIndex_ = -1;
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
        layoutPanel(Rect(0, 0, area.width(), area.height()));
    });
    parent.addSubview(shared_from_this());
    animateIn();
}

bool ModalPanelView::dismissWithClickedButtonIndex(int index, bool animated) {
    if (!shown_ || answered_ || index < 0 || index >= numberOfButtons()) return false;
    answered_ = true;
    // The panel stays alive until it has gone, whoever else lets go of it.
    auto self = shared_from_this();
    for (auto& b : buttons_) b->setUserInteractionEnabled(false);
    auto remove = [self] { self->removeFromSuperview(); };
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

ModalPanelView* ModalPanelView::frontmost() {
    Window* window = Window::keyWindow();
    if (!window) return nullptr;
    // Depth first from the front: panels may sit in an overlay's view as well as on the window.
    std::function<ModalPanelView*(View&)> search = [&](View& v) -> ModalPanelView* {
        const auto& subs = v.subviews();
        for (auto it = subs.rbegin(); it != subs.rend(); ++it) {
            if (auto* panel = dynamic_cast<ModalPanelView*>(it->get()); panel && panel->isVisible()) return panel;
            if (auto* found = search(**it)) return found;
        }
        return nullptr;
    };
    return search(*window);
}

bool ModalPanelView::handleEnterKey() {
    ModalPanelView* panel = frontmost();
    return panel && panel->pressDefaultButton();
}

bool ModalPanelView::handleEscapeKey() {
    ModalPanelView* panel = frontmost();
    return panel && panel->pressCancelButton();
}

std::shared_ptr<PanelButton> ModalPanelView::makeButton(int index, const Rect& frame) {
    auto style = index == cancelButtonIndex_ ? PanelButton::Style::secondary : PanelButton::Style::primary;
    auto button = std::make_shared<PanelButton>(frame, style);
    button->setTitle(buttonTitleAtIndex(index));
    std::weak_ptr<View> weak = weak_from_this();
    button->setAction([weak, index] {
        if (auto self = std::dynamic_pointer_cast<ModalPanelView>(weak.lock())) self->dismissWithClickedButtonIndex(index);
    });
    return button;
}

std::shared_ptr<Label> ModalPanelView::makeText(const std::string& text, double pointSize, Color color, double width) {
    auto label = std::make_shared<Label>(Rect(0, 0, width, 10));
    label->setFont(kDotFont, pointSize);
    label->setTextColor(color);
    label->setTextAlignment(TextAlignment::center);
    label->setNumberOfLines(0);
    label->setText(text);
    const Size fit = label->sizeThatFits(width);
    label->setFrame(Rect(0, 0, width, text.empty() ? 0 : std::ceil(fit.height)));
    return label;
}
