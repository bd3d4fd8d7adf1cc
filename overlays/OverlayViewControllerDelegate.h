#pragma once
// The owner of an overlay screen: told when the overlay is about to close (only when the
// overlay asks for it, see OverlayViewController::willClose) and when it has closed and left
// the screen. The owner usually drops its strong reference to the overlay in overlayDidClose.
class OverlayViewController;

class OverlayViewControllerDelegate {
public:
    virtual ~OverlayViewControllerDelegate() = default;
    virtual void overlayWillClose(OverlayViewController& overlay) = 0;
    virtual void overlayDidClose(OverlayViewController& overlay) = 0;
};
