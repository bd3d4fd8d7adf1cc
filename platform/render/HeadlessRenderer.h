#pragma once
// The headless back end: SDL's software renderer drawing into an offscreen surface, with no
// display. Renders a view tree at 2 pixels per point, reads pixels back and writes PNG files.
// Used by tests, benchmarks and `--headless --screenshot FILE`.
#include <memory>
#include <string>
#include <utility>

#include "platform/ui/Color.h"
#include "platform/ui/Geometry.h"

class View;
class Window;

class HeadlessRenderer {
public:
    // A target of `points` x `scale` pixels (the screen: 320 x 480 points -> 640 x 960).
    explicit HeadlessRenderer(Size points, double scale = 2.0);
    ~HeadlessRenderer();
    HeadlessRenderer(const HeadlessRenderer&) = delete;
    HeadlessRenderer& operator=(const HeadlessRenderer&) = delete;

    bool isValid() const;
    int pixelWidth() const;
    int pixelHeight() const;
    double scale() const { return scale_; }

    // Draws the tree as it looks at RunLoop::main().now(); the root covers the target.
    void render(const View& root, Color clearColor = Color::black());
    // Draws only what changed in `window` since this renderer's last frame of it, over the
    // pixels kept from that frame (see SdlDrawer::drawChanges); the pixels changed.
    long renderChanges(Window& window, Color clearColor = Color::black());
    // The first pixel where the two last frames differ (x, y), or (-1, -1) when they are equal.
    std::pair<int, int> firstDifference(const HeadlessRenderer& other) const;
    // A pixel of the last frame, by pixel or by point (the pixel at the point's top-left).
    Color pixelAt(int x, int y) const;
    Color colorAtPoint(Point p) const { return pixelAt(static_cast<int>(p.x * scale_), static_cast<int>(p.y * scale_)); }
    // Writes the last frame as a PNG; false (with a message on the error output) on failure.
    bool writePNG(const std::string& path) const;
    int drawCallsLastFrame() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    double scale_;
};
