#include "stage/KingImageView.h"

#include <cstdio>

#include "explore/NMCommon.h"
#include "model/GameEvents.h"
#include "model/GoldManager.h"
#include "platform/core/Random.h"

KingImageView::KingImageView(const Rect& frame) : KingImageView(frame, GoldManager::getInstance()) {}

KingImageView::KingImageView(const Rect& frame, GoldManager* goldManager) : ImageView(frame) {
    setImage(Image::named(frameName(1, 1)));
    // Bound to the king's lifetime: the manager skips it once the king is gone.
    if (goldManager) goldManager->addGoldObserver(static_cast<Object*>(this), [this](int64_t, int64_t) { goldDidChange(); });
}

KingImageView::~KingImageView() {
    stopTimer();
    pendingStep_.invalidate();
}

// ---- Frames

std::string KingImageView::frameName(int animationId, int frame) {
    char name[48];
    std::snprintf(name, sizeof name, "king-%d_%d@2x.png", animationId, frame);
    return name;
}

std::vector<std::shared_ptr<Image>> KingImageView::imagesWithAnimationId(int animationId, int numFrames) {
    std::vector<std::pair<int, int>> frames;
    for (int f = 1; f <= numFrames; ++f) frames.emplace_back(animationId, f);
    return imagesWithFrames(frames);
}

std::vector<std::shared_ptr<Image>> KingImageView::imagesWithFrames(const std::vector<std::pair<int, int>>& idAndFrame) {
    std::vector<std::shared_ptr<Image>> images;
    for (const auto& [id, frame] : idAndFrame) {
        const std::string name = frameName(id, frame);
        if (Image::exists(name)) images.push_back(Image::named(name));
    }
    return images;
}

void KingImageView::updateAnimationDuration() {
    setAnimationDuration(static_cast<double>(animationImages().size()) / kFramesPerSecond);
}

void KingImageView::playOnce(std::vector<std::shared_ptr<Image>> frames, std::shared_ptr<Image> still) {
    setImage(std::move(still));
    setAnimationImages(std::move(frames));
    setAnimationRepeatCount(1);
    updateAnimationDuration();
    startAnimating();
}

void KingImageView::cancelPendingStep() {
    pendingStep_.invalidate();
    pendingStep_ = TimerHandle();
}

// ---- Blinking

void KingImageView::stopTimer() {
    myTimer_.invalidate();
    myTimer_ = TimerHandle();
}

void KingImageView::timerHandler() {
    if (currentState_ == kStateWaiting) showBlink();
    else stopTimer();
}

void KingImageView::showBlink() {
    setAnimationImages(imagesWithFrames({{1, 1}, {1, 2}, {1, 3}, {1, 2}, {1, 1}}));
    setAnimationRepeatCount(1 + static_cast<int>(RandomSource::shared().uniform(2)));
    updateAnimationDuration();
    startAnimating();
    startWaitingAnimation();
}

// ---- States

void KingImageView::startWaitingAnimation() {
    stopTimer();
    setImage(Image::named(frameName(1, 1)));
    currentState_ = kStateWaiting;
    if (!myTimer_.isValid()) {
        const double delay = 3.0 + RandomSource::shared().uniform(3);
        myTimer_ = performBlock([this] { timerHandler(); }, delay);
    }
}

void KingImageView::startGoingExploreAnimation() {
    stopTimer();
    cancelPendingStep();
    playOnce(imagesWithAnimationId(2, 9), Image::named(frameName(2, 9)));
}

void KingImageView::startSleepAnimation() {
    stopTimer();
    if (currentState_ == kStateAsleep) return;
    cancelPendingStep();
    currentState_ = kStateAsleep;
    auto falling = imagesWithAnimationId(3, 9);
    auto last = falling.empty() ? Image::named(frameName(3, 9)) : falling.back();
    playOnce(std::move(falling), std::move(last));
    pendingStep_ = performBlock(
        [this] {
            pendingStep_ = TimerHandle();
            setAnimationImages(imagesWithFrames({{4, 1}, {4, 1}, {4, 1}, {4, 1}, {4, 1}, {4, 1}, {4, 2}, {4, 3}, {4, 2}, {4, 1}}));
            setAnimationRepeatCount(0);
            updateAnimationDuration();
            startAnimating();
            NMCommon::sendNotification(GameEvents::kSleepAnimationDidStart);
        },
        animationDuration());
}

void KingImageView::startExploreEndAnimation() {
    stopTimer();
    cancelPendingStep();
    if (currentState_ != kStateAsleep) {
        stopAnimating();
        setImage(Image::named(frameName(5, 11)));
        return;
    }
    currentState_ = kStateExploreEnded;
    auto waking = imagesWithAnimationId(5, 11);
    auto last = waking.empty() ? Image::named(frameName(5, 11)) : waking.back();
    playOnce(std::move(waking), std::move(last));
}

void KingImageView::startCheckEndAnimation() {
    cancelPendingStep();
    if (currentState_ == kStateWaiting) {
        startWaitingAnimation();
        return;
    }
    playOnce(imagesWithFrames({{2, 3}, {2, 2}, {2, 1}, {1, 1}}), Image::named(frameName(1, 1)));
    pendingStep_ = performBlock(
        [this] {
            pendingStep_ = TimerHandle();
            startWaitingAnimation();
        },
        animationDuration());
}

// ---- Hopping

void KingImageView::goldDidChange() {
    if (animating_) return;
    animating_ = true;
    jumpAnimationWithRepeatTime(4, center());
}

void KingImageView::jumpAnimationWithRepeatTime(int repeatTime, Point orgCenter) {
    AnimationOptions options;
    options.curve = AnimationCurve::easeOut;
    options.allowUserInteraction = true;
    const double lift = 0.1 * frame().height();
    std::weak_ptr<void> alive = lifetime();
    View::animateWithDuration(
        kHopStepDuration, 0, options, [this, orgCenter, lift] { setCenter({orgCenter.x, orgCenter.y - lift}); },
        [this, alive, options, repeatTime, orgCenter](bool) {
            if (alive.expired()) return;
            View::animateWithDuration(
                kHopStepDuration, 0, options, [this, orgCenter] { setCenter(orgCenter); },
                [this, alive, repeatTime, orgCenter](bool) {
                    if (alive.expired()) return;
                    if (repeatTime <= 1) animating_ = false;
                    else jumpAnimationWithRepeatTime(repeatTime - 1, orgCenter);
                });
        });
}
