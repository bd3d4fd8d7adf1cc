#pragma once
// A button drawn in the game's pixel style: a rounded, outlined box with a light top rim and a
// dark lower rim, and its title in the dot font. Pressed, the face sinks one point and darkens.
// `primary` is the royal red of confirming buttons, `secondary` the grey stone of cancelling.
#include "platform/ui/Button.h"

class PanelButton : public Button {
public:
    enum class Style { primary, secondary };

    explicit PanelButton(const Rect& frame = {}, Style style = Style::primary);

    Style style() const { return style_; }
    void setStyle(Style style);

    void drawContent(DrawContext& context) const override;

protected:
    void boundsDidChange() override;

private:
    void applyTitleLook();
    Style style_;
};
