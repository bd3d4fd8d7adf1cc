#pragma once
// A view showing a picture, or a frame animation: `animationImages` played over
// `animationDuration` seconds per pass, `animationRepeatCount` passes (0: without end). While it
// runs the frames are shown; otherwise the still `image`. Frame switches fall at exact instants
// computed from the clock (start + k x duration / frames); a finite animation stops itself at its
// end. Touches pass through image views unless interaction is switched on, as on the phone.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/core/RunLoop.h"
#include "platform/ui/Image.h"
#include "platform/ui/View.h"

enum class ContentMode { scaleToFill, scaleAspectFit, scaleAspectFill, center, topLeft };

class ImageView : public View {
public:
    explicit ImageView(const Rect& frame = {});
    // Sized to the picture, at the origin.
    explicit ImageView(std::shared_ptr<Image> image);
    ~ImageView() override;

    const std::shared_ptr<Image>& image() const { return image_; }
    void setImage(std::shared_ptr<Image> image);
    ContentMode contentMode() const { return contentMode_; }
    void setContentMode(ContentMode mode);

    const std::vector<std::shared_ptr<Image>>& animationImages() const { return animationImages_; }
    void setAnimationImages(std::vector<std::shared_ptr<Image>> images);
    // Seconds for one pass; 0 means frames x 1/30 s.
    double animationDuration() const { return animationDuration_; }
    void setAnimationDuration(double seconds);
    int animationRepeatCount() const { return animationRepeatCount_; }
    void setAnimationRepeatCount(int count) { animationRepeatCount_ = count < 0 ? 0 : count; }
    // Starts (or restarts) from the first frame; nothing without frames.
    void startAnimating();
    void stopAnimating();
    bool isAnimating() const { return animating_; }

    // The picture on screen now (a frame while animating, else the still picture).
    std::shared_ptr<Image> displayedImage() const;
    // Where the picture is drawn in the view's coordinates, by the content mode.
    Rect imageRect(const Image& image) const;

    void drawContent(DrawContext& context) const override;
    std::optional<double> nextVisualChange(double now) const override;

private:
    double passDuration() const;
    size_t frameIndexAt(double now) const;
    std::shared_ptr<Image> image_;
    ContentMode contentMode_ = ContentMode::scaleToFill;
    std::vector<std::shared_ptr<Image>> animationImages_;
    double animationDuration_ = 0;
    int animationRepeatCount_ = 0;
    bool animating_ = false;
    double animationStart_ = 0;
    mutable size_t drawnFrame_ = SIZE_MAX;  // the animation frame last drawn
    TimerHandle endTimer_;
};
