#pragma once
// The window: the root of the shown views, the screen in points. It keeps the "something
// visible changed" flag the event loop renders by, and dispatches touches: a touch goes to the
// view hit at its start, and its moves and end follow it there. While the window-wide switch
// (UserInteraction::shared()) is off, touches are dropped; a touch in progress is cancelled.
#include <memory>
#include <optional>

#include "platform/ui/View.h"

class Window : public View {
public:
    // A window over the main screen's bounds.
    Window();
    explicit Window(const Rect& frame);
    ~Window() override;

    // The window that overlays and alerts are added to.
    static Window* keyWindow();
    void makeKeyAndVisible();

    Window* window() const override { return const_cast<Window*>(this); }

    // ---- Rendering state
    void markDirty() { dirty_ = true; }
    bool isDirty() const { return dirty_; }
    void clearDirty() { dirty_ = false; }
    // The earliest instant (>= now) at which the picture changes by itself (animations), or
    // nothing when it stands still.
    std::optional<double> nextVisualChange(double now) const override;
    // Something must be drawn at `now`: a change was marked or an animation moves.
    bool needsDisplay(double now) const;

    // ---- Touches, in window points (the mouse, or tests)
    void touchDown(Point p);
    void touchMove(Point p);
    void touchUp(Point p);
    void touchCancel();
    void touchDown(double x, double y) { touchDown(Point(x, y)); }
    void touchMove(double x, double y) { touchMove(Point(x, y)); }
    void touchUp(double x, double y) { touchUp(Point(x, y)); }
    bool isTouchActive() const { return touch_ != nullptr; }
    // The window-wide switch (the game's disableUserInteraction / enableUserInteraction).
    static bool touchesEnabled();

    // ---- Keys (the event loop, or tests). The frontmost taker, searched front to back over the
    // shown views that take touches: a modal panel answers with its default (Enter) or cancel
    // (Esc) button and keeps the key from everything behind it; otherwise the frontmost enabled
    // button marked pressesOnEnter / closesOnEscape is pressed, unless the switch is off.
    // True when the key was taken.
    bool handleEnterKey() { return handleKey(false); }
    bool handleEscapeKey() { return handleKey(true); }

private:
    bool handleKey(bool escape);
    bool dropIfDisabled();
    void deliver(TouchPhase phase, Point p);
    bool dirty_ = true;
    std::unique_ptr<Touch> touch_;
};
