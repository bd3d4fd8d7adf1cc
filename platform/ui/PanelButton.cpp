#include "platform/ui/PanelButton.h"

#include "platform/ui/GamePalette.h"
#include "platform/ui/PixelFrame.h"

namespace {
constexpr const char* kDotFont = "GD-DOTFONT-DQ-TTF";
constexpr double kTitleSize = 8;  // the dot font's own grid: 16 pixels at 2 pixels a point
}  // namespace

PanelButton::PanelButton(const Rect& frame, Style style) : Button(frame), style_(style) {
    titleLabel().setFont(kDotFont, kTitleSize);
    applyTitleLook();
}

void PanelButton::setStyle(Style style) {
    style_ = style;
    applyTitleLook();
    setNeedsDisplay();
}

void PanelButton::applyTitleLook() {
    const bool primary = style_ == Style::primary;
    setTitleColor(primary ? GamePalette::white : GamePalette::ink);
    setTitleColor(primary ? GamePalette::stoneLight : GamePalette::stoneDark, ControlState::highlighted);
    titleLabel().setShadowColor(primary ? GamePalette::redDark : Color::clear());
    titleLabel().setShadowOffset(Size(1, 1));
    boundsDidChange();
}

void PanelButton::boundsDidChange() {
    Button::boundsDidChange();
    // The title sits on the face, above the button's base.
    const Rect b = bounds();
    View::performWithoutAnimation([&] { titleLabel().setCenter(Point(b.midX(), b.midY() - 1)); });
}

void PanelButton::drawContent(DrawContext& context) const {
    const Rect b = bounds();
    const bool pressed = isHighlighted();
    BevelColors colors;
    if (style_ == Style::primary) {
        colors = {GamePalette::ink, GamePalette::red, GamePalette::redLight, GamePalette::redDark};
        if (pressed) colors = {GamePalette::ink, GamePalette::redDark, GamePalette::red, GamePalette::redDark};
    } else {
        colors = {GamePalette::ink, GamePalette::stoneLight, GamePalette::white, GamePalette::stone};
        if (pressed) colors = {GamePalette::ink, GamePalette::stone, GamePalette::stoneLight, GamePalette::stone};
    }
    if (!isEnabled()) colors.fill = colors.shade = colors.light = GamePalette::stone;
    // The face stands on a 2-point ink base.
    const Color k = GamePalette::ink;
    PixelFrame::drawBevelBox(context, {b.minX(), b.minY() + 2, b.width(), b.height() - 2}, {k, k, k, k});
    PixelFrame::drawBevelBox(context, {b.minX(), b.minY(), b.width(), b.height() - 2}, colors);
}
