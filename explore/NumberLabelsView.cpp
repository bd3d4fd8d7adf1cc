#include "explore/NumberLabelsView.h"

#include <string>

#include "platform/core/Random.h"

NumberLabelsView::NumberLabelsView(unsigned numberOfFigures, double sizeOfFont, Color textColor, const Rect& frame, double space)
    : View(frame) {
    setUserInteractionEnabled(false);
    auto font = Font::boldSystemFontOfSize(sizeOfFont);
    const Size figure = maxFigureSizeWithFont(*font);
    std::vector<std::shared_ptr<Label>> leftToRight;
    double x = 0;
    for (unsigned i = 0; i < numberOfFigures; ++i) {
        auto label = View::make<Label>(Rect(x, 0, figure.width, figure.height));
        label->setFont(font);
        label->setTextColor(textColor);
        label->setBackgroundColor(Color::clear());
        label->setTextAlignment(TextAlignment::center);
        leftToRight.push_back(label);
        x += figure.width + space;
    }
    labels_.assign(leftToRight.rbegin(), leftToRight.rend());
}

NumberLabelsView::~NumberLabelsView() { countUpTimer_.invalidate(); }

void NumberLabelsView::didMoveToWindow() {
    if (window()) drawRect();
}

void NumberLabelsView::drawRect() {
    // Leftmost figure first, so the views lie in reading order.
    for (auto it = labels_.rbegin(); it != labels_.rend(); ++it)
        if (!(*it)->superview()) addSubview(*it);
}

std::string NumberLabelsView::displayedText() const {
    std::string text;
    for (auto it = labels_.rbegin(); it != labels_.rend(); ++it) text += (*it)->text();
    return text;
}

void NumberLabelsView::updateNumber(uint32_t v, bool animated) {
    // A newer value always wins over a count-up still on its way (a purchase during the count
    // must not be counted over).
    countUpTimer_.invalidate();
    if (animated && currentNumber_ < v) {
        showNumberWithAnimationToTagetNumber(v);
        return;
    }
    showNumber(v);
}

void NumberLabelsView::showNumberWithAnimationToTagetNumber(uint32_t t) {
    countUpTimer_.invalidate();
    if (t <= currentNumber_) return;
    const uint32_t step = countUpStepForGap(t - currentNumber_);
    if (static_cast<uint64_t>(currentNumber_) + step > t) return;
    showNumber(currentNumber_ + step);
    if (currentNumber_ == t) return;
    countUpTimer_ = performBlock([this, t] { showNumberWithAnimationToTagetNumber(t); }, kCountUpStepInterval);
}

uint32_t NumberLabelsView::countUpStepForGap(uint32_t gap) {
    RandomSource& random = RandomSource::shared();
    if (gap >= 10000) return 5000 + random.uniform(5000);
    if (gap >= 1000) return 400 + random.uniform(600);
    if (gap >= 100) return 30 + random.uniform(70);
    if (gap >= 10) return 2 + random.uniform(9);
    return 1;
}

void NumberLabelsView::showNumber(uint32_t v) {
    const std::string digits = std::to_string(v);
    for (size_t i = 0; i < labels_.size(); ++i) {
        // Label i shows the i-th digit from the right; none beyond the number's length.
        std::string text;
        if (i < digits.size()) text = std::string(1, digits[digits.size() - 1 - i]);
        labels_[i]->setText(text);
    }
    currentNumber_ = v;
}

Size NumberLabelsView::maxFigureSizeAtSizeOfFont(double sizeOfFont) {
    return maxFigureSizeWithFont(*Font::boldSystemFontOfSize(sizeOfFont));
}

Size NumberLabelsView::maxFigureSizeWithFont(const Font& font) {
    Size best(0, 0);
    for (char digit = '0'; digit <= '9'; ++digit) {
        const Size size(font.widthOfText(std::string(1, digit)), font.lineHeight());
        if (size.width >= best.width && size.height >= best.height) best = size;
    }
    return best;
}
