#include "overlays/OverlayViewController.h"

#include "overlays/OverlayLayoutClasses.h"
#include "platform/ui/Button.h"
#include "platform/ui/Screen.h"
#include "stage/NMAnimationCommon.h"

namespace {
constexpr double kBaseScreenHeight = 480;
}  // namespace

OverlayViewController::OverlayViewController(std::string layoutName) : ScreenController(std::move(layoutName)) {
    OverlayLayoutClasses::registerAll();
}

OverlayViewController::~OverlayViewController() = default;

void OverlayViewController::bindOutlets() {
    // The panel is optional: without one the animations move the whole screen.
    containerView_ = view()->viewWithName("containerView");
    // Esc presses the close button while it is shown (a screen may have none).
    if (auto close = std::dynamic_pointer_cast<Button>(view()->viewWithName("closeBtn"))) close->setClosesOnEscape(true);
}

void OverlayViewController::viewDidUnload() { containerView_.reset(); }

View& OverlayViewController::animatedView() { return containerView_ ? *containerView_ : *view(); }

void OverlayViewController::appearWithAnimationAllowInteraction(bool allowInteraction) {
    beginAppearance(allowInteraction);
    NMAnimationCommon::animateView(animatedView(), NMAnimationCommon::kGrowInWithBounce, allowInteraction);
}

void OverlayViewController::beginAppearance(bool allowInteraction) {
    isAllowInteraction_ = allowInteraction;
    ++appearCount_;
}

void OverlayViewController::pressClose() {
    std::weak_ptr<void> alive = lifetime();
    const unsigned shownAs = appearCount_;
    NMAnimationCommon::animateView(animatedView(), NMAnimationCommon::kShrinkOut, isAllowInteraction_, [this, alive, shownAs] {
        // Shown again while shrinking (a new message in the same box): it stays.
        if (!alive.expired() && appearCount_ == shownAs) close();
    });
}

OverlayViewControllerDelegate* OverlayViewController::delegate() const {
    if (delegateTracked_ && delegateLifetime_.expired()) return nullptr;
    return delegate_;
}

void OverlayViewController::setDelegate(OverlayViewControllerDelegate* delegate) {
    delegate_ = delegate;
    auto* object = dynamic_cast<Object*>(delegate);
    delegateTracked_ = object != nullptr;
    delegateLifetime_ = object ? object->lifetime() : std::weak_ptr<void>();
}

void OverlayViewController::willClose() {
    if (auto* d = delegate()) d->overlayWillClose(*this);
}

void OverlayViewController::close() {
    // The owner may drop this overlay from overlayDidClose while we are still inside the
    // animation completion that the view owns: both stay alive until the next pass.
    std::shared_ptr<OverlayViewController> self = weak_from_this().lock();
    std::shared_ptr<View> root = isViewLoaded() ? view() : nullptr;
    if (self || root) RunLoop::main().post([self, root] {});
    if (root && root->superview()) removeViewFromSuperview();
    if (auto* d = delegate()) d->overlayDidClose(*this);
}

bool OverlayViewController::isTallScreen() { return Screen::mainScreen().bounds().height() > kBaseScreenHeight; }

void OverlayViewController::moveDownOnTallScreen() {
    if (!isTallScreen()) return;
    const Rect frame = view()->frame();
    view()->setFrame(Rect(0, Screen::mainScreen().bounds().height() - kBaseScreenHeight, frame.width(), frame.height()));
}
