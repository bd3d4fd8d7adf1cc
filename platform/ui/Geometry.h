#pragma once
// Points, sizes, rectangles and affine transforms in points, y growing downwards.
#include <cmath>

struct Point {
    double x = 0;
    double y = 0;
    constexpr Point() = default;
    constexpr Point(double px, double py) : x(px), y(py) {}
    constexpr Point operator+(Point o) const { return {x + o.x, y + o.y}; }
    constexpr Point operator-(Point o) const { return {x - o.x, y - o.y}; }
    constexpr Point operator*(double s) const { return {x * s, y * s}; }
    constexpr bool operator==(const Point&) const = default;
};

struct Size {
    double width = 0;
    double height = 0;
    constexpr Size() = default;
    constexpr Size(double w, double h) : width(w), height(h) {}
    constexpr bool operator==(const Size&) const = default;
    constexpr bool isEmpty() const { return width <= 0 || height <= 0; }
};

struct Rect {
    Point origin;
    Size size;
    constexpr Rect() = default;
    constexpr Rect(double x, double y, double w, double h) : origin(x, y), size(w, h) {}
    constexpr Rect(Point o, Size s) : origin(o), size(s) {}
    constexpr bool operator==(const Rect&) const = default;

    constexpr double minX() const { return origin.x; }
    constexpr double minY() const { return origin.y; }
    constexpr double maxX() const { return origin.x + size.width; }
    constexpr double maxY() const { return origin.y + size.height; }
    constexpr double midX() const { return origin.x + size.width / 2; }
    constexpr double midY() const { return origin.y + size.height / 2; }
    constexpr double width() const { return size.width; }
    constexpr double height() const { return size.height; }
    constexpr Point center() const { return {midX(), midY()}; }
    constexpr bool isEmpty() const { return size.isEmpty(); }

    // Edges included on the top and left, excluded on the bottom and right (as hit testing does).
    constexpr bool contains(Point p) const { return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY(); }
    constexpr bool intersects(const Rect& r) const {
        return !isEmpty() && !r.isEmpty() && minX() < r.maxX() && r.minX() < maxX() && minY() < r.maxY() && r.minY() < maxY();
    }
    Rect intersection(const Rect& r) const;
    Rect unionWith(const Rect& r) const;
    // Shrinks by dx on the left and right and dy on the top and bottom (negative grows).
    constexpr Rect insetBy(double dx, double dy) const {
        return {origin.x + dx, origin.y + dy, size.width - 2 * dx, size.height - 2 * dy};
    }
    constexpr Rect offsetBy(double dx, double dy) const { return {origin.x + dx, origin.y + dy, size.width, size.height}; }
    static constexpr Rect withCenter(Point c, Size s) { return {c.x - s.width / 2, c.y - s.height / 2, s.width, s.height}; }
};

// An affine transform: x' = a x + c y + tx, y' = b x + d y + ty (the phone's layout).
// Views use it for scale and rotation about their centre; translation is kept for completeness.
struct Transform {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

    static constexpr Transform identity() { return {}; }
    static Transform makeScale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
    static Transform makeRotation(double radians) {
        const double cs = std::cos(radians), sn = std::sin(radians);
        return {cs, sn, -sn, cs, 0, 0};
    }
    static Transform makeTranslation(double dx, double dy) { return {1, 0, 0, 1, dx, dy}; }

    bool isIdentity() const { return a == 1 && b == 0 && c == 0 && d == 1 && tx == 0 && ty == 0; }
    // No rotation or shear: rectangles stay axis-aligned.
    bool isAxisAligned() const { return b == 0 && c == 0; }
    // This transform followed by `then` (the phone's CGAffineTransformConcat(this, then)).
    Transform concat(const Transform& then) const;
    Transform scaled(double sx, double sy) const { return makeScale(sx, sy).concat(*this); }
    Transform rotated(double radians) const { return makeRotation(radians).concat(*this); }
    Transform inverted() const;
    Point apply(Point p) const { return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty}; }
    // Bounding box of the transformed rectangle.
    Rect apply(const Rect& r) const;

    // Decomposition into scale, then rotation, then translation (no shear kept).
    double scaleX() const { return std::sqrt(a * a + b * b); }
    double scaleY() const;  // negative when the transform mirrors
    double rotation() const { return std::atan2(b, a); }
    static Transform fromParts(double sx, double sy, double radians, double dx, double dy);
    // Interpolates the decomposed parts; rotation takes the shorter way round.
    static Transform interpolate(const Transform& from, const Transform& to, double t);
    bool approxEquals(const Transform& o, double eps = 1e-9) const;
    bool operator==(const Transform&) const = default;
};
