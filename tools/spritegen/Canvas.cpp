#include "Canvas.h"

#include <algorithm>
#include <cmath>

namespace spritegen {

Canvas::Canvas(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height) {}

void Canvas::plot(int x, int y, Rgba c, bool replace) {
  if (!contains(x, y)) return;
  Rgba& d = pixels_[index(x, y)];
  if (replace || c.a == 255 || d.a == 0) {
    if (replace || c.a > 0) d = c;
    return;
  }
  if (c.a == 0) return;
  double sa = c.a / 255.0, da = d.a / 255.0;
  double oa = sa + da * (1 - sa);
  auto mix = [&](uint8_t s, uint8_t t) {
    return static_cast<uint8_t>(std::lround((s * sa + t * da * (1 - sa)) / oa));
  };
  d = Rgba{mix(c.r, d.r), mix(c.g, d.g), mix(c.b, d.b), static_cast<uint8_t>(std::lround(oa * 255))};
}

void Canvas::fillRect(int x, int y, int w, int h, Rgba c, bool replace) {
  for (int j = y; j < y + h; ++j)
    for (int i = x; i < x + w; ++i) plot(i, j, c, replace);
}

void Canvas::fillEllipse(double cx, double cy, double rx, double ry, Rgba c, bool replace) {
  // Pixel (x, y) is inside when its index lies within the ellipse grown by half a pixel,
  // so that radius r gives a shape 2r + 1 pixels across around an integer centre.
  double ax = rx + 0.5, ay = ry + 0.5;
  int x0 = static_cast<int>(std::floor(cx - ax)), x1 = static_cast<int>(std::ceil(cx + ax));
  int y0 = static_cast<int>(std::floor(cy - ay)), y1 = static_cast<int>(std::ceil(cy + ay));
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      double dx = (x - cx) / ax, dy = (y - cy) / ay;
      if (dx * dx + dy * dy <= 1.0) plot(x, y, c, replace);
    }
}

void Canvas::fillPolygon(const std::vector<double>& xy, Rgba c, bool replace) {
  size_t n = xy.size() / 2;
  if (n < 3) return;
  double minY = xy[1], maxY = xy[1], minX = xy[0], maxX = xy[0];
  for (size_t i = 0; i < n; ++i) {
    minX = std::min(minX, xy[2 * i]); maxX = std::max(maxX, xy[2 * i]);
    minY = std::min(minY, xy[2 * i + 1]); maxY = std::max(maxY, xy[2 * i + 1]);
  }
  Canvas mask(width_, height_);
  Rgba on{255, 255, 255, 255};
  for (int y = static_cast<int>(std::floor(minY)); y <= static_cast<int>(std::ceil(maxY)); ++y)
    for (int x = static_cast<int>(std::floor(minX)); x <= static_cast<int>(std::ceil(maxX)); ++x) {
      bool inside = false;
      for (size_t i = 0, j = n - 1; i < n; j = i++) {
        double xi = xy[2 * i], yi = xy[2 * i + 1], xj = xy[2 * j], yj = xy[2 * j + 1];
        if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
      }
      if (inside) mask.set(x, y, on);
    }
  // The edges belong to the polygon too, so thin slivers keep their outline.
  for (size_t i = 0, j = n - 1; i < n; j = i++)
    mask.drawLine(xy[2 * j], xy[2 * j + 1], xy[2 * i], xy[2 * i + 1], 1, on, true);
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x)
      if (mask.at(x, y).a) plot(x, y, c, replace);
}

void Canvas::drawLine(double x1, double y1, double x2, double y2, int width, Rgba c, bool replace) {
  int ax = static_cast<int>(std::lround(x1)), ay = static_cast<int>(std::lround(y1));
  int bx = static_cast<int>(std::lround(x2)), by = static_cast<int>(std::lround(y2));
  int dx = std::abs(bx - ax), dy = -std::abs(by - ay);
  int sx = ax < bx ? 1 : -1, sy = ay < by ? 1 : -1;
  int err = dx + dy;
  double r = (width - 1) / 2.0;
  for (;;) {
    if (width <= 1) plot(ax, ay, c, replace);
    else fillEllipse(ax, ay, r - 0.5, r - 0.5, c, replace);
    if (ax == bx && ay == by) break;
    int e2 = 2 * err;
    if (e2 >= dy) { err += dy; ax += sx; }
    if (e2 <= dx) { err += dx; ay += sy; }
  }
}

void Canvas::blit(const Canvas& src, int x, int y, bool flipX, bool flipY, double opacity) {
  for (int j = 0; j < src.height(); ++j)
    for (int i = 0; i < src.width(); ++i) {
      Rgba p = src.at(flipX ? src.width() - 1 - i : i, flipY ? src.height() - 1 - j : j);
      if (p.a == 0) continue;
      p.a = static_cast<uint8_t>(std::lround(p.a * std::clamp(opacity, 0.0, 1.0)));
      plot(x + i, y + j, p);
    }
}

void Canvas::outline(Rgba c, bool eightNeighbours) {
  std::vector<Rgba> out = pixels_;
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      if (pixels_[index(x, y)].a != 0) continue;
      bool touch = false;
      for (int dy = -1; dy <= 1 && !touch; ++dy)
        for (int dx = -1; dx <= 1 && !touch; ++dx) {
          if ((dx == 0 && dy == 0) || (!eightNeighbours && dx != 0 && dy != 0)) continue;
          Rgba n = at(x + dx, y + dy);
          if (n.a >= 128 && !(n == c)) touch = true;
        }
      if (touch) out[index(x, y)] = c;
    }
  pixels_ = std::move(out);
}

void Canvas::recolor(Rgba from, Rgba to) {
  for (Rgba& p : pixels_)
    if (p == from) p = to;
}

void Canvas::fade(double factor) {
  for (Rgba& p : pixels_) p.a = static_cast<uint8_t>(std::lround(p.a * std::clamp(factor, 0.0, 1.0)));
}

void Canvas::mirrorX() {
  for (int y = 0; y < height_; ++y)
    std::reverse(pixels_.begin() + index(0, y), pixels_.begin() + index(0, y) + width_);
}

void Canvas::mirrorLeft(int axis2) {
  for (int y = 0; y < height_; ++y)
    for (int x = 0; 2 * x < axis2; ++x) {
      int m = axis2 - x;
      if (m != x) set(m, y, at(x, y));
    }
}

Canvas Canvas::scaled(int factor) const {
  Canvas out(width_ * factor, height_ * factor);
  for (int y = 0; y < out.height_; ++y)
    for (int x = 0; x < out.width_; ++x) out.pixels_[out.index(x, y)] = at(x / factor, y / factor);
  return out;
}

}  // namespace spritegen
