#include "platform/ui/ImageView.h"

#include <algorithm>
#include <cmath>

#include "platform/ui/DrawContext.h"

namespace {
// Frame boundaries computed in floating point land a hair early or late; this keeps an instant
// that is exactly on a boundary on the later frame.
constexpr double kEpsilon = 1e-9;
}

ImageView::ImageView(const Rect& frame) : View(frame) { setUserInteractionEnabled(false); }

ImageView::ImageView(std::shared_ptr<Image> image)
    : View(Rect(Point(), image ? image->size() : Size())), image_(std::move(image)) {
    setUserInteractionEnabled(false);
}

ImageView::~ImageView() { endTimer_.invalidate(); }

void ImageView::setImage(std::shared_ptr<Image> image) {
    if (image == image_) return;
    image_ = std::move(image);
    if (!animating_) setNeedsDisplay();
}

void ImageView::setContentMode(ContentMode mode) {
    contentMode_ = mode;
    setNeedsDisplay();
}

void ImageView::setAnimationImages(std::vector<std::shared_ptr<Image>> images) {
    animationImages_ = std::move(images);
    if (animationImages_.empty() && animating_) stopAnimating();
    else if (animating_) setNeedsDisplay();
}

void ImageView::setAnimationDuration(double seconds) { animationDuration_ = std::max(0.0, seconds); }

double ImageView::passDuration() const {
    return animationDuration_ > 0 ? animationDuration_ : animationImages_.size() / 30.0;
}

void ImageView::startAnimating() {
    if (animationImages_.empty()) return;
    endTimer_.invalidate();
    animating_ = true;
    animationStart_ = RunLoop::main().now();
    registerAnimating(true);
    setNeedsDisplay();
    if (animationRepeatCount_ > 0) {
        const double total = passDuration() * animationRepeatCount_;
        std::weak_ptr<void> alive = lifetime();
        endTimer_ = RunLoop::main().performAfterDelay(total, [this, alive] {
            if (!alive.expired()) stopAnimating();
        });
    }
}

void ImageView::stopAnimating() {
    endTimer_.invalidate();
    if (!animating_) return;
    animating_ = false;
    registerAnimating(false);
    setNeedsDisplay();
}

size_t ImageView::frameIndexAt(double now) const {
    const size_t n = animationImages_.size();
    const double pass = passDuration();
    if (n == 0 || pass <= 0) return 0;
    const double frameTime = pass / n;
    const double elapsed = std::max(0.0, now - animationStart_);
    const auto k = static_cast<size_t>(std::floor(elapsed / frameTime + kEpsilon));
    if (animationRepeatCount_ > 0 && k >= n * static_cast<size_t>(animationRepeatCount_)) return n - 1;
    return k % n;
}

std::shared_ptr<Image> ImageView::displayedImage() const {
    if (animating_ && !animationImages_.empty()) return animationImages_[frameIndexAt(RunLoop::main().now())];
    return image_;
}

std::optional<double> ImageView::nextVisualChange(double now) const {
    auto best = View::nextVisualChange(now);
    const size_t n = animationImages_.size();
    if (animating_ && n > 1) {
        // A switch to another picture that came is due until it is drawn.
        const size_t shown = frameIndexAt(now);
        if (drawnFrame_ >= n || animationImages_[shown] != animationImages_[drawnFrame_]) return now;
        // Frames that repeat the picture before them (a pose held for several frames) cost
        // nothing: the next change is the next frame with another picture.
        const double frameTime = passDuration() / n;
        if (frameTime > 0) {
            const double k0 = std::floor((now - animationStart_) / frameTime + kEpsilon);
            for (size_t step = 1; step <= n; ++step) {
                const double t = animationStart_ + (k0 + step) * frameTime;
                if (best && t >= *best) break;
                if (animationImages_[frameIndexAt(t)] != animationImages_[shown]) {
                    best = t;
                    break;
                }
            }
        }
    }
    return best;
}

Rect ImageView::imageRect(const Image& image) const {
    const Rect b = bounds();
    const Size s = image.size();
    if (s.isEmpty()) return b;
    switch (contentMode_) {
    case ContentMode::scaleToFill: return b;
    case ContentMode::scaleAspectFit:
    case ContentMode::scaleAspectFill: {
        const double fx = b.width() / s.width, fy = b.height() / s.height;
        const double f = contentMode_ == ContentMode::scaleAspectFit ? std::min(fx, fy) : std::max(fx, fy);
        return Rect::withCenter(b.center(), Size(s.width * f, s.height * f));
    }
    case ContentMode::center: return Rect::withCenter(b.center(), s);
    case ContentMode::topLeft: return Rect(b.origin, s);
    }
    return b;
}

void ImageView::drawContent(DrawContext& context) const {
    if (animating_ && !animationImages_.empty()) drawnFrame_ = frameIndexAt(context.now());
    auto shown = displayedImage();
    if (!shown || shown->isEmpty()) return;
    context.drawImage(*shown, imageRect(*shown));
}
