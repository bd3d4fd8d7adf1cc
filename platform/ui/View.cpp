#include "platform/ui/View.h"

#include <algorithm>
#include <cmath>

#include "platform/ui/ViewAnimations.h"
#include "platform/ui/Window.h"

namespace {
std::vector<View*>& animatingRegistry() {
    static std::vector<View*> views;
    return views;
}
}  // namespace

View::View(const Rect& frame) : center_(frame.center()), bounds_(0, 0, frame.size.width, frame.size.height) {}

View::~View() {
    // Animations die with the view; their completions learn it on a later pass.
    if (animations_)
        for (int p = 0; p < kAnimPropertyCount; ++p) ViewAnimations::finish(*this, p, false);
    if (registeredAnimating_) {
        auto& reg = animatingRegistry();
        reg.erase(std::remove(reg.begin(), reg.end(), this), reg.end());
    }
    if (redrawPending_) Window::forgetChangedView(this);
    for (auto& sub : subviews_) sub->superview_ = nullptr;
}

// ---- Geometry

Rect View::frame() const {
    if (transform_.isIdentity())
        return Rect::withCenter(center_, bounds_.size);
    const Rect local(-bounds_.size.width / 2, -bounds_.size.height / 2, bounds_.size.width, bounds_.size.height);
    return transform_.apply(local).offsetBy(center_.x, center_.y);
}

void View::setFrame(const Rect& frame) {
    setCenter(frame.center());
    if (transform_.isAxisAligned()) {
        const double sx = std::abs(transform_.a), sy = std::abs(transform_.d);
        if (sx > 0 && sy > 0) {
            Rect b = bounds_;
            b.size = Size(frame.size.width / sx, frame.size.height / sy);
            setBounds(b);
        }
    }
}

void View::setBounds(const Rect& bounds) {
    ViewAnimations::willChange(*this, kAnimBounds);
    const bool resized = bounds.size != bounds_.size;
    bounds_ = bounds;
    setNeedsDisplay();
    if (resized) boundsDidChange();
}

void View::setCenter(Point center) {
    ViewAnimations::willChange(*this, kAnimCenter);
    center_ = center;
    setNeedsDisplay();
}

void View::setTransform(const Transform& transform) {
    ViewAnimations::willChange(*this, kAnimTransform);
    transform_ = transform;
    setNeedsDisplay();
}

void View::setAlpha(double alpha) {
    ViewAnimations::willChange(*this, kAnimAlpha);
    alpha_ = std::clamp(alpha, 0.0, 1.0);
    setNeedsDisplay();
}

Rect View::presentationFrame() const {
    const Rect b = presentationBounds();
    const Point c = presentationCenter();
    const Transform t = presentationTransform();
    const Rect local(-b.size.width / 2, -b.size.height / 2, b.size.width, b.size.height);
    return t.apply(local).offsetBy(c.x, c.y);
}

// ---- Appearance

void View::setHidden(bool hidden) {
    if (hidden_ == hidden) return;
    hidden_ = hidden;
    setNeedsDisplay();
}

void View::setBackgroundColor(Color color) {
    backgroundColor_ = color;
    setNeedsDisplay();
}

void View::setClipsToBounds(bool clips) {
    clipsToBounds_ = clips;
    setNeedsDisplay();
}

// ---- Hierarchy

View* View::superview() const { return superview_; }

Window* View::window() const {
    return superview_ ? superview_->window() : nullptr;
}

void View::attach(std::shared_ptr<View> view, size_t index) {
    Window* before = view->window();
    if (View* old = view->superview_) {
        // What it drew where it was must go.
        if (before) before->viewLeaving(*view);
        auto& list = old->subviews_;
        list.erase(std::remove(list.begin(), list.end(), view), list.end());
    }
    index = std::min(index, subviews_.size());
    subviews_.insert(subviews_.begin() + static_cast<std::ptrdiff_t>(index), view);
    view->superview_ = this;
    if (view->window() != before) view->notifyWindowChange();
    view->setNeedsDisplay();
}

