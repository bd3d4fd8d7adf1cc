#pragma once
// How every owner holds a screen that opens over another one: a slot, a field of the owner. The
// slot makes the screen when there is none, lays its root view over a parent (the key window
// when none is given), stands as the screen's delegate, hears its close and drops it, so the next
// opening builds a fresh one. A slot that keeps its screen (the message box) holds it on after
// the close and fills it again next time.
//
//   OverlaySlot<HistoryListViewController> history_;               // a field of the owner
//   history_.present(view().get()).appearWithAnimationAllowInteraction(false);
//   history_.setOnDidClose([this] { ... });                       // after it has gone, optional
//
// The owner answers nothing itself: no overlayDidClose branch per screen. Destroying the slot
// clears the screen's delegate.
#include <functional>
#include <memory>

#include "overlays/OverlayViewController.h"
#include "overlays/OverlayViewControllerDelegate.h"
#include "platform/ui/Window.h"

template <class T>
class OverlaySlot : public OverlayViewControllerDelegate {
public:
    using Action = std::function<void()>;
    using Factory = std::function<std::shared_ptr<T>()>;

    enum Keeping { kDropOnClose, kKeepOnClose };
    explicit OverlaySlot(Keeping keeping = kDropOnClose) : keep_(keeping == kKeepOnClose) {}
    OverlaySlot(const OverlaySlot&) = delete;
    OverlaySlot& operator=(const OverlaySlot&) = delete;
    ~OverlaySlot() override {
        if (screen_) screen_->setDelegate(nullptr);
    }

    // The screen, made (by the factory when one is given) when there is none, with the slot as its
    // delegate, its view added to the parent (the key window when null) when not shown yet.
    T& present(View* parent = nullptr, const Factory& make = {}) {
        if (!screen_) screen_ = make ? make() : std::make_shared<T>();
        screen_->setDelegate(this);
        if (!screen_->view()->superview()) {
            if (!parent) parent = Window::keyWindow();
            if (parent) screen_->addViewTo(*parent);
        }
        return *screen_;
    }

    // Takes the screen away at once: view removed, delegate cleared, dropped. No animation and
    // no close actions.
    void drop() {
        if (!screen_) return;
        if (screen_->isViewLoaded() && screen_->view()->superview()) screen_->removeViewFromSuperview();
        screen_->setDelegate(nullptr);
        screen_.reset();
    }

    // Run when the screen says it is about to close (few screens do) and once it has gone.
    void setOnWillClose(Action action) { onWillClose_ = std::move(action); }
    void setOnDidClose(Action action) { onDidClose_ = std::move(action); }

    const std::shared_ptr<T>& screen() const { return screen_; }
    explicit operator bool() const { return screen_ != nullptr; }

    void overlayWillClose(OverlayViewController& overlay) override {
        if (&overlay == screen_.get() && onWillClose_) onWillClose_();
    }
    void overlayDidClose(OverlayViewController& overlay) override {
        if (&overlay != screen_.get()) return;
        if (!keep_) {
            screen_->setDelegate(nullptr);
            screen_.reset();
        }
        if (onDidClose_) onDidClose_();
    }

private:
    bool keep_;
    std::shared_ptr<T> screen_;
    Action onWillClose_;
    Action onDidClose_;
};
