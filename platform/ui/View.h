#pragma once
// The view: a rectangle on screen with sub-views, in the manner of the phone's view framework.
//
// Geometry, in points: `center` (in the superview's coordinates), `bounds` (own coordinates; its
// size is the view's size, its origin the coordinate of the top-left corner), `transform` (scale
// and rotation about the centre) and `frame` (derived: the box around the transformed bounds in
// the superview's coordinates). Setting `frame` moves the centre and, for a transform without
// rotation, sets the bounds size to the frame size divided by the transform's scale; with a
// rotation only the centre moves.
//
// Ownership: views are held by std::shared_ptr (create them with View::make<T>(...) or
// std::make_shared). A superview holds its sub-views strongly; a sub-view knows its superview
// weakly. Views are Objects, so blocks they schedule with performBlock die with them.
//
// Animations: View::animateWithDuration(...) records every change made inside its block to
// center, bounds, frame, transform and alpha. The model value (what the getters return) becomes
// the end value at once; the presentation value (what is drawn) moves from the value shown at
// that moment to the end value over the duration, after the delay, along the curve. Hit testing
// uses the model values, as the phone does. The completion runs exactly once: finished=true at
// the end instant (a run-loop timer, exact under a manual clock), finished=false on a later pass
// when a property's animation is taken over by a newer animation, by a plain set of the same
// property, by removeFromSuperview or by the view's destruction.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/core/RunLoop.h"
#include "platform/ui/Color.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/Touch.h"

class DrawContext;
class Window;
struct ViewAnimations;

enum class AnimationCurve { easeInOut, easeIn, easeOut, linear };

struct AnimationOptions {
    AnimationCurve curve = AnimationCurve::easeInOut;
    // Touches reach the animated views while the animation runs (otherwise they pass them by).
    bool allowUserInteraction = false;
};

class View : public Object, public std::enable_shared_from_this<View> {
public:
    template <class T = View, class... Args>
    static std::shared_ptr<T> make(Args&&... args) {
        return std::make_shared<T>(std::forward<Args>(args)...);
    }

    explicit View(const Rect& frame = {});
    ~View() override;
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    // ---- Geometry (model values)
    Rect frame() const;
    void setFrame(const Rect& frame);
    Rect bounds() const { return bounds_; }
    void setBounds(const Rect& bounds);
    Point center() const { return center_; }
    void setCenter(Point center);
    const Transform& transform() const { return transform_; }
    void setTransform(const Transform& transform);
    double alpha() const { return alpha_; }
    void setAlpha(double alpha);

    // ---- Presentation values: what is on screen at RunLoop::main().now()
    Point presentationCenter() const;
    Rect presentationBounds() const;
    Transform presentationTransform() const;
    double presentationAlpha() const;
    Rect presentationFrame() const;

