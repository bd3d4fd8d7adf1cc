#include "platform/ui/Slider.h"

#include <algorithm>

#include "platform/ui/DrawContext.h"

Slider::Slider(const Rect& frame) : View(frame) {}

void Slider::setValue(double value) {
    value_ = std::clamp(value, 0.0, 1.0);
    setNeedsDisplay();
}

void Slider::follow(const TouchSet& touches) {
    const Touch* touch = touches.anyObject();
    if (!touch) return;
    const double travel = bounds().width() - kKnobWidth;
    if (travel <= 0) return;
    const double x = touch->locationInView(this).x - bounds().minX() - kKnobWidth / 2;
    const double next = std::clamp(x / travel, 0.0, 1.0);
    if (next == value_) return;
    setValue(next);
    if (onValueChanged) onValueChanged(value_);
}

void Slider::touchesBegan(const TouchSet& touches) { follow(touches); }
void Slider::touchesMoved(const TouchSet& touches) { follow(touches); }
void Slider::touchesEnded(const TouchSet& touches) { follow(touches); }

void Slider::drawContent(DrawContext& context) const {
    const Rect b = bounds();
    const double trackHeight = 4;
    const double trackY = b.minY() + (b.height() - trackHeight) / 2;
    const double travel = std::max(0.0, b.width() - kKnobWidth);
    const double knobX = b.minX() + travel * value_;
    context.fillRect(Rect(b.minX(), trackY, b.width(), trackHeight), trackColor);
    context.fillRect(Rect(b.minX(), trackY, knobX - b.minX() + kKnobWidth / 2, trackHeight), fillColor);
    context.fillRect(Rect(knobX, b.minY(), kKnobWidth, b.height()), knobColor);
}
