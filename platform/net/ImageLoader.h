#pragma once
// The background image loader: fetches a PNG through the HTTP client's rules (1 MiB cap),
// reads its header and refuses pictures wider or taller than the cap before anything is
// decoded, decodes on its own background thread and hands the picture to the main loop.
// Like the HTTP client, a load outliving its owner delivers nothing.
//
//   ImageLoader::shared().load(iconAddress, 2.0, cell->lifetime(),
//       [view](std::shared_ptr<Image> image) { view->setImage(image); });
#include <functional>
#include <memory>
#include <string>

#include "platform/net/HttpClient.h"
#include "platform/ui/Image.h"

class ImageLoader {
public:
    using ImageHandler = std::function<void(std::shared_ptr<Image>)>;

    static constexpr size_t kMaxBytes = 1024 * 1024;
    static constexpr int kMaxDimension = 1024;  // pixels, each way

    static ImageLoader& shared();
    ImageLoader();
    ~ImageLoader();
    ImageLoader(const ImageLoader&) = delete;
    ImageLoader& operator=(const ImageLoader&) = delete;

    // Loads the picture at `url` with `scale` pixels a point. onImage gets a non-empty picture;
    // every failure goes to onFailure (which may be empty).
    std::shared_ptr<HttpRequest> load(const std::string& url, double scale, std::weak_ptr<void> owner, ImageHandler onImage,
                                      HttpClient::FailureHandler onFailure = {});
    void waitUntilIdle();

    // The width and height a PNG's header claims; false when the bytes do not start like a PNG.
    static bool pngDimensions(const std::string& bytes, uint32_t* width, uint32_t* height);
    // Header check and decoding, on the calling thread.
    static std::shared_ptr<Image> decode(const std::string& bytes, double scale, HttpError* error);

    // The limits a fetch runs with (tests lower the time rules).
    HttpLimits limits;

private:
    BackgroundWorker worker_;
    std::shared_ptr<std::atomic<bool>> shuttingDown_;
};
