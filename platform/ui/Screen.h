#pragma once
// The phone's screen: 320 x 480 points, or 320 x 568 for the tall variant, chosen at start.
// Drawn at 2 pixels per point.
#include "platform/ui/Geometry.h"

class Screen {
public:
    static Screen& mainScreen();
    Rect bounds() const { return {0, 0, 320, height_}; }
    double scale() const { return 2.0; }
    // 480 or 568 (other values are taken as they are).
    void setHeight(double height) { height_ = height; }
    bool isTall() const { return height_ > 480; }

private:
    double height_ = 480;
};
