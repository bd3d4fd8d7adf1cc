#include "platform/render/DamageRegion.h"

#include <algorithm>
#include <limits>

PixelRect PixelRect::intersection(const PixelRect& o) const {
    const int x0 = std::max(x, o.x), y0 = std::max(y, o.y);
    const int x1 = std::min(x + w, o.x + o.w), y1 = std::min(y + h, o.y + o.h);
    if (x1 <= x0 || y1 <= y0) return PixelRect{};
    return PixelRect{x0, y0, x1 - x0, y1 - y0};
}

PixelRect PixelRect::unionWith(const PixelRect& o) const {
    const int x0 = std::min(x, o.x), y0 = std::min(y, o.y);
    return PixelRect{x0, y0, std::max(x + w, o.x + o.w) - x0, std::max(y + h, o.y + o.h) - y0};
}

namespace {
long areaOf(const PixelRect& r) { return static_cast<long>(r.w) * r.h; }

PixelRect unite(const PixelRect& a, const PixelRect& b) { return a.unionWith(b); }

// Overlapping or sharing an edge: joined they cost no more than apart.
bool touches(const PixelRect& a, const PixelRect& b) {
    return a.x <= b.x + b.w && b.x <= a.x + a.w && a.y <= b.y + b.h && b.y <= a.y + a.h;
}
}  // namespace

void DamageRegion::setBounds(int width, int height) {
    width_ = width;
    height_ = height;
    rects_.clear();
}

bool DamageRegion::coversAll() const {
    for (const auto& r : rects_)
        if (r.x <= 0 && r.y <= 0 && r.x + r.w >= width_ && r.y + r.h >= height_) return true;
    return false;
}

long DamageRegion::area() const {
    long sum = 0;
    for (const auto& r : rects_) sum += areaOf(r);
    return sum;
}

void DamageRegion::add(PixelRect rect) {
    const PixelRect inside = rect.intersection(PixelRect{0, 0, width_, height_});
    if (inside.w <= 0) return;
    absorb(inside);
    while (rects_.size() > kMaxRects) {
        // The pair whose union adds the fewest pixels becomes one.
        size_t bi = 0, bj = 1;
        long best = std::numeric_limits<long>::max();
        for (size_t i = 0; i < rects_.size(); ++i)
            for (size_t j = i + 1; j < rects_.size(); ++j) {
                const long growth = areaOf(unite(rects_[i], rects_[j])) - areaOf(rects_[i]) - areaOf(rects_[j]);
                if (growth < best) best = growth, bi = i, bj = j;
            }
        const PixelRect joined = unite(rects_[bi], rects_[bj]);
        rects_.erase(rects_.begin() + static_cast<std::ptrdiff_t>(bj));
        rects_.erase(rects_.begin() + static_cast<std::ptrdiff_t>(bi));
        absorb(joined);
    }
}

void DamageRegion::absorb(PixelRect rect) {
    // A joined rectangle may now touch others: keep joining until it stands alone.
    for (bool joined = true; joined;) {
        joined = false;
        for (size_t i = 0; i < rects_.size(); ++i) {
            if (!touches(rects_[i], rect)) continue;
            rect = unite(rects_[i], rect);
            rects_.erase(rects_.begin() + static_cast<std::ptrdiff_t>(i));
            joined = true;
            break;
        }
    }
    rects_.push_back(rect);
}
