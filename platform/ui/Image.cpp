#include "platform/ui/Image.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <utility>

#include "platform/foundation/DataFile.h"
#include "platform/resources/ResourceBundle.h"

namespace {

std::mutex cacheMutex;
std::map<std::string, std::shared_ptr<Image>>& cache() {
    static std::map<std::string, std::shared_ptr<Image>> images;
    return images;
}

bool endsWith(const std::string& s, const std::string& suffix) {
    return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The file a name stands for, with its scale; empty when there is none.
std::pair<std::string, double> resolve(const std::string& name) {
    if (name.empty()) return {"", 1.0};
    std::string file = name;
    const auto dot = file.rfind('.');
    if (dot == std::string::npos || file.find('/', dot) != std::string::npos) file += ".png";
    auto& bundle = ResourceBundle::mainBundle();
    std::string path = bundle.pathForResource(file, "");
    std::string used = file;
    if (path.empty() && file.find("@2x.") == std::string::npos) {
        const auto d = file.rfind('.');
        used = file.substr(0, d) + "@2x" + file.substr(d);
        path = bundle.pathForResource(used, "");
    }
    if (path.empty()) return {"", 1.0};
    const auto d = used.rfind('.');
    return {path, endsWith(used.substr(0, d), "@2x") ? 2.0 : 1.0};
}

}  // namespace

std::shared_ptr<Image> Image::empty() {
    static std::shared_ptr<Image> none = std::make_shared<Image>();
    return none;
}

std::shared_ptr<Image> Image::named(const std::string& name) {
    {
        std::lock_guard lock(cacheMutex);
        auto it = cache().find(name);
        if (it != cache().end()) return it->second;
    }
    auto [path, scale] = resolve(name);
    auto image = std::make_shared<Image>();
    if (!path.empty()) {
        // The size from the header now; the pixels when first asked for.
        uint8_t head[24] = {};
        if (SDL_RWops* f = SDL_RWFromFile(path.c_str(), "rb")) {
            const size_t got = SDL_RWread(f, head, 1, sizeof head);
            SDL_RWclose(f);
            const std::vector<uint8_t> bytes(head, head + got);
            if (pngSizeAllowed(bytes)) {
                auto word = [&](size_t at) { return int(uint32_t(head[at]) << 24 | uint32_t(head[at + 1]) << 16 | uint32_t(head[at + 2]) << 8 | head[at + 3]); };
                image->pixelWidth_ = word(16);
                image->pixelHeight_ = word(20);
                image->scale_ = scale;
                image->path_ = path;
                image->pending_.store(true);
            }
        }
    }
    image->name_ = name;
    std::lock_guard lock(cacheMutex);
    return cache().emplace(name, image).first->second;
}

bool Image::exists(const std::string& name) { return !resolve(name).first.empty(); }

void Image::decodeFile() const {
    std::lock_guard lock(decoding_);
    if (!pending_.load(std::memory_order_relaxed)) return;  // another thread was first
    const std::string path = std::exchange(path_, std::string());
    std::shared_ptr<Image> decoded = fromFile(path, scale_);
    if (decoded->pixelWidth_ == pixelWidth_ && decoded->pixelHeight_ == pixelHeight_) {
        pixels_ = std::move(decoded->pixels_);
        opaque_ = decoded->opaque_;
    } else {
        // A file whose header promised other pixels than it holds is an empty picture.
        pixelWidth_ = pixelHeight_ = 0;
    }
    pending_.store(false, std::memory_order_release);
}

void Image::clearCache() {
    std::lock_guard lock(cacheMutex);
    cache().clear();
}

namespace {
// SDL_image keeps a little global state of its own (its loaders' set-up), so decoding is one at
// a time: pictures are also decoded on the image loader's thread.
std::mutex decodeMutex;
}  // namespace

bool Image::pngSizeAllowed(const std::vector<uint8_t>& bytes) {
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    // The signature, then the IHDR chunk: length 13, the type, width and height big-endian.
    if (bytes.size() < 24 || !std::equal(signature, signature + 8, bytes.begin())) return false;
    if (std::string(bytes.begin() + 12, bytes.begin() + 16) != "IHDR") return false;
    auto word = [&](size_t at) {
        return uint32_t(bytes[at]) << 24 | uint32_t(bytes[at + 1]) << 16 | uint32_t(bytes[at + 2]) << 8 | bytes[at + 3];
    };
    const uint64_t width = word(16), height = word(20);
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide && width * height <= kMaxPixels;
}

std::shared_ptr<Image> Image::fromSurface(SDL_Surface* loaded, double scale) {
    auto image = std::make_shared<Image>();
    if (!loaded) return image;
    SDL_Surface* rgba = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(loaded);
    if (!rgba) return image;
    image->pixelWidth_ = rgba->w;
    image->pixelHeight_ = rgba->h;
    image->scale_ = scale > 0 ? scale : 1.0;
    image->pixels_.resize(static_cast<size_t>(rgba->w) * rgba->h * 4);
    SDL_LockSurface(rgba);
    for (int y = 0; y < rgba->h; ++y) {
        const auto* row = static_cast<const uint8_t*>(rgba->pixels) + static_cast<size_t>(y) * rgba->pitch;
        std::copy(row, row + rgba->w * 4, image->pixels_.begin() + static_cast<std::ptrdiff_t>(y) * rgba->w * 4);
    }
    SDL_UnlockSurface(rgba);
    SDL_FreeSurface(rgba);
    image->findOpacity();
    return image;
}

std::shared_ptr<Image> Image::fromFile(const std::string& path, double scale) {
    DataFile::Contents file = DataFile::read(path, kMaxFileBytes);
    if (file.status != DataFile::Status::Read) return std::make_shared<Image>();
    return fromPngData(std::string(file.bytes.begin(), file.bytes.end()), scale);
}

std::shared_ptr<Image> Image::fromPngData(const std::string& bytes, double scale) {
    // Only PNG, and its size is read from the header before anything is decoded: a few bytes
    // claiming 65535 x 65535 pixels would otherwise ask for gigabytes.
    if (!pngSizeAllowed(std::vector<uint8_t>(bytes.begin(), bytes.begin() + std::min<size_t>(bytes.size(), 24))))
        return std::make_shared<Image>();
    std::lock_guard lock(decodeMutex);
    SDL_RWops* stream = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    if (!stream) return std::make_shared<Image>();
    SDL_Surface* surface = IMG_LoadPNG_RW(stream);
    SDL_RWclose(stream);
    return fromSurface(surface, scale);
}

std::shared_ptr<Image> Image::fromRGBA(int width, int height, std::vector<uint8_t> pixels, double scale, bool premultiplied) {
    auto image = std::make_shared<Image>();
    if (width <= 0 || height <= 0 || pixels.size() < static_cast<size_t>(width) * height * 4) return image;
    pixels.resize(static_cast<size_t>(width) * height * 4);
    if (premultiplied) {
        for (size_t i = 0; i < pixels.size(); i += 4) {
            const unsigned a = pixels[i + 3];
            if (a == 0 || a == 255) continue;
            for (int c = 0; c < 3; ++c) pixels[i + c] = static_cast<uint8_t>(std::min(255u, (pixels[i + c] * 255u + a / 2) / a));
        }
    }
    image->pixelWidth_ = width;
    image->pixelHeight_ = height;
    image->scale_ = scale > 0 ? scale : 1.0;
    image->pixels_ = std::move(pixels);
    image->findOpacity();
    return image;
}

void Image::findOpacity() {
    opaque_ = !pixels_.empty();
    for (size_t i = 3; i < pixels_.size() && opaque_; i += 4) opaque_ = pixels_[i] == 255;
}

Color Image::pixelAt(int x, int y) const {
    decode();
    if (x < 0 || y < 0 || x >= pixelWidth_ || y >= pixelHeight_) return Color::clear();
    const size_t i = (static_cast<size_t>(y) * pixelWidth_ + x) * 4;
    return Color::fromRGBA8(pixels_[i], pixels_[i + 1], pixels_[i + 2], pixels_[i + 3]);
}
