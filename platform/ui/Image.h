#pragma once
// A picture: RGBA pixels (straight alpha, row by row, 4 bytes a pixel) and a scale. Files named
// "name@2x.png" hold 2 pixels per point, other files 1 pixel per point. Pictures loaded by name
// are decoded once and shared; each renderer makes its texture from the pixels when it first
// draws the picture.
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/ui/Color.h"
#include "platform/ui/Geometry.h"

struct SDL_Surface;

class Image {
public:
    // The picture of the resource "name.png" / "name@2x.png" (the extension may be left out,
    // then ".png" is meant; a plain name also finds its "@2x" file). A missing or unreadable file
    // gives an empty picture (size 0), never nullptr. Cached by name.
    static std::shared_ptr<Image> named(const std::string& name);
    // Whether the resource exists, by the same lookup as named().
    static bool exists(const std::string& name);
    // A picture from a file path (not cached); empty when unreadable.
    // Pictures larger than these are not decoded (an empty image stands in).
    static constexpr uint32_t kMaxSide = 8192;
    static constexpr uint64_t kMaxPixels = 16u * 1024u * 1024u;
    static constexpr size_t kMaxFileBytes = 32u * 1024u * 1024u;
    // A PNG whose header claims a size within the limits.
    static bool pngSizeAllowed(const std::vector<uint8_t>& bytes);
    static std::shared_ptr<Image> fromFile(const std::string& path, double scale = 1.0);
    // A PNG file's bytes, decoded (on any thread); empty when they are not a readable PNG.
    static std::shared_ptr<Image> fromPngData(const std::string& bytes, double scale = 1.0);
    // A picture from pixels in memory: width x height x 4 bytes, RGBA, straight alpha unless
    // `premultiplied` (then the colour is divided back by alpha).
    static std::shared_ptr<Image> fromRGBA(int width, int height, std::vector<uint8_t> pixels, double scale = 1.0,
                                           bool premultiplied = false);
    static std::shared_ptr<Image> empty();
    // Forgets every cached picture (tests; after new files appear).
    static void clearCache();

    // Size in points (pixels / scale).
    Size size() const { return {pixelWidth_ / scale_, pixelHeight_ / scale_}; }
    double scale() const { return scale_; }
    int pixelWidth() const { return pixelWidth_; }
    int pixelHeight() const { return pixelHeight_; }
    bool isEmpty() const { return pixelWidth_ <= 0 || pixelHeight_ <= 0; }
    const std::string& name() const { return name_; }
    const std::vector<uint8_t>& pixels() const { return pixels_; }
    Color pixelAt(int x, int y) const;
    // Every pixel fully opaque (drawn without blending).
    bool isOpaque() const { return opaque_; }

    // Renderer side: the texture made for this picture by one renderer (opaque to the views).
    // Renderers are told apart by a number that is never reused.
    std::shared_ptr<void> textureFor(uint64_t renderer) const {
        return textureOwner_ == renderer ? texture_ : nullptr;
    }
    void setTexture(uint64_t renderer, std::shared_ptr<void> texture) const {
        textureOwner_ = renderer;
        texture_ = std::move(texture);
    }

    Image() = default;

private:
    std::string name_;
    int pixelWidth_ = 0;
    int pixelHeight_ = 0;
    double scale_ = 1.0;
    std::vector<uint8_t> pixels_;
    bool opaque_ = false;
    void findOpacity();
    static std::shared_ptr<Image> fromSurface(SDL_Surface* surface, double scale);
    mutable uint64_t textureOwner_ = 0;
    mutable std::shared_ptr<void> texture_;
};
