#pragma once
// What a view draws its content with. Coordinates are the view's own (its bounds); the renderer
// applies the accumulated transform, the opacity multiplied down the tree and any clipping.
#include <string>

#include "platform/ui/Color.h"
#include "platform/ui/Geometry.h"

class Image;
class Font;

class DrawContext {
public:
    virtual ~DrawContext() = default;
    virtual void fillRect(const Rect& rect, Color color) = 0;
    // The whole picture stretched over the rectangle.
    virtual void drawImage(const Image& image, const Rect& rect) = 0;
    // One line of text with its top-left corner at `origin`.
    virtual void drawText(const std::string& text, const Font& font, Color color, Point origin) = 0;
    // The instant being drawn (the main run loop's clock).
    virtual double now() const = 0;
};
