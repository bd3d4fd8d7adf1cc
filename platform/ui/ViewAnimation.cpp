// View animations: recording the changes made in an animation block, interpolating presentation
// values from the clock, and ending each group with exactly one completion call.
#include <algorithm>

#include "platform/ui/AnimationCurve.h"
#include "platform/ui/ViewAnimations.h"

namespace {

struct AnimationContext {
    double duration = 0;
    double delay = 0;
    AnimationOptions options;
    std::shared_ptr<AnimationGroup> group;
    bool disabled = false;  // performWithoutAnimation
};

std::vector<AnimationContext*>& contextStack() {
    static std::vector<AnimationContext*> stack;
    return stack;
}

AnimationContext* currentContext() {
    auto& stack = contextStack();
    return stack.empty() ? nullptr : stack.back();
}

double mix(double a, double b, double t) { return a + (b - a) * t; }

void completeGroup(const std::shared_ptr<AnimationGroup>& group, bool now) {
    if (group->done) return;
    group->done = true;
    group->endTimer.invalidate();
    auto completion = std::move(group->completion);
    group->completion = nullptr;
    if (!completion) return;
    const bool finished = !group->cancelled;
    if (now) {
        completion(finished);
    } else {
        RunLoop::main().post([completion = std::move(completion), finished] { completion(finished); });
    }
}

}  // namespace

double PropertyAnimation::progress(double now) const {
    if (!active || now <= start) return active ? 0.0 : 1.0;
    if (duration <= 0 || now >= start + duration) return 1.0;
    return applyAnimationCurve(curve, (now - start) / duration);
}

void ViewAnimations::willChange(View& view, int property) {
    AnimationContext* ctx = currentContext();
    const bool animate = ctx && !ctx->disabled && ctx->duration > 0;
    if (!animate) {
        if (view.animations_ && view.animations_->slots[property].active) finish(view, property, false);
        return;
    }
    // The new animation starts from the value shown now.
    PropertyAnimation next;
    switch (property) {
    case kAnimCenter: next.fromPoint = view.presentationCenter(); break;
    case kAnimBounds: next.fromRect = view.presentationBounds(); break;
    case kAnimTransform: next.fromTransform = view.presentationTransform(); break;
    case kAnimAlpha: next.fromAlpha = view.presentationAlpha(); break;
    default: break;
    }
    if (!view.animations_) view.animations_ = std::make_unique<ViewAnimations>();
    if (view.animations_->slots[property].active) finish(view, property, false);
    const double now = RunLoop::main().now();
    next.active = true;
    next.start = now + std::max(0.0, ctx->delay);
    next.duration = ctx->duration;
    next.curve = ctx->options.curve;
    next.allowUserInteraction = ctx->options.allowUserInteraction;
    next.group = ctx->group;
    ctx->group->members.emplace_back(&view, property);
    view.animations_->slots[property] = std::move(next);
    view.updateAnimatingRegistration();
}

void ViewAnimations::finish(View& view, int property, bool finished) {
    if (!view.animations_) return;
    PropertyAnimation& slot = view.animations_->slots[property];
    if (!slot.active) return;
    auto group = std::move(slot.group);
    slot = PropertyAnimation{};
    view.setNeedsDisplay();
    view.updateAnimatingRegistration();
    if (!group) return;
    auto& members = group->members;
    members.erase(std::remove(members.begin(), members.end(), std::make_pair(&view, property)), members.end());
    if (!finished) group->cancelled = true;
    if (members.empty()) completeGroup(group, finished);
}

void View::animateWithDuration(double duration, double delay, AnimationOptions options,
                               const std::function<void()>& animations,
                               std::function<void(bool)> completion) {
    AnimationContext ctx;
    ctx.duration = duration;
    ctx.delay = delay;
    ctx.options = options;
    ctx.group = std::make_shared<AnimationGroup>();
    ctx.group->completion = std::move(completion);
    contextStack().push_back(&ctx);
    if (animations) animations();
    contextStack().pop_back();

    auto group = ctx.group;
    if (group->members.empty()) {
        // Nothing to animate (or no duration): the completion follows on the next pass.
        completeGroup(group, false);
        return;
    }
    group->endTimer = RunLoop::main().performAfterDelay(std::max(0.0, delay) + duration, [weak = std::weak_ptr(group)] {
        auto g = weak.lock();
        if (!g) return;
        // Every member still in the group ends now, at its end value.
        auto members = g->members;
        for (auto& [view, property] : members) ViewAnimations::finish(*view, property, true);
    });
}

void View::animateWithDuration(double duration, const std::function<void()>& animations,
                               std::function<void(bool)> completion) {
    animateWithDuration(duration, 0, AnimationOptions{}, animations, std::move(completion));
}

void View::performWithoutAnimation(const std::function<void()>& changes) {
    AnimationContext ctx;
    ctx.disabled = true;
    contextStack().push_back(&ctx);
    if (changes) changes();
    contextStack().pop_back();
}

bool View::hasAnimations() const { return animations_ && animations_->any(); }

bool View::hasAnimationsBlockingInteraction() const {
    if (!animations_) return false;
    for (const auto& s : animations_->slots)
        if (s.active && !s.allowUserInteraction) return true;
    return false;
}

void View::removeAllAnimations() {
    if (!animations_) return;
    for (int p = 0; p < kAnimPropertyCount; ++p) ViewAnimations::finish(*this, p, false);
}

std::optional<double> View::nextVisualChange(double now) const {
    if (!animations_) return std::nullopt;
    std::optional<double> best;
    for (const auto& s : animations_->slots) {
        if (!s.active) continue;
        const double t = std::max(now, s.start);
        if (!best || t < *best) best = t;
    }
    return best;
}

Point View::presentationCenter() const {
    if (!animations_ || !animations_->slots[kAnimCenter].active) return center_;
    const auto& s = animations_->slots[kAnimCenter];
    const double t = s.progress(RunLoop::main().now());
    return {mix(s.fromPoint.x, center_.x, t), mix(s.fromPoint.y, center_.y, t)};
}

Rect View::presentationBounds() const {
    if (!animations_ || !animations_->slots[kAnimBounds].active) return bounds_;
    const auto& s = animations_->slots[kAnimBounds];
    const double t = s.progress(RunLoop::main().now());
    return {mix(s.fromRect.origin.x, bounds_.origin.x, t), mix(s.fromRect.origin.y, bounds_.origin.y, t),
            mix(s.fromRect.size.width, bounds_.size.width, t), mix(s.fromRect.size.height, bounds_.size.height, t)};
}

Transform View::presentationTransform() const {
    if (!animations_ || !animations_->slots[kAnimTransform].active) return transform_;
    const auto& s = animations_->slots[kAnimTransform];
    return Transform::interpolate(s.fromTransform, transform_, s.progress(RunLoop::main().now()));
}

double View::presentationAlpha() const {
    if (!animations_ || !animations_->slots[kAnimAlpha].active) return alpha_;
    const auto& s = animations_->slots[kAnimAlpha];
    return mix(s.fromAlpha, alpha_, s.progress(RunLoop::main().now()));
}
