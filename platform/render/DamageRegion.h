#pragma once
// Internal to the render back ends: the part of the target that must be drawn again, as a few
// pixel rectangles. Rectangles that touch are merged; past a handful the pair that grows least
// when joined is merged, so one bobbing yield in each corner costs four small patches, not the
// whole screen.
#include <cstddef>
#include <vector>

// A rectangle of whole pixels, laid out as PixelRect.
struct PixelRect {
    int x = 0, y = 0, w = 0, h = 0;
    bool operator==(const PixelRect&) const = default;
    bool intersects(const PixelRect& o) const { return w > 0 && h > 0 && o.w > 0 && o.h > 0 && x < o.x + o.w && o.x < x + w && y < o.y + o.h && o.y < y + h; }
    // Empty (w or h 0) when they do not meet.
    PixelRect intersection(const PixelRect& o) const;
    PixelRect unionWith(const PixelRect& o) const;
};

class DamageRegion {
public:
    // The target the rectangles are kept inside.
    void setBounds(int width, int height);
    void add(PixelRect rect);
    void addAll() { add(PixelRect{0, 0, width_, height_}); }
    void clear() { rects_.clear(); }
    bool isEmpty() const { return rects_.empty(); }
    bool coversAll() const;
    const std::vector<PixelRect>& rects() const { return rects_; }
    // Pixels covered (the rectangles never overlap: touching ones are merged).
    long area() const;

    static constexpr size_t kMaxRects = 8;

private:
    void absorb(PixelRect rect);
    std::vector<PixelRect> rects_;
    int width_ = 0;
    int height_ = 0;
};
