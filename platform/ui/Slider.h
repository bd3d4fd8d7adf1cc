#pragma once
// A horizontal slider: a value from 0 to 1 shown as a filled track with a square knob. A finger
// down anywhere on it moves the knob there, and a drag moves it along; the value changes as the
// finger moves and onValueChanged runs with each change (the last one when the finger lifts).
#include <functional>

#include "platform/ui/View.h"

class Slider : public View {
public:
    explicit Slider(const Rect& frame = {});

    double value() const { return value_; }
    // Clamped to 0..1; runs no handler.
    void setValue(double value);
    std::function<void(double)> onValueChanged;

    Color trackColor = Color::fromRGBA8(0x4a, 0x4e, 0x69);
    Color fillColor = Color::fromRGBA8(0xe8, 0xa2, 0x3a);
    Color knobColor = Color::fromRGBA8(0xf4, 0xf1, 0xe8);
    static constexpr double kKnobWidth = 10;

    void touchesBegan(const TouchSet& touches) override;
    void touchesMoved(const TouchSet& touches) override;
    void touchesEnded(const TouchSet& touches) override;
    void touchesCancelled(const TouchSet&) override {}
    void drawContent(DrawContext& context) const override;

private:
    void follow(const TouchSet& touches);
    double value_ = 0;
};
