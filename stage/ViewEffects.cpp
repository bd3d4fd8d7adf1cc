#include "stage/ViewEffects.h"

#include "platform/core/Random.h"

void ViewEffects::quakeWithCount(View& view, int count, double interval) {
    if (count < 1) return;
    const Point center = view.center();
    View* target = &view;
    view.performBlock([target, interval, count, center] { shaking(*target, interval, count, center); }, interval);
}

void ViewEffects::shaking(View& view, double interval, int count, Point center) {
    if (count % 2 == 0) {
        auto& random = RandomSource::shared();
        const auto b = static_cast<uint32_t>(count);
        const double dx = static_cast<double>(random.uniform(b)) - count / 2;
        const double dy = static_cast<double>(random.uniform(b)) - count / 2;
        view.setCenter({center.x + dx, center.y + dy});
    } else {
        view.setCenter(center);
    }
    if (count - 1 >= 1) {
        View* target = &view;
        view.performBlock([target, interval, count, center] { shaking(*target, interval, count - 1, center); }, interval);
    }
}
