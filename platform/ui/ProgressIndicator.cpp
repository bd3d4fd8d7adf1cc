#include "platform/ui/ProgressIndicator.h"

#include <cmath>
#include <numbers>

#include "platform/ui/DrawContext.h"
#include "platform/ui/GamePalette.h"
#include "platform/ui/Label.h"
#include "platform/ui/PixelFrame.h"

namespace {
constexpr double kRingRadius = 12;
constexpr double kDotSize = 5;
constexpr double kBoxMinSide = 64;
constexpr double kBoxPadding = 12;
}  // namespace

ProgressIndicator::ProgressIndicator(const Rect& frame) : View(frame) {
    label_ = std::make_shared<Label>();
    label_->setFont("GD-DOTFONT-DQ-TTF", 8);
    label_->setTextColor(GamePalette::white);
    label_->setTextAlignment(TextAlignment::center);
    label_->setUserInteractionEnabled(false);
    addSubview(label_);
    onTouchesBegan = [](const TouchSet&) {};
    onTouchesMoved = [](const TouchSet&) {};
    onTouchesEnded = [](const TouchSet&) {};
    onTouchesCancelled = [](const TouchSet&) {};
    setAlpha(0);
    setHidden(true);
    layoutBox();
}

ProgressIndicator::~ProgressIndicator() = default;

void ProgressIndicator::setLabelText(const std::string& text) {
    labelText_ = text;
    label_->setText(text);
    layoutBox();
}

void ProgressIndicator::setDimBackground(bool dim) {
    dimBackground_ = dim;
    setNeedsDisplay();
}

void ProgressIndicator::layoutBox() {
    const Rect b = bounds();
    const double textWidth = labelText_.empty() ? 0 : std::ceil(label_->sizeThatFits(0).width);
    const double textHeight = labelText_.empty() ? 0 : std::ceil(label_->font()->lineHeight());
    const double w = std::max(kBoxMinSide, std::min(b.width() - 20, textWidth + 2 * kBoxPadding));
    const double h = std::max(kBoxMinSide, kBoxPadding * 2 + 2 * kRingRadius + kDotSize + (textHeight > 0 ? 8 + textHeight : 0));
    box_ = PixelFrame::snapped(Rect(std::round(b.midX() - w / 2), std::round(b.midY() - h / 2), w, h));
    View::performWithoutAnimation([&] {
        label_->setHidden(labelText_.empty());
        label_->setFrame(Rect(box_.minX() + 4, box_.maxY() - kBoxPadding - textHeight, box_.width() - 8, textHeight));
    });
    setNeedsDisplay();
}

void ProgressIndicator::show(bool animated) {
    ++generation_;
    if (!showing_) spinStart_ = RunLoop::main().now();
    showing_ = true;
    setHidden(false);
    registerAnimating(true);
    if (animated) {
        AnimationOptions options;
        options.curve = AnimationCurve::easeOut;
        View::animateWithDuration(kFadeDuration, 0, options, [&] { setAlpha(1); });
    } else {
        View::performWithoutAnimation([&] { setAlpha(1); });
    }
}

void ProgressIndicator::hide(bool animated) {
    if (!showing_) return;
    const uint64_t generation = ++generation_;
    std::weak_ptr<View> weak = weak_from_this();
    auto done = [weak, generation] {
        auto self = std::static_pointer_cast<ProgressIndicator>(weak.lock());
        // A show() during the fade keeps the indicator up.
        if (!self || self->generation_ != generation) return;
        self->showing_ = false;
        self->setHidden(true);
        self->registerAnimating(false);
        if (self->onHidden) self->onHidden(*self);
    };
    if (animated) {
        AnimationOptions options;
        options.curve = AnimationCurve::easeIn;
        View::animateWithDuration(kFadeDuration, 0, options, [&] { setAlpha(0); }, [done](bool) { done(); });
    } else {
        View::performWithoutAnimation([&] { setAlpha(0); });
        done();
    }
}

int ProgressIndicator::headDotAt(double now) const {
    const double t = std::max(0.0, now - spinStart_);
    return static_cast<int>(std::floor(t / kStepDuration + 1e-9)) % kDots;
}

std::optional<double> ProgressIndicator::nextVisualChange(double now) const {
    auto own = View::nextVisualChange(now);
    if (!showing_) return own;
    const double steps = std::floor((now - spinStart_) / kStepDuration + 1e-9) + 1;
    const double next = spinStart_ + steps * kStepDuration;
    return own && *own < next ? own : std::optional<double>(next);
}

void ProgressIndicator::drawContent(DrawContext& context) const {
    if (dimBackground_) context.fillRect(bounds(), GamePalette::night.withAlpha(0.5f));
    PixelFrame::drawDarkBox(context, box_);
    const double textSpace = labelText_.empty() ? 0 : 8 + std::ceil(label_->font()->lineHeight());
    const Point centre(box_.midX(), std::round(box_.midY() - textSpace / 2));
    const int head = headDotAt(context.now());
    // Clockwise from the top; the head is bright gold, the three behind it dim towards stone.
    const Color trail[] = {GamePalette::goldLight, GamePalette::gold, GamePalette::goldDark, GamePalette::stone};
    for (int i = 0; i < kDots; ++i) {
        const double angle = i * 2 * std::numbers::pi / kDots;
        const double x = std::round(centre.x + kRingRadius * std::sin(angle) - kDotSize / 2);
        const double y = std::round(centre.y - kRingRadius * std::cos(angle) - kDotSize / 2);
        const int behind = (head - i + kDots) % kDots;
        const Color c = behind < 4 ? trail[behind] : GamePalette::stoneDark;
        // A round dot: a plus of two rectangles, with an ink rim below.
        context.fillRect({x, y + 1, kDotSize, kDotSize - 1}, GamePalette::ink);
        context.fillRect({x + 1, y, kDotSize - 2, kDotSize}, c);
        context.fillRect({x, y + 1, kDotSize, kDotSize - 2}, c);
    }
}
