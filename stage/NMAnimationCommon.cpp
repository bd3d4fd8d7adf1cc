#include "stage/NMAnimationCommon.h"

#include <memory>
#include <vector>

#include "explore/NMCommon.h"

namespace {

struct Step {
    double duration;
    AnimationCurve curve;
    std::function<void(View&)> changes;
};

// Runs the steps one after another on the view, then `done`. Should the view die half-way the
// remaining steps are dropped, but `done` still runs, so touches never stay locked.
void runSteps(View& view, std::shared_ptr<std::vector<Step>> steps, size_t index, bool allowInteraction,
              std::function<void()> done) {
    if (index >= steps->size()) {
        if (done) done();
        return;
    }
    const Step& step = (*steps)[index];
    AnimationOptions options;
    options.curve = step.curve;
    options.allowUserInteraction = allowInteraction;
    View* target = &view;
    std::weak_ptr<void> alive = view.lifetime();
    View::animateWithDuration(
        step.duration, 0, options, [target, &step] { step.changes(*target); },
        [target, alive, steps, index, allowInteraction, done](bool) {
            if (alive.expired()) {
                if (done) done();
                return;
            }
            runSteps(*target, steps, index + 1, allowInteraction, done);
        });
}

std::function<void()> makeFinish(bool allowInteraction, NMAnimationCommon::Block block) {
    return [allowInteraction, block = std::move(block)] {
        if (!allowInteraction) NMCommon::enableUserInteraction();
        if (block) block();
    };
}

Step centerStep(double duration, AnimationCurve curve, Point center, bool opaque) {
    return {duration, curve, [center, opaque](View& v) {
                v.setCenter(center);
                if (opaque) v.setAlpha(1.0);
            }};
}

Step scaleStep(double duration, AnimationCurve curve, double scale, std::optional<double> alpha) {
    return {duration, curve, [scale, alpha](View& v) {
                v.setTransform(scale == 1.0 ? Transform::identity() : Transform::makeScale(scale, scale));
                if (alpha) v.setAlpha(*alpha);
            }};
}

}  // namespace

void NMAnimationCommon::animateView(View& view, Point p, int type, bool allowInteraction, Block block) {
    view.setHidden(false);
    if (type == kGrowIn || type == kShrinkOut) {
        animateView(view, type, allowInteraction, std::move(block));
        return;
    }
    if (type < kSlideInFromAbove || type > kBounceInFromBelow) return;

    const double h = view.frame().height();
    const double main = kMainStepDuration, bounce = kBounceStepDuration;
    auto steps = std::make_shared<std::vector<Step>>();
    switch (type) {
    case kSlideInFromAbove:
        view.setAlpha(0.0);
        view.setCenter({p.x, p.y - h});
        steps->push_back(centerStep(main, AnimationCurve::easeOut, p, true));
        break;
    case kSlideInFromBelow:
        view.setAlpha(0.0);
        view.setCenter({p.x, p.y + h});
        steps->push_back(centerStep(main, AnimationCurve::easeOut, p, true));
        break;
    case kSlideOutUpwards:
        view.setAlpha(1.0);
        view.setCenter(p);
        steps->push_back(centerStep(main, AnimationCurve::easeIn, {p.x, p.y - h}, false));
        break;
    case kSlideOutDownwards:
        view.setAlpha(1.0);
        view.setCenter(p);
        steps->push_back(centerStep(main, AnimationCurve::easeIn, {p.x, p.y + h}, false));
        break;
    case kBounceInFromBelow:  // the overshoot grows with the target's y
        view.setAlpha(0.0);
        view.setCenter({p.x, p.y + h});
        steps->push_back(centerStep(main, AnimationCurve::easeOut, {p.x, 1.05 * p.y}, true));
        steps->push_back(centerStep(bounce, AnimationCurve::easeInOut, {p.x, 0.95 * p.y}, false));
        steps->push_back(centerStep(bounce, AnimationCurve::easeInOut, {p.x, 1.02 * p.y}, false));
        steps->push_back(centerStep(bounce, AnimationCurve::easeInOut, p, false));
        break;
    }
    if (!allowInteraction) NMCommon::disableUserInteraction();
    runSteps(view, steps, 0, allowInteraction, makeFinish(allowInteraction, std::move(block)));
}

void NMAnimationCommon::animateView(View& view, int type, bool allowInteraction, Block block) {
    if (type == kGrowIn || type == kGrowInWithBounce) view.setHidden(false);
    if (type < kGrowIn || type > kGrowInWithBounce) return;

    const double main = kMainStepDuration, bounce = kBounceStepDuration;
    auto steps = std::make_shared<std::vector<Step>>();
    if (type == kShrinkOut) {
        view.setAlpha(1.0);
        view.setTransform(Transform::identity());
        steps->push_back(scaleStep(main, AnimationCurve::easeIn, 0.1, 0.0));
    } else {
        view.setAlpha(0.0);
        view.setTransform(Transform::makeScale(0.00001, 0.00001));
        steps->push_back(scaleStep(main, AnimationCurve::easeOut, 1.0, 1.0));
        if (type == kGrowInWithBounce) {
            steps->push_back(scaleStep(bounce, AnimationCurve::easeInOut, 0.95, std::nullopt));
            steps->push_back(scaleStep(bounce, AnimationCurve::easeInOut, 1.02, std::nullopt));
            steps->push_back(scaleStep(bounce, AnimationCurve::easeInOut, 1.0, std::nullopt));
        }
    }
    if (!allowInteraction) NMCommon::disableUserInteraction();
    runSteps(view, steps, 0, allowInteraction, makeFinish(allowInteraction, std::move(block)));
}

double NMAnimationCommon::throwFallDuration(double targetY1, double targetY2) {
    const double ratio = (targetY2 - targetY1) / 320.0;
    return ratio < 1.0 ? 0.4 : 0.4 * ratio;
}

void NMAnimationCommon::startThrowView(View& view, double scaleRate, double targetX, double targetY1, double targetY2,
                                       Block block) {
    View* target = &view;
    std::weak_ptr<void> alive = view.lifetime();
    AnimationOptions rise;
    rise.curve = AnimationCurve::easeOut;
    rise.allowUserInteraction = true;
    View::animateWithDuration(
        0.3, 0, rise,
        [target, scaleRate, targetX, targetY1] {
            const Transform now = target->transform();
            target->setTransform(Transform::fromParts(scaleRate, scaleRate, now.rotation(), now.tx, now.ty));
            target->setCenter({targetX, targetY1});
        },
        [target, alive, targetX, targetY1, targetY2, block](bool) {
            if (alive.expired()) {
                if (block) block();
                return;
            }
            AnimationOptions fall;
            fall.curve = AnimationCurve::easeIn;
            fall.allowUserInteraction = true;
            View::animateWithDuration(
                throwFallDuration(targetY1, targetY2), 0.1, fall, [target, targetX, targetY2] { target->setCenter({targetX, targetY2}); },
                [block](bool) {
                    if (block) block();
                });
        });
}
