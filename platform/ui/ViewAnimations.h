#pragma once
// Internal: the running property animations of one view and the groups that share a completion.
#include <functional>
#include <memory>
#include <vector>

#include "platform/core/RunLoop.h"
#include "platform/ui/View.h"

enum AnimatedProperty { kAnimCenter = 0, kAnimBounds, kAnimTransform, kAnimAlpha, kAnimPropertyCount };

// One animateWithDuration call: its completion runs once, when the last of its property
// animations has ended.
struct AnimationGroup {
    std::function<void(bool)> completion;
    std::vector<std::pair<View*, int>> members;  // views remove themselves before they die
    TimerHandle endTimer;
    bool cancelled = false;
    bool done = false;
};

struct PropertyAnimation {
    bool active = false;
    double start = 0;
    double duration = 0;
    AnimationCurve curve = AnimationCurve::easeInOut;
    bool allowUserInteraction = false;
    Point fromPoint;
    Rect fromRect;
    Transform fromTransform;
    double fromAlpha = 0;
    std::shared_ptr<AnimationGroup> group;

    // Eased progress at `now`, 0 during the delay.
    double progress(double now) const;
};

struct ViewAnimations {
    PropertyAnimation slots[kAnimPropertyCount];

    bool any() const {
        for (const auto& s : slots)
            if (s.active) return true;
        return false;
    }
    // Called by the setters before the model value changes: starts an animation of the property
    // inside an animation block, or ends a running one on a plain set.
    static void willChange(View& view, int property);
    // Ends one property's animation; finished=false when it is cut short.
    static void finish(View& view, int property, bool finished);
};
