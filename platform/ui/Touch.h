#pragma once
// A finger on the screen. The window creates one per touch sequence (the mouse acts as one
// finger) and delivers it to the view found under the finger when it went down; every later
// move and the end go to that same view, wherever the finger is.
#include <cstddef>
#include <memory>
#include <vector>

#include "platform/ui/Geometry.h"

class View;
class Window;

enum class TouchPhase { began, moved, stationary, ended, cancelled };

class Touch {
public:
    // The location in the given view's coordinates (nullptr: window coordinates, which are the
    // screen's points).
    Point locationInView(const View* view) const;
    Point previousLocationInView(const View* view) const;
    TouchPhase phase() const { return phase_; }
    // The view that received the touch when it began (nullptr once it is gone).
    View* view() const;
    Window* window() const { return window_; }
    double timestamp() const { return timestamp_; }
    int tapCount() const { return 1; }

private:
    friend class Window;
    Window* window_ = nullptr;
    std::weak_ptr<View> view_;
    Point location_;
    Point previous_;
    TouchPhase phase_ = TouchPhase::began;
    double timestamp_ = 0;
};

// The touches of one event (one touch, as the mouse is one finger).
class TouchSet {
public:
    TouchSet() = default;
    explicit TouchSet(Touch* touch) { if (touch) touches_.push_back(touch); }
    Touch* anyObject() const { return touches_.empty() ? nullptr : touches_.front(); }
    size_t count() const { return touches_.size(); }
    bool empty() const { return touches_.empty(); }
    auto begin() const { return touches_.begin(); }
    auto end() const { return touches_.end(); }

private:
    std::vector<Touch*> touches_;
};
