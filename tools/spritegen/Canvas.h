#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace spritegen {

struct Rgba {
  uint8_t r = 0, g = 0, b = 0, a = 0;
  bool operator==(const Rgba&) const = default;
};

// A plain RGBA picture, one entry per pixel, not premultiplied.
class Canvas {
 public:
  Canvas() = default;
  Canvas(int width, int height);

  int width() const { return width_; }
  int height() const { return height_; }
  bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
  Rgba at(int x, int y) const { return contains(x, y) ? pixels_[index(x, y)] : Rgba{}; }
  const std::vector<Rgba>& pixels() const { return pixels_; }

  // Paints one pixel: source-over blending, or a plain replacement when `replace` is set
  // (used to erase with a transparent colour).
  void plot(int x, int y, Rgba c, bool replace = false);
  void set(int x, int y, Rgba c) { if (contains(x, y)) pixels_[index(x, y)] = c; }

  void fillRect(int x, int y, int w, int h, Rgba c, bool replace);
  void fillEllipse(double cx, double cy, double rx, double ry, Rgba c, bool replace);
  void fillPolygon(const std::vector<double>& xy, Rgba c, bool replace);
  void drawLine(double x1, double y1, double x2, double y2, int width, Rgba c, bool replace);

  // Draws `src` with its top-left corner at (x, y).
  void blit(const Canvas& src, int x, int y, bool flipX, bool flipY, double opacity);

  // Surrounds every visible shape with a one-pixel line of colour c (4 or 8 neighbours).
  void outline(Rgba c, bool eightNeighbours);
  // Pixels whose neighbour at (dx, dy) is empty or of colour `border` get map(colour).
  template <class F>
  void rim(int dx, int dy, Rgba border, F map) {
    std::vector<Rgba> out = pixels_;
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) {
        Rgba p = pixels_[index(x, y)];
        if (p.a == 0 || p == border) continue;
        Rgba n = at(x + dx, y + dy);
        if (n.a == 0 || n == border) out[index(x, y)] = map(p);
      }
    pixels_ = std::move(out);
  }
  void recolor(Rgba from, Rgba to);
  void fade(double factor);
  void mirrorX();
  // Copies the left side over the right side, mirrored about x = axis2 / 2.
  void mirrorLeft(int axis2);

  Canvas scaled(int factor) const;

 private:
  std::size_t index(int x, int y) const { return static_cast<std::size_t>(y) * width_ + x; }
  int width_ = 0;
  int height_ = 0;
  std::vector<Rgba> pixels_;
};

}  // namespace spritegen
