#include "stage/ByteImage.h"

#include <algorithm>
#include <cmath>

namespace {

unsigned integerPart(double v) { return v > 0 ? static_cast<unsigned>(v) : 0u; }

uint8_t premultiply(uint8_t c, uint8_t a) { return static_cast<uint8_t>((c * a + 127) / 255); }

// The integer part of a colour component times 255.
uint8_t componentByte(float c) {
    const float v = std::clamp(c, 0.0f, 1.0f) * 255.0f;
    return static_cast<uint8_t>(v);
}

}  // namespace

// ---- ATByteImage

std::shared_ptr<ATByteImage> ATByteImage::initWithSize(Size size) { return std::make_shared<ATByteImage>(size); }

std::shared_ptr<ATByteImage> ATByteImage::initWithImage(const Image& image) {
    auto byteImage = initWithSize(Size(image.pixelWidth(), image.pixelHeight()));
    if (byteImage->hasBuffer())
        byteImage->context().drawImage(image, Rect(0, 0, byteImage->width(), byteImage->height()));
    return byteImage;
}

ATByteImage::ATByteImage(Size size)
    : width_(integerPart(size.width)), height_(integerPart(size.height)), bytes_(byteCount(), 0) {}

ATByteImage::~ATByteImage() = default;

void ATByteImage::clear() { std::fill(bytes_.begin(), bytes_.end(), 0); }

std::shared_ptr<Image> ATByteImage::extractImage(double scale) {
    std::vector<uint8_t> taken;
    taken.swap(bytes_);
    return Image::fromRGBA(static_cast<int>(width_), static_cast<int>(height_), std::move(taken), scale, true);
}

std::unique_ptr<ATByteImageContext> ATByteImage::newContext() {
    return std::make_unique<ATByteImageContext>(shared_from_this());
}

ATByteImageContext& ATByteImage::context() {
    if (!context_) context_ = std::make_unique<ATByteImageContext>(*this);
    return *context_;
}

// ---- ATByteImageContext

ATByteImageContext::ATByteImageContext(std::shared_ptr<ATByteImage> byteImage)
    : owner_(std::move(byteImage)), image_(owner_.get()) {}

ATByteImageContext::ATByteImageContext(ATByteImage& byteImage) : image_(&byteImage) {}

void ATByteImageContext::blend(unsigned x, unsigned y, const uint8_t src[4]) {
    uint8_t* bytes = image_->bytes();
    if (!bytes || x >= image_->width() || y >= image_->height()) return;
    uint8_t* dst = bytes + y * image_->bytesPerRow() + x * 4;
    const unsigned keep = 255u - src[3];
    for (int i = 0; i < 4; ++i) dst[i] = static_cast<uint8_t>(src[i] + (dst[i] * keep + 127) / 255);
}

void ATByteImageContext::fillRect(const Rect& pixels, Color color) {
    const uint8_t a = color.a8();
    const uint8_t src[4] = {premultiply(color.r8(), a), premultiply(color.g8(), a), premultiply(color.b8(), a), a};
    const auto x0 = static_cast<long>(std::max(0.0, std::round(pixels.minX())));
    const auto y0 = static_cast<long>(std::max(0.0, std::round(pixels.minY())));
    const auto x1 = std::min<long>(image_->width(), std::lround(pixels.maxX()));
    const auto y1 = std::min<long>(image_->height(), std::lround(pixels.maxY()));
    for (long y = y0; y < y1; ++y)
        for (long x = x0; x < x1; ++x) blend(static_cast<unsigned>(x), static_cast<unsigned>(y), src);
}

void ATByteImageContext::drawImage(const Image& image, const Rect& pixels) {
    if (image.isEmpty() || pixels.isEmpty() || !image_->hasBuffer()) return;
    const auto& source = image.pixels();
    const int sw = image.pixelWidth(), sh = image.pixelHeight();
    const auto x0 = static_cast<long>(std::max(0.0, std::floor(pixels.minX())));
    const auto y0 = static_cast<long>(std::max(0.0, std::floor(pixels.minY())));
    const auto x1 = std::min<long>(image_->width(), static_cast<long>(std::ceil(pixels.maxX())));
    const auto y1 = std::min<long>(image_->height(), static_cast<long>(std::ceil(pixels.maxY())));
    for (long y = y0; y < y1; ++y) {
        // Sample at the pixel's centre.
        const double v = (y + 0.5 - pixels.minY()) / pixels.height();
        if (v < 0 || v >= 1) continue;
        const int sy = std::min(sh - 1, static_cast<int>(v * sh));
        for (long x = x0; x < x1; ++x) {
            const double u = (x + 0.5 - pixels.minX()) / pixels.width();
            if (u < 0 || u >= 1) continue;
            const int sx = std::min(sw - 1, static_cast<int>(u * sw));
            const uint8_t* s = source.data() + (static_cast<size_t>(sy) * sw + sx) * 4;
            const uint8_t src[4] = {premultiply(s[0], s[3]), premultiply(s[1], s[3]), premultiply(s[2], s[3]), s[3]};
            blend(static_cast<unsigned>(x), static_cast<unsigned>(y), src);
        }
    }
}

// ---- ImageByteOperations

std::shared_ptr<Image> ImageByteOperations::imageFilledWithColor(const Image& image, Color color) {
    const uint8_t r = componentByte(color.red), g = componentByte(color.green), b = componentByte(color.blue);
    auto byteImage = ATByteImage::initWithImage(image);
    if (uint8_t* bytes = byteImage->bytes()) {
        for (size_t i = 0; i < byteImage->byteCount(); i += 4) {
            uint8_t* px = bytes + i;
            if (px[3] == 0) continue;                                // transparent: untouched
            if (px[0] == 0 && px[1] == 0 && px[2] == 0) continue;  // pure black: already a silhouette
            px[0] = r;
            px[1] = g;
            px[2] = b;
        }
    }
    auto filled = byteImage->extractImage(image.scale());
    return optimizedImage(*filled);
}

std::shared_ptr<Image> ImageByteOperations::imageFilledBlack(const Image& image) {
    return imageFilledWithColor(image, Color::black());
}

std::shared_ptr<Image> ImageByteOperations::optimizedImage(const Image& image) {
    return Image::fromRGBA(image.pixelWidth(), image.pixelHeight(), image.pixels(), image.scale(), false);
}