void View::addSubview(std::shared_ptr<View> view) {
    if (!view || view.get() == this) return;
    attach(std::move(view), subviews_.size());
}

void View::insertSubviewAtIndex(std::shared_ptr<View> view, size_t index) {
    if (!view || view.get() == this) return;
    if (view->superview() == this) {
        auto it = std::find(subviews_.begin(), subviews_.end(), view);
        if (static_cast<size_t>(it - subviews_.begin()) < index) --index;
        subviews_.erase(it);
    }
    attach(std::move(view), index);
}

void View::insertSubviewAbove(std::shared_ptr<View> view, const View* sibling) {
    if (!view || view.get() == sibling) return;
    if (view->superview() == this) {
        subviews_.erase(std::find(subviews_.begin(), subviews_.end(), view));
    }
    auto it = std::find_if(subviews_.begin(), subviews_.end(), [sibling](auto& v) { return v.get() == sibling; });
    const size_t index = it == subviews_.end() ? subviews_.size() : static_cast<size_t>(it - subviews_.begin()) + 1;
    attach(std::move(view), index);
}

void View::insertSubviewBelow(std::shared_ptr<View> view, const View* sibling) {
    if (!view || view.get() == sibling) return;
    if (view->superview() == this) {
        subviews_.erase(std::find(subviews_.begin(), subviews_.end(), view));
    }
    auto it = std::find_if(subviews_.begin(), subviews_.end(), [sibling](auto& v) { return v.get() == sibling; });
    const size_t index = it == subviews_.end() ? 0 : static_cast<size_t>(it - subviews_.begin());
    attach(std::move(view), index);
}

void View::bringSubviewToFront(const View* view) {
    auto it = std::find_if(subviews_.begin(), subviews_.end(), [view](auto& v) { return v.get() == view; });
    if (it == subviews_.end()) return;
    std::rotate(it, it + 1, subviews_.end());
    // Only the pixels under the moved view change.
    (*(subviews_.end() - 1))->setNeedsDisplay();
}

void View::sendSubviewToBack(const View* view) {
    auto it = std::find_if(subviews_.begin(), subviews_.end(), [view](auto& v) { return v.get() == view; });
    if (it == subviews_.end()) return;
    std::rotate(subviews_.begin(), it, it + 1);
    subviews_.front()->setNeedsDisplay();
}

void View::exchangeSubviews(size_t i, size_t j) {
    if (i >= subviews_.size() || j >= subviews_.size()) return;
    std::swap(subviews_[i], subviews_[j]);
    subviews_[i]->setNeedsDisplay();
    subviews_[j]->setNeedsDisplay();
}

void View::endAnimationsInTree() {
    removeAllAnimations();
    for (auto& sub : subviews_) sub->endAnimationsInTree();
}

void View::removeFromSuperview() {
    View* parent = superview_;
    if (!parent) return;
    auto self = shared_from_this();  // keeps this alive until the removal is done
    endAnimationsInTree();
    Window* before = window();
    if (before) before->viewLeaving(*this);
    auto& list = parent->subviews_;
    list.erase(std::remove(list.begin(), list.end(), self), list.end());
    superview_ = nullptr;
    if (before) notifyWindowChange();
}

void View::notifyWindowChange() {
    didMoveToWindow();
    for (auto& sub : subviews_) sub->notifyWindowChange();
}

std::shared_ptr<View> View::viewWithTag(int tag) {
    if (tag_ == tag) return shared_from_this();
    for (auto& sub : subviews_)
        if (auto found = sub->viewWithTag(tag)) return found;
    return nullptr;
}

std::shared_ptr<View> View::viewWithName(const std::string& name) {
    if (name_ == name) return shared_from_this();
    for (auto& sub : subviews_)
        if (auto found = sub->viewWithName(name)) return found;
    return nullptr;
}

bool View::isDescendantOfView(const View* view) const {
    for (const View* v = this; v; v = v->superview())
        if (v == view) return true;
    return false;
}

// ---- Coordinates

