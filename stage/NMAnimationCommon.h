#pragma once
// The stock entry and exit animations of panels and overlays, and the two-phase throw of a
// collected yield. Class operations only; nothing is kept between calls.
//
// Stock animation types (h = the view's frame height, p = the target centre):
//   0 slide in from above    1 slide in from below    2 slide out upwards   3 slide out downwards
//   4 bounce in from below (overshoots to 1.05 p.y, then 0.95, 1.02 and p.y, 0.1 s each)
//   5 grow in                6 shrink out (ends transparent, still shown)
//   7 grow in with a bounce (scale 0.95, 1.02, then no transform, 0.1 s each)
// Main steps take 0.25 s. Types 0-4 need the point form; the point form hands 5 and 6 on to the
// form without a point. Any other type does nothing more and never calls the block.
// With allowInteraction false the window's touches are off from the start until the last step
// has ended; the block (when given) runs after that.
#include <functional>

#include "platform/ui/View.h"

class NMAnimationCommon {
public:
    NMAnimationCommon() = delete;

    using Block = std::function<void()>;

    // The stock animation types; any other number does nothing.
    enum AnimationType : int {
        kSlideInFromAbove = 0,
        kSlideInFromBelow = 1,
        kSlideOutUpwards = 2,
        kSlideOutDownwards = 3,
        kBounceInFromBelow = 4,
        kGrowIn = 5,
        kShrinkOut = 6,
        kGrowInWithBounce = 7,  // the pop-in of overlays, balloons and panels
    };

    static void animateView(View& view, Point targetPos, int animationType, bool allowInteraction, Block block = {});
    static void animateView(View& view, int animationType, bool allowInteraction, Block block = {});

    // Throws the view: over 0.3 s (ease out) it grows to scaleRate and rises to (targetX,
    // targetY1); 0.1 s later it falls (ease in) to (targetX, targetY2) in 0.4 s, longer for falls
    // over 320 points (0.4 s per 320 points). Then the block. Touches stay on throughout. The
    // view keeps the rotation it had: a monster carried upside down flies upside down.
    static void startThrowView(View& view, double scaleRate, double targetX, double targetY1, double targetY2, Block block = {});

    // The fall time of a throw from targetY1 to targetY2.
    static double throwFallDuration(double targetY1, double targetY2);

    // Durations of the stock animations' steps.
    static constexpr double kMainStepDuration = 0.25;
    static constexpr double kBounceStepDuration = 0.1;
};
