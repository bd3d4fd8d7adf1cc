#pragma once
// A small RGBA pixel buffer (ATByteImage), a drawing context over it (ATByteImageContext), and
// the picture operations built on them (ImageByteOperations): turning a picture into a filled
// silhouette, as the monster book does for monsters not yet met.
//
// Layout: rows top to bottom, 4 bytes a pixel in the order red, green, blue, alpha, colour
// premultiplied by alpha; bytesPerRow = 4 x width; 8 bits a component; device RGB.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/ui/Color.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/Image.h"

class ATByteImageContext;

class ATByteImage : public std::enable_shared_from_this<ATByteImage> {
public:
    // A cleared buffer; width and height are the integer parts of the size (negative: 0).
    static std::shared_ptr<ATByteImage> initWithSize(Size size);
    // The picture drawn into a fresh buffer of its pixel size.
    static std::shared_ptr<ATByteImage> initWithImage(const Image& image);

    explicit ATByteImage(Size size);
    ~ATByteImage();
    ATByteImage(const ATByteImage&) = delete;
    ATByteImage& operator=(const ATByteImage&) = delete;

    unsigned width() const { return width_; }
    unsigned height() const { return height_; }
    size_t byteCount() const { return static_cast<size_t>(width_) * height_ * 4; }
    static constexpr unsigned bytesPerPixel() { return 4; }
    size_t bytesPerRow() const { return static_cast<size_t>(width_) * 4; }
    static constexpr unsigned bitsPerComponent() { return 8; }
    // The buffer, or nullptr once extractImage() has taken it (or for a 0 x 0 image).
    uint8_t* bytes() { return bytes_.empty() ? nullptr : bytes_.data(); }
    const uint8_t* bytes() const { return bytes_.empty() ? nullptr : bytes_.data(); }
    bool hasBuffer() const { return !bytes_.empty(); }

    // Sets every byte to 0.
    void clear();

    // A picture that takes over the buffer without copying it (the byte image keeps no buffer
    // afterwards). `scale` is pixels per point of the picture.
    std::shared_ptr<Image> extractImage(double scale = 1.0);

    // A new context drawing into this byte image (it keeps the byte image alive).
    std::unique_ptr<ATByteImageContext> newContext();
    // The byte image's own context, made on first use.
    ATByteImageContext& context();

private:
    unsigned width_ = 0;
    unsigned height_ = 0;
    std::vector<uint8_t> bytes_;
    std::unique_ptr<ATByteImageContext> context_;
};

// Draws into a byte image, in pixels, (0, 0) at the top left. Drawing composites "source over"
// in premultiplied colour; pictures are sampled nearest-neighbour.
class ATByteImageContext {
public:
    explicit ATByteImageContext(std::shared_ptr<ATByteImage> byteImage);
    // A context that does not own its byte image (the byte image's own context()).
    explicit ATByteImageContext(ATByteImage& byteImage);

    ATByteImage& byteImage() const { return *image_; }

    void clear() { image_->clear(); }
    void fillRect(const Rect& pixels, Color color);
    // The whole picture stretched over the rectangle (in pixels).
    void drawImage(const Image& image, const Rect& pixels);

private:
    void blend(unsigned x, unsigned y, const uint8_t premultiplied[4]);

    std::shared_ptr<ATByteImage> owner_;
    ATByteImage* image_;
};

// Picture operations over byte images.
class ImageByteOperations {
public:
    ImageByteOperations() = delete;

    // Every visible pixel that is not pure black gets the colour (the integer part of each
    // component x 255, written into the premultiplied buffer); alpha is kept.
    static std::shared_ptr<Image> imageFilledWithColor(const Image& image, Color color);
    // The black silhouette: every visible pixel black, alpha kept.
    static std::shared_ptr<Image> imageFilledBlack(const Image& image);
    // The same picture in its plain decoded form (straight alpha, a fresh copy, same scale).
    static std::shared_ptr<Image> optimizedImage(const Image& image);
};