Transform View::transformToSuperview() const {
    const Point bc = bounds_.center();
    return Transform::makeTranslation(-bc.x, -bc.y).concat(transform_).concat(Transform::makeTranslation(center_.x, center_.y));
}

Transform View::transformToWindow() const {
    Transform t = transformToSuperview();
    for (const View* parent = superview_; parent; parent = parent->superview_)
        t = t.concat(parent->transformToSuperview());
    return t;
}

Point View::convertPointToView(Point p, const View* other) const {
    const Point w = transformToWindow().apply(p);
    return other ? other->transformToWindow().inverted().apply(w) : w;
}

Point View::convertPointFromView(Point p, const View* other) const {
    const Point w = other ? other->transformToWindow().apply(p) : p;
    return transformToWindow().inverted().apply(w);
}

Rect View::convertRectToView(const Rect& r, const View* other) const {
    Transform t = transformToWindow();
    if (other) t = t.concat(other->transformToWindow().inverted());
    return t.apply(r);
}

Rect View::convertRectFromView(const Rect& r, const View* other) const {
    Transform t = other ? other->transformToWindow() : Transform::identity();
    t = t.concat(transformToWindow().inverted());
    return t.apply(r);
}

// ---- Hit testing

bool View::pointInside(Point p) const { return bounds_.contains(p); }

std::shared_ptr<View> View::hitTest(Point p) {
    if (!takesInput() || hasAnimationsBlockingInteraction()) return nullptr;
    if (!pointInside(p)) return nullptr;
    for (auto it = subviews_.rbegin(); it != subviews_.rend(); ++it) {
        const auto& sub = *it;
        const Point q = sub->transformToSuperview().inverted().apply(p);
        if (auto hit = sub->hitTest(q)) return hit;
    }
    return shared_from_this();
}

// ---- Keys: the later sub-views first, then the view itself

View::KeyAnswer View::offerKey(bool escape, bool buttonsLive) {
    if (!takesInput() || hasAnimationsBlockingInteraction()) return KeyAnswer::none;
    const auto subs = subviews_;  // a press may change the hierarchy
    for (auto it = subs.rbegin(); it != subs.rend(); ++it)
        if (KeyAnswer r = (*it)->offerKey(escape, buttonsLive); r != KeyAnswer::none) return r;
    return ownKey(escape, buttonsLive);
}

// ---- Touches: the handler, or else the superview (the responder chain)

void View::touchesBegan(const TouchSet& touches) {
    if (onTouchesBegan) onTouchesBegan(touches);
    else if (auto parent = superviewPtr()) parent->touchesBegan(touches);
}

void View::touchesMoved(const TouchSet& touches) {
    if (onTouchesMoved) onTouchesMoved(touches);
    else if (auto parent = superviewPtr()) parent->touchesMoved(touches);
}

void View::touchesEnded(const TouchSet& touches) {
    if (onTouchesEnded) onTouchesEnded(touches);
    else if (auto parent = superviewPtr()) parent->touchesEnded(touches);
}

void View::touchesCancelled(const TouchSet& touches) {
    if (onTouchesCancelled) onTouchesCancelled(touches);
    else if (auto parent = superviewPtr()) parent->touchesCancelled(touches);
}

// ---- Drawing

void View::drawContent(DrawContext&) const {}

void View::setNeedsDisplay() const {
    if (auto* w = window()) w->viewChanged(*this);
}

void View::registerAnimating(bool animating) {
    ownAnimating_ = animating;
    updateAnimatingRegistration();
}

void View::updateAnimatingRegistration() {
    // A view stays registered while any of its animations (property or its own) runs.
    const bool want = ownAnimating_ || hasAnimations();
    if (want == registeredAnimating_) return;
    registeredAnimating_ = want;
    auto& reg = animatingRegistry();
    if (want) reg.push_back(this);
    else reg.erase(std::remove(reg.begin(), reg.end(), this), reg.end());
    setNeedsDisplay();
}

const std::vector<View*>& View::animatingViews() { return animatingRegistry(); }
