#pragma once
// Pixel-art boxes drawn with filled rectangles on the point grid (one art pixel is one point):
// a 1-point ink outline with cut corners, a fill, a lighter rim on the top and left and a
// darker rim on the bottom and right, as the pictures are shaded (light from the top left).
#include "platform/ui/Color.h"
#include "platform/ui/DrawContext.h"
#include "platform/ui/Geometry.h"

struct BevelColors {
    Color outline;
    Color fill;
    Color light;
    Color shade;
};

namespace PixelFrame {
// Snaps a rectangle to whole points (the art grid).
Rect snapped(const Rect& r);
// A rounded box: outline with its corner points cut, fill, light and shade rims.
void drawBevelBox(DrawContext& context, const Rect& rect, const BevelColors& colors);
// The dialogue panel: a gold frame around cream parchment with a thin brown line inside, and a
// soft ink shadow below and to the right. Returns the parchment's rectangle.
Rect drawDialogPanel(DrawContext& context, const Rect& rect);
// A dark box for indicators: ink outline, night fill, stone rims (opaque; fade the view).
void drawDarkBox(DrawContext& context, const Rect& rect);
}  // namespace PixelFrame
