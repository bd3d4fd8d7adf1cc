#include "platform/net/ImageLoader.h"

namespace {
uint32_t bigEndian32(const std::string& b, size_t at) {
    return (uint32_t(uint8_t(b[at])) << 24) | (uint32_t(uint8_t(b[at + 1])) << 16) | (uint32_t(uint8_t(b[at + 2])) << 8) |
           uint32_t(uint8_t(b[at + 3]));
}
}  // namespace

ImageLoader& ImageLoader::shared() {
    static ImageLoader loader;
    return loader;
}

ImageLoader::ImageLoader() : shuttingDown_(std::make_shared<std::atomic<bool>>(false)) {
    limits.maxBytes = kMaxBytes;
    // The HTTP library (and the TLS library under it) is set up here, on the caller's thread and
    // before this loader is finished, so its own exit-time cleanup runs after our worker has been
    // joined; set up first from the worker, it would tear down under a live thread.
    HttpClient::shared();
}

ImageLoader::~ImageLoader() { shuttingDown_->store(true); }

bool ImageLoader::pngDimensions(const std::string& bytes, uint32_t* width, uint32_t* height) {
    // Signature, then the first chunk must be IHDR: length 13, "IHDR", width, height.
    if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 || bytes.compare(12, 4, "IHDR") != 0) return false;
    *width = bigEndian32(bytes, 16);
    *height = bigEndian32(bytes, 20);
    return true;
}

std::shared_ptr<Image> ImageLoader::decode(const std::string& bytes, double scale, HttpError* error) {
    uint32_t w = 0, h = 0;
    error->kind = HttpError::Kind::badContent;
    if (!pngDimensions(bytes, &w, &h)) {
        error->message = "not a PNG picture";
        return nullptr;
    }
    if (w == 0 || h == 0 || w > kMaxDimension || h > kMaxDimension) {
        error->message = "picture of " + std::to_string(w) + " x " + std::to_string(h) + " pixels refused";
        return nullptr;
    }
    auto image = Image::fromPngData(bytes, scale);
    if (image->isEmpty()) {
        error->message = "unreadable PNG picture";
        return nullptr;
    }
    return image;
}

std::shared_ptr<HttpRequest> ImageLoader::load(const std::string& url, double scale, std::weak_ptr<void> owner, ImageHandler onImage,
                                               HttpClient::FailureHandler onFailure) {
    return HttpClient::fetchAndDeliver(worker_, shuttingDown_, url, limits, std::move(owner), [scale, onImage](HttpResponse& response, HttpError* error) {
        auto image = decode(response.body, scale, error);
        if (!image) return std::function<void()>();
        return std::function<void()>([onImage, image] {
            if (onImage) onImage(image);
        });
    }, std::move(onFailure));
}

void ImageLoader::waitUntilIdle() { worker_.waitUntilIdle(); }
