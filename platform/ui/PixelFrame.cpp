#include "platform/ui/PixelFrame.h"

#include <cmath>

#include "platform/ui/GamePalette.h"

namespace PixelFrame {

Rect snapped(const Rect& r) {
    const double x0 = std::round(r.minX()), y0 = std::round(r.minY());
    const double x1 = std::round(r.maxX()), y1 = std::round(r.maxY());
    return {x0, y0, x1 - x0, y1 - y0};
}

void drawBevelBox(DrawContext& c, const Rect& rect, const BevelColors& colors) {
    const Rect r = snapped(rect);
    const double x = r.minX(), y = r.minY(), w = r.width(), h = r.height();
    if (w < 6 || h < 6) {
        c.fillRect(r, colors.outline);
        return;
    }
    // Outline: straight edges stop two points short of each corner, one point sits diagonally
    // inside, so the corners read round.
    c.fillRect({x + 2, y, w - 4, 1}, colors.outline);
    c.fillRect({x + 2, y + h - 1, w - 4, 1}, colors.outline);
    c.fillRect({x, y + 2, 1, h - 4}, colors.outline);
    c.fillRect({x + w - 1, y + 2, 1, h - 4}, colors.outline);
    c.fillRect({x + 1, y + 1, 1, 1}, colors.outline);
    c.fillRect({x + w - 2, y + 1, 1, 1}, colors.outline);
    c.fillRect({x + 1, y + h - 2, 1, 1}, colors.outline);
    c.fillRect({x + w - 2, y + h - 2, 1, 1}, colors.outline);
    // Fill inside the outline.
    c.fillRect({x + 2, y + 1, w - 4, h - 2}, colors.fill);
    c.fillRect({x + 1, y + 2, 1, h - 4}, colors.fill);
    c.fillRect({x + w - 2, y + 2, 1, h - 4}, colors.fill);
    // Rims: light along the top and left, shade along the bottom and right.
    c.fillRect({x + 2, y + 1, w - 4, 1}, colors.light);
    c.fillRect({x + 1, y + 2, 1, h - 4}, colors.light);
    c.fillRect({x + 2, y + h - 2, w - 4, 1}, colors.shade);
    c.fillRect({x + w - 2, y + 2, 1, h - 4}, colors.shade);
}

Rect drawDialogPanel(DrawContext& c, const Rect& rect) {
    const Rect r = snapped(rect);
    // Shadow first, two points down and right, half see-through.
    c.fillRect({r.minX() + 3, r.maxY(), r.width() - 3, 2}, GamePalette::ink.withAlpha(0.45f));
    c.fillRect({r.maxX(), r.minY() + 3, 2, r.height() - 1}, GamePalette::ink.withAlpha(0.45f));
    drawBevelBox(c, r, {GamePalette::ink, GamePalette::gold, GamePalette::goldLight, GamePalette::goldDark});
    // Rivets in the frame's corners.
    for (const Point p : {Point(r.minX() + 3, r.minY() + 3), Point(r.maxX() - 4, r.minY() + 3),
                          Point(r.minX() + 3, r.maxY() - 4), Point(r.maxX() - 4, r.maxY() - 4)})
        c.fillRect({p.x, p.y, 1, 1}, GamePalette::cream);
    // Parchment inside a thin brown line.
    const Rect line = r.insetBy(5, 5);
    c.fillRect(line, GamePalette::brownDark);
    const Rect paper = line.insetBy(1, 1);
    c.fillRect(paper, GamePalette::cream);
    // A faint shadow along the parchment's top and left, where the frame overhangs it.
    c.fillRect({paper.minX(), paper.minY(), paper.width(), 1}, GamePalette::goldLight);
    return paper;
}

void drawDarkBox(DrawContext& c, const Rect& rect) {
    drawBevelBox(c, rect, {GamePalette::ink, GamePalette::night, GamePalette::stoneDark, GamePalette::ink});
}

}  // namespace PixelFrame
