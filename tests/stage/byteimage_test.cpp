// The pixel buffer, its drawing context and the silhouettes made with them.
#include "stage_test_support.h"
#include "stage/ByteImage.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::shared_ptr<Image> picture(int w, int h, Bytes rgba, double scale = 1.0) { return Image::fromRGBA(w, h, std::move(rgba), scale); }
Bytes pixel(const Image& image, int x, int y) {
    const uint8_t* p = image.pixels().data() + (static_cast<size_t>(y) * image.pixelWidth() + x) * 4;
    return {p, p + 4};
}
Bytes bytesAt(const uint8_t* b, int index) { return {b + 4 * index, b + 4 * index + 4}; }

TEST(StageByteImageTest, BuffersPremultiplyOnTheWayInAndUndoItOnTheWayOut) {
    auto image = ATByteImage::initWithSize(Size(3.7, 2.2));
    EXPECT_EQ(image->byteCount(), 24u);
    EXPECT_EQ(ATByteImage::initWithSize(Size(-4, 10))->bytes(), nullptr);
    // 2 x 1 @2x: half-transparent white and opaque blue, at their pixel size.
    auto stored = ATByteImage::initWithImage(*picture(2, 1, {255, 255, 255, 128, 0, 0, 255, 255}, 2.0));
    ASSERT_EQ(stored->width(), 2u);
    EXPECT_EQ(Bytes(stored->bytes(), stored->bytes() + 8), (Bytes{128, 128, 128, 128, 0, 0, 255, 255}));
    const uint8_t values[8] = {100, 0, 50, 200, 0, 0, 0, 0};
    std::copy(values, values + 8, stored->bytes());
    auto extracted = stored->extractImage(2.0);
    EXPECT_FALSE(stored->hasBuffer());
    EXPECT_EQ(extracted->size(), Size(1, 0.5));
    EXPECT_EQ(pixel(*extracted, 0, 0), (Bytes{128, 0, 64, 200}));
    EXPECT_TRUE(stored->extractImage()->isEmpty());  // nothing left to give
}

TEST(StageByteImageTest, ContextsDrawOverWhatIsThere) {
    auto image = ATByteImage::initWithSize(Size(4, 4));
    auto context = image->newContext();
    std::weak_ptr<ATByteImage> weak = image;
    image.reset();
    ASSERT_FALSE(weak.expired());  // the context keeps its byte image
    context->drawImage(*picture(1, 1, {255, 0, 0, 255}), Rect(0, 0, 4, 4));  // stretched over all 16
    const uint8_t* b = context->byteImage().bytes();
    for (int i = 0; i < 16; ++i) EXPECT_EQ(bytesAt(b, i), (Bytes{255, 0, 0, 255}));
    context->fillRect(Rect(1, 1, 2, 1), Color(0, 0, 1, 0.5f));  // half blue over red
    EXPECT_EQ(bytesAt(b, 5), (Bytes{127, 0, 128, 255}));
    // Nearest-neighbour scaling: a 2 x 1 picture over 4 x 1 pixels; the next row untouched.
    context->clear();
    context->drawImage(*picture(2, 1, {0, 255, 0, 255, 0, 0, 0, 255}), Rect(0, 0, 4, 1));
    EXPECT_EQ((Bytes{b[1], b[5], b[9], b[15], b[19]}), (Bytes{255, 255, 0, 255, 0}));
}

TEST(StageSilhouetteTest, VisiblePixelsTakeTheColourBlackStaysAndAlphaIsKept) {
    auto source = picture(4, 1, {255, 0, 0, 128, 200, 100, 50, 0, 0, 0, 0, 255, 10, 200, 30, 255});
    auto black = ImageByteOperations::imageFilledBlack(*source);
    EXPECT_EQ(pixel(*black, 0, 0), (Bytes{0, 0, 0, 128}));
    EXPECT_EQ(pixel(*black, 3, 0), (Bytes{0, 0, 0, 255}));
    auto tinted = ImageByteOperations::imageFilledWithColor(*source, Color(0.2f, 0.4f, 0.6f));
    EXPECT_EQ(pixel(*tinted, 2, 0), (Bytes{0, 0, 0, 255}));  // pure black is left alone
    EXPECT_EQ(pixel(*tinted, 3, 0), (Bytes{51, 102, 153, 255}));
    EXPECT_EQ(ImageByteOperations::imageFilledBlack(*picture(4, 2, Bytes(32, 255), 2.0))->size(), Size(2, 1));
}

}  // namespace
