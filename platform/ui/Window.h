#pragma once
// The window: the root of the shown views, the screen in points. It keeps the "something
// visible changed" flag the event loop renders by, and dispatches touches: a touch goes to the
// view hit at its start, and its moves and end follow it there. While the window-wide switch
// (UserInteraction::shared()) is off, touches are dropped; a touch in progress is cancelled.
#include <memory>
#include <optional>
#include <vector>

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

    // ---- Rendering state. markDirty(): the whole picture must be drawn again (exposed, resized);
    // a view's setNeedsDisplay() asks for its own pixels only.
    void markDirty() {
        dirty_ = true;
        redrawAll_ = true;
    }
    // A frame is wanted though no view changed (the display lost its pixels).
    void requestFrame() { dirty_ = true; }
    bool isDirty() const { return dirty_; }
    void clearDirty() { dirty_ = false; }
    // A view shown in this window changed what it draws (its setNeedsDisplay).
    void viewChanged(const View& view);
    // A view leaves this window's tree: the pixels it and its sub-views drew last must be drawn over.
    void viewLeaving(const View& view);
    static void forgetChangedView(const View* view);

    // ---- For the one renderer that draws only what changed. Its frames are numbered; each view
    // keeps the box it drew and the frame number (View::drawnRecord).
    struct Changes {
        bool all = false;                  // everything
        std::vector<Rect> left;            // boxes (renderer pixels) of views that went
        std::vector<const View*> views;    // shown views whose subtrees changed or move by themselves
    };
    // What changed since the renderer's last frame, as of `now`; the lists are handed over.
    Changes takeChanges(double now);
    uint64_t drawnFrame() const { return drawnFrame_; }
    void setDrawnFrame(uint64_t frame) { drawnFrame_ = frame; }
    // The union of the boxes drawn in the last frame by `view` and its sub-views.
    Rect drawnBoxOfTree(const View& view) const;
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
    bool redrawAll_ = true;
    uint64_t drawnFrame_ = 0;
    std::vector<Rect> left_;
    std::unique_ptr<Touch> touch_;
};
