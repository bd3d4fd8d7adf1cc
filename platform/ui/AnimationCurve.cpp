#include "platform/ui/AnimationCurve.h"

#include <cmath>

namespace {

// A cubic Bézier from (0,0) to (1,1) with control points (x1,y1) and (x2,y2).
double bezier(double x1, double y1, double x2, double y2, double x) {
    auto coord = [](double p1, double p2, double s) {
        const double u = 1 - s;
        return 3 * u * u * s * p1 + 3 * u * s * s * p2 + s * s * s;
    };
    auto slope = [](double p1, double p2, double s) {
        const double u = 1 - s;
        return 3 * u * u * p1 + 6 * u * s * (p2 - p1) + 3 * s * s * (1 - p2);
    };
    // Newton steps, then bisection when the slope is too flat.
    double s = x;
    for (int i = 0; i < 8; ++i) {
        const double err = coord(x1, x2, s) - x;
        if (std::abs(err) < 1e-7) return coord(y1, y2, s);
        const double d = slope(x1, x2, s);
        if (std::abs(d) < 1e-6) break;
        s -= err / d;
    }
    double lo = 0, hi = 1;
    s = x;
    for (int i = 0; i < 40; ++i) {
        const double v = coord(x1, x2, s);
        if (std::abs(v - x) < 1e-7) break;
        if (v < x) lo = s; else hi = s;
        s = (lo + hi) / 2;
    }
    return coord(y1, y2, s);
}

}  // namespace

double applyAnimationCurve(AnimationCurve curve, double t) {
    if (t <= 0) return 0;
    if (t >= 1) return 1;
    switch (curve) {
    case AnimationCurve::linear: return t;
    case AnimationCurve::easeIn: return bezier(0.42, 0, 1, 1, t);
    case AnimationCurve::easeOut: return bezier(0, 0, 0.58, 1, t);
    case AnimationCurve::easeInOut: return bezier(0.42, 0, 0.58, 1, t);
    }
    return t;
}
