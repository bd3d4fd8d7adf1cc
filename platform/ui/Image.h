#pragma once
// A picture: RGBA pixels (straight alpha, row by row, 4 bytes a pixel) and a scale. Files named
// "name@2x.png" hold 2 pixels per point, other files 1 pixel per point. Pictures loaded by name
// are shared, and their size comes from the file's header: the pixels are decoded only when
// first asked for (mostly by the first renderer that draws the picture), so the frames of an
// animation that has not played, or a screen not yet opened, cost no decoding at start.
// Each renderer makes its texture from the pixels when it first draws the picture.
#include <atomic>
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
    // No pixels (a picture whose file turns out unreadable when decoded becomes empty then).
    bool isEmpty() const { return pixelWidth_ <= 0 || pixelHeight_ <= 0; }
    const std::string& name() const { return name_; }
    // The pixels, decoded now if they were not yet; width x height x 4 bytes, or none when empty.
    const std::vector<uint8_t>& pixels() const {
        decode();
        return pixels_;
    }
    Color pixelAt(int x, int y) const;
    // Every pixel fully opaque (drawn without blending).
    bool isOpaque() const {
        decode();
        return opaque_;
    }

    // Renderer side: the texture made for this picture by one renderer (opaque to the views).
    // Renderers are told apart by a number that is never reused.
    std::shared_ptr<void> textureFor(uint64_t renderer) const {
        return textureOwner_ == renderer ? texture_ : nullptr;
    }
    void setTexture(uint64_t renderer, std::shared_ptr<void> texture) const {
        textureOwner_ = renderer;
        texture_ = std::move(texture);
    }

    // The same for one scaled copy of the picture, w x h pixels (the last size asked for).
    std::shared_ptr<void> scaledTextureFor(uint64_t renderer, int w, int h) const {
        return scaledOwner_ == renderer && scaledWidth_ == w && scaledHeight_ == h ? scaledTexture_ : nullptr;
    }
    void setScaledTexture(uint64_t renderer, int w, int h, std::shared_ptr<void> texture) const {
        scaledOwner_ = renderer;
        scaledWidth_ = w;
        scaledHeight_ = h;
        scaledTexture_ = std::move(texture);
    }

    Image() = default;

private:
    void decode() const {
        if (pending_.load(std::memory_order_acquire)) decodeFile();
    }
    void decodeFile() const;
    std::string name_;
    mutable std::string path_;  // the file still to decode
    mutable std::atomic<bool> pending_{false};
    mutable std::mutex decoding_;
    mutable int pixelWidth_ = 0;
    mutable int pixelHeight_ = 0;
    double scale_ = 1.0;
    mutable std::vector<uint8_t> pixels_;
    mutable bool opaque_ = false;
    void findOpacity();
    static std::shared_ptr<Image> fromSurface(SDL_Surface* surface, double scale);
    mutable uint64_t textureOwner_ = 0;
    mutable std::shared_ptr<void> texture_;
    mutable uint64_t scaledOwner_ = 0;
    mutable int scaledWidth_ = 0;
    mutable int scaledHeight_ = 0;
    mutable std::shared_ptr<void> scaledTexture_;
};