    // ---- Appearance and identity
    bool isHidden() const { return hidden_; }
    void setHidden(bool hidden);
    Color backgroundColor() const { return backgroundColor_; }
    void setBackgroundColor(Color color);
    bool clipsToBounds() const { return clipsToBounds_; }
    void setClipsToBounds(bool clips);
    bool isUserInteractionEnabled() const { return userInteractionEnabled_; }
    void setUserInteractionEnabled(bool enabled) { userInteractionEnabled_ = enabled; }
    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }
    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }

    // ---- Hierarchy
    View* superview() const;
    std::shared_ptr<View> superviewPtr() const { return superview_ ? superview_->weak_from_this().lock() : nullptr; }
    // Sub-views from back to front.
    const std::vector<std::shared_ptr<View>>& subviews() const { return subviews_; }
    // Adds in front of all (moving the view out of any other superview first).
    void addSubview(std::shared_ptr<View> view);
    void insertSubviewAtIndex(std::shared_ptr<View> view, size_t index);
    void insertSubviewAbove(std::shared_ptr<View> view, const View* sibling);
    void insertSubviewBelow(std::shared_ptr<View> view, const View* sibling);
    void bringSubviewToFront(const View* view);
    void sendSubviewToBack(const View* view);
    void exchangeSubviews(size_t index1, size_t index2);
    // Leaves the superview; the animations of this view and its sub-views end (finished=false).
    void removeFromSuperview();
    // Depth-first search of this view and its descendants; nullptr when none matches.
    std::shared_ptr<View> viewWithTag(int tag);
    std::shared_ptr<View> viewWithName(const std::string& name);
    template <class T>
    std::shared_ptr<T> viewWithName(const std::string& name) {
        return std::dynamic_pointer_cast<T>(viewWithName(name));
    }
    bool isDescendantOfView(const View* view) const;
    // The window this view is shown in, or nullptr.
    virtual Window* window() const;

    // ---- Coordinates (model values)
    // Maps a point from this view's coordinates to `other`'s (nullptr: the window's).
    Point convertPointToView(Point p, const View* other) const;
    Point convertPointFromView(Point p, const View* other) const;
    Rect convertRectToView(const Rect& r, const View* other) const;
    Rect convertRectFromView(const Rect& r, const View* other) const;
    // This view's coordinates to its superview's, and to the window's.
    Transform transformToSuperview() const;
    Transform transformToWindow() const;

    // ---- Hit testing: p in this view's coordinates. Skips hidden views, views with alpha below
    // 0.01, views with interaction off and views animating without allowUserInteraction.
    virtual std::shared_ptr<View> hitTest(Point p);
    virtual bool pointInside(Point p) const;

    // ---- Keys: Enter (escape false) or Esc (escape true), offered front to back. A view that
    // takes input and is not animating against it offers the key to its later sub-views first,
    // then answers it itself (ownKey). buttonsLive is false while the window's touches are off.
    enum class KeyAnswer { none, taken, refused };
    virtual KeyAnswer offerKey(bool escape, bool buttonsLive);

    // ---- Touches. By default a view calls its handler when set, and otherwise hands the touches
    // on to its superview (as the phone's responder chain does), so a container sees the touches
    // that land on its children unless they take them.
    virtual void touchesBegan(const TouchSet& touches);
    virtual void touchesMoved(const TouchSet& touches);
    virtual void touchesEnded(const TouchSet& touches);
    virtual void touchesCancelled(const TouchSet& touches);
    std::function<void(const TouchSet&)> onTouchesBegan;
    std::function<void(const TouchSet&)> onTouchesMoved;
    std::function<void(const TouchSet&)> onTouchesEnded;
    std::function<void(const TouchSet&)> onTouchesCancelled;

    // ---- Drawing
    // Draws the content between the background and the sub-views, in the view's own coordinates.
    virtual void drawContent(DrawContext& context) const;
    // Tells the window that something visible changed.
    void setNeedsDisplay() const;

    // ---- Animations
    static void animateWithDuration(double duration, double delay, AnimationOptions options,
                                    const std::function<void()>& animations,
                                    std::function<void(bool finished)> completion = {});
    static void animateWithDuration(double duration, const std::function<void()>& animations,
                                    std::function<void(bool finished)> completion = {});
    // Changes made inside the block are applied at once, without animation.
    static void performWithoutAnimation(const std::function<void()>& changes);
    // Some property animation is running or waiting for its delay.
    bool hasAnimations() const;
    bool hasAnimationsBlockingInteraction() const;
    // Ends every property animation of this view at its model value (completions: false).
    void removeAllAnimations();
    // The earliest instant at or after `now` when this view's picture changes on its own
    // (animation in progress: now; waiting for a delay: its start), or nothing.
    virtual std::optional<double> nextVisualChange(double now) const;
    // Every view with a running animation of any kind (property or frame animation).
    static const std::vector<View*>& animatingViews();

    // ---- What the window's incremental renderer drew of this view in its last frame: the box
    // (its pixels) that the view's own background and content covered, and that frame's number.
    struct DrawnRecord {
        Rect box;
        uint64_t frame = 0;
    };
    DrawnRecord& drawnRecord() const { return drawn_; }

protected:
    // The view's own answer to a key once its sub-views have let it pass (none by default).
    virtual KeyAnswer ownKey(bool /*escape*/, bool /*buttonsLive*/) { return KeyAnswer::none; }
    // Shown, taking input and visible enough to be meant.
    bool takesInput() const { return !hidden_ && userInteractionEnabled_ && alpha_ >= 0.01; }
    // Called after the view joined or left a window.
    virtual void didMoveToWindow() {}
    // Called when the view's size changed.
    virtual void boundsDidChange() {}
    // Subclasses with animations of their own (frame animations) register while they run.
    void registerAnimating(bool animating);

private:
    friend class Window;
    friend struct ViewAnimations;
    void attach(std::shared_ptr<View> view, size_t index);
    void detachFromSuperview();
    void notifyWindowChange();
    void endAnimationsInTree();
    void updateAnimatingRegistration();

    // The superview links back by plain pointer, so sub-views added while a view is still being
    // constructed (before any shared pointer owns it) know their parent. A view clears its
    // sub-views' links when it goes away, so the pointer never dangles.
    View* superview_ = nullptr;
    std::vector<std::shared_ptr<View>> subviews_;
    Point center_;
    Rect bounds_;
    Transform transform_;
    double alpha_ = 1.0;
    bool hidden_ = false;
    bool clipsToBounds_ = false;
    bool userInteractionEnabled_ = true;
    bool registeredAnimating_ = false;
    bool ownAnimating_ = false;
    mutable bool redrawPending_ = false;  // listed among the window's changed views
    mutable DrawnRecord drawn_;
    Color backgroundColor_ = Color::clear();
    int tag_ = 0;
    std::string name_;
    std::unique_ptr<ViewAnimations> animations_;
};
