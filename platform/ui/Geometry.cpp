#include "platform/ui/Geometry.h"

#include <algorithm>
#include <numbers>

Rect Rect::intersection(const Rect& r) const {
    const double x0 = std::max(minX(), r.minX()), y0 = std::max(minY(), r.minY());
    const double x1 = std::min(maxX(), r.maxX()), y1 = std::min(maxY(), r.maxY());
    if (x1 <= x0 || y1 <= y0) return {};
    return {x0, y0, x1 - x0, y1 - y0};
}

Rect Rect::unionWith(const Rect& r) const {
    if (isEmpty()) return r;
    if (r.isEmpty()) return *this;
    const double x0 = std::min(minX(), r.minX()), y0 = std::min(minY(), r.minY());
    const double x1 = std::max(maxX(), r.maxX()), y1 = std::max(maxY(), r.maxY());
    return {x0, y0, x1 - x0, y1 - y0};
}

Transform Transform::concat(const Transform& t) const {
    return {a * t.a + b * t.c,           a * t.b + b * t.d,
            c * t.a + d * t.c,           c * t.b + d * t.d,
            tx * t.a + ty * t.c + t.tx,  tx * t.b + ty * t.d + t.ty};
}

Transform Transform::inverted() const {
    const double det = a * d - b * c;
    if (det == 0) return *this;
    const double ia = d / det, ib = -b / det, ic = -c / det, id = a / det;
    return {ia, ib, ic, id, -(tx * ia + ty * ic), -(tx * ib + ty * id)};
}

Rect Transform::apply(const Rect& r) const {
    const Point p[4] = {apply(Point(r.minX(), r.minY())), apply(Point(r.maxX(), r.minY())),
                        apply(Point(r.minX(), r.maxY())), apply(Point(r.maxX(), r.maxY()))};
    double x0 = p[0].x, x1 = p[0].x, y0 = p[0].y, y1 = p[0].y;
    for (const auto& q : p) {
        x0 = std::min(x0, q.x);
        x1 = std::max(x1, q.x);
        y0 = std::min(y0, q.y);
        y1 = std::max(y1, q.y);
    }
    return {x0, y0, x1 - x0, y1 - y0};
}

double Transform::scaleY() const {
    const double sx = scaleX();
    return sx == 0 ? std::sqrt(c * c + d * d) : (a * d - b * c) / sx;
}

Transform Transform::fromParts(double sx, double sy, double radians, double dx, double dy) {
    Transform t = makeScale(sx, sy).concat(makeRotation(radians));
    t.tx = dx;
    t.ty = dy;
    return t;
}

Transform Transform::interpolate(const Transform& from, const Transform& to, double t) {
    const double r0 = from.rotation();
    double r1 = to.rotation();
    const double pi = std::numbers::pi;
    while (r1 - r0 > pi) r1 -= 2 * pi;
    while (r1 - r0 < -pi) r1 += 2 * pi;
    auto mix = [t](double x, double y) { return x + (y - x) * t; };
    return fromParts(mix(from.scaleX(), to.scaleX()), mix(from.scaleY(), to.scaleY()), mix(r0, r1),
                     mix(from.tx, to.tx), mix(from.ty, to.ty));
}

bool Transform::approxEquals(const Transform& o, double eps) const {
    auto near = [eps](double x, double y) { return std::abs(x - y) <= eps; };
    return near(a, o.a) && near(b, o.b) && near(c, o.c) && near(d, o.d) && near(tx, o.tx) && near(ty, o.ty);
}
