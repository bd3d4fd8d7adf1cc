#pragma once
// The base of every screen that opens over the main screen. Its root view is laid over the
// window (or the main screen's view) by its owner; it pops in, and when closed it shrinks out,
// leaves the screen and tells its owner (the delegate), which then drops it.
//
//   overlay->appearWithAnimationAllowInteraction(false);  // pop-in, touches off while it runs
//   ...
//   overlay->pressClose();   // shrink-out, then close(): view removed, overlayDidClose(owner)
//
// The pop-in and shrink-out act on `containerView` (the view named "containerView" in the
// layout, when there is one) or else on the whole root view. A button named "closeBtn" in the
// layout is pressed by Esc while it is shown (Window::handleEscapeKey).
//
// Owners hold overlays by std::shared_ptr. close() keeps the overlay and its view alive until
// the next pass of the main run loop, so an owner may drop its reference in overlayDidClose
// even though close() runs inside the overlay's own animation completion.
#include <memory>
#include <string>

#include "overlays/OverlayViewControllerDelegate.h"
#include "platform/ui/ScreenController.h"

class OverlayViewController : public ScreenController, public std::enable_shared_from_this<OverlayViewController> {
public:
    explicit OverlayViewController(std::string layoutName);
    ~OverlayViewController() override;

    // Stores the flag, then the pop-in (the stock grow-in with a bounce) on the container or the root view.
    virtual void appearWithAnimationAllowInteraction(bool allowInteraction);
    // The close button: the stock shrink-out with the stored flag, then close().
    virtual void pressClose();
    // Tells the delegate the overlay is about to close (never called by the base on its own).
    void willClose();
    // Removes the root view from its superview, then tells the delegate it has closed.
    virtual void close();

    // ---- Fields
    bool isAllowInteraction() const { return isAllowInteraction_; }
    void setAllowInteraction(bool allow) { isAllowInteraction_ = allow; }
    // The owner; held weakly (an owner that is an Object is forgotten when it is destroyed).
    OverlayViewControllerDelegate* delegate() const;
    void setDelegate(OverlayViewControllerDelegate* delegate);
    const std::shared_ptr<View>& containerView() const { return containerView_; }
    void setContainerView(std::shared_ptr<View> view) { containerView_ = std::move(view); }

    // On a screen taller than 480 points the root view moves down to (0, height - 480), keeping
    // its size (the band above is the advertising panel's). Nothing on a 480-point screen.
    void moveDownOnTallScreen();
    static bool isTallScreen();

    // The view the stock animations act on: the container, or the root view.
    View& animatedView();

protected:
    // Stores the flag and counts an appearance (for subclasses that appear without the pop-in).
    void beginAppearance(bool allowInteraction);
    void bindOutlets() override;
    void viewDidUnload() override;

private:
    bool isAllowInteraction_ = false;
    OverlayViewControllerDelegate* delegate_ = nullptr;
    std::weak_ptr<void> delegateLifetime_;
    bool delegateTracked_ = false;
    // Counts the appearances: a shrink-out whose overlay was shown again meanwhile closes nothing.
    unsigned appearCount_ = 0;
    std::shared_ptr<View> containerView_;
};
