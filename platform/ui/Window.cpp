#include "platform/ui/Window.h"

#include <algorithm>

#include "platform/services/UserInteraction.h"
#include "platform/ui/Screen.h"

namespace {
Window* gKeyWindow = nullptr;

// Views that asked to be drawn again since their window's last frame, in any window.
std::vector<const View*>& changedViews() {
    static std::vector<const View*> views;
    return views;
}

void uniteDrawn(const View& view, uint64_t frame, Rect& into) {
    const View::DrawnRecord& r = view.drawnRecord();
    if (r.frame == frame && !r.box.isEmpty()) into = into.isEmpty() ? r.box : into.unionWith(r.box);
    for (const auto& sub : view.subviews()) uniteDrawn(*sub, frame, into);
}

bool isShownIn(const View* v, const Window* window) {
    for (const View* a = v; a; a = a->superview())
        if (a->isHidden()) return false;
    return v->window() == window;
}
}  // namespace

Window::Window() : Window(Screen::mainScreen().bounds()) {}

Window::Window(const Rect& frame) : View(frame) {}

Window::~Window() {
    if (gKeyWindow == this) gKeyWindow = nullptr;
}

Window* Window::keyWindow() { return gKeyWindow; }

void Window::makeKeyAndVisible() {
    gKeyWindow = this;
    setHidden(false);
    markDirty();
}

void Window::viewChanged(const View& view) {
    dirty_ = true;
    if (view.redrawPending_) return;
    view.redrawPending_ = true;
    changedViews().push_back(&view);
}

void Window::forgetChangedView(const View* view) {
    auto& list = changedViews();
    list.erase(std::remove(list.begin(), list.end(), view), list.end());
}

Rect Window::drawnBoxOfTree(const View& view) const {
    Rect box;
    if (drawnFrame_ != 0) uniteDrawn(view, drawnFrame_, box);
    return box;
}

void Window::viewLeaving(const View& view) {
    dirty_ = true;
    const Rect box = drawnBoxOfTree(view);
    if (!box.isEmpty()) left_.push_back(box);
}

Window::Changes Window::takeChanges(double now) {
    Changes changes;
    changes.all = redrawAll_;
    redrawAll_ = false;
    changes.left.swap(left_);
    auto& list = changedViews();
    size_t kept = 0;
    for (const View* v : list) {
        Window* w = v->window();
        if (w != nullptr && w != this) {
            list[kept++] = v;  // another window's
            continue;
        }
        v->redrawPending_ = false;
        // Out of every window now: what it drew went with viewLeaving.
        if (w == this) changes.views.push_back(v);
    }
    list.resize(kept);
    for (View* v : View::animatingViews()) {
        if (!isShownIn(v, this)) continue;
        auto t = v->nextVisualChange(now);
        if (t && *t <= now) changes.views.push_back(v);
    }
    return changes;
}

std::optional<double> Window::nextVisualChange(double now) const {
    std::optional<double> best;
    for (View* v : View::animatingViews()) {
        // Views outside this window, or hidden by themselves or an ancestor, change no pixel.
        if (!isShownIn(v, this)) continue;
        auto t = v->nextVisualChange(now);
        if (t && (!best || *t < *best)) best = t;
        if (best && *best <= now) break;
    }
    return best;
}

bool Window::needsDisplay(double now) const {
    if (dirty_) return true;
    auto t = nextVisualChange(now);
    return t && *t <= now;
}

bool Window::touchesEnabled() { return UserInteraction::shared()->isEnabled(); }

bool Window::handleKey(bool escape) {
    return offerKey(escape, touchesEnabled()) == KeyAnswer::taken;
}

bool Window::dropIfDisabled() {
    if (touchesEnabled()) return false;
    if (touch_) {
        // The switch went off under a moving finger: the view learns that the touch is over.
        touch_->phase_ = TouchPhase::cancelled;
        if (View* v = touch_->view()) {
            auto keep = v->shared_from_this();
            v->touchesCancelled(TouchSet(touch_.get()));
        }
        touch_.reset();
    }
    return true;
}

void Window::touchDown(Point p) {
    if (dropIfDisabled()) return;
    if (touch_) touchCancel();  // one finger only
    touch_ = std::make_unique<Touch>();
    touch_->window_ = this;
    touch_->location_ = touch_->previous_ = p;
    touch_->phase_ = TouchPhase::began;
    touch_->timestamp_ = RunLoop::main().now();
    auto hit = hitTest(convertPointFromView(p, nullptr));
    touch_->view_ = hit;
    if (hit) hit->touchesBegan(TouchSet(touch_.get()));
}

void Window::deliver(TouchPhase phase, Point p) {
    if (!touch_) return;
    touch_->previous_ = touch_->location_;
    touch_->location_ = p;
    touch_->phase_ = phase;
    touch_->timestamp_ = RunLoop::main().now();
    auto view = touch_->view_.lock();
    // The touch object stays alive while the view handles it, even if a new touch starts.
    std::unique_ptr<Touch> keep;
    if (phase == TouchPhase::ended || phase == TouchPhase::cancelled) keep = std::move(touch_);
    Touch* t = keep ? keep.get() : touch_.get();
    if (!view) return;
    switch (phase) {
    case TouchPhase::moved: view->touchesMoved(TouchSet(t)); break;
    case TouchPhase::ended: view->touchesEnded(TouchSet(t)); break;
    case TouchPhase::cancelled: view->touchesCancelled(TouchSet(t)); break;
    default: break;
    }
}

void Window::touchMove(Point p) {
    if (dropIfDisabled()) return;
    if (touch_ && touch_->location_ == p) return;
    deliver(TouchPhase::moved, p);
}

void Window::touchUp(Point p) {
    if (dropIfDisabled()) return;
    deliver(TouchPhase::ended, p);
}

void Window::touchCancel() {
    if (!touch_) return;
    deliver(TouchPhase::cancelled, touch_->location_);
}

// ---- Touch

Point Touch::locationInView(const View* view) const {
    return view ? view->convertPointFromView(location_, nullptr) : location_;
}

Point Touch::previousLocationInView(const View* view) const {
    return view ? view->convertPointFromView(previous_, nullptr) : previous_;
}

View* Touch::view() const { return view_.lock().get(); }
