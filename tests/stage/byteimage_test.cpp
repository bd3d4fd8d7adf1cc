// The pixel buffer, its drawing context and the silhouettes made with them.
#include "stage_test_support.h"
#include "stage/ByteImage.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes pixel(const Image& image, int x) { return {image.pixels().begin() + 4 * x, image.pixels().begin() + 4 * x + 4}; }

TEST(StageByteImageTest, ContextsBlendPremultipliedAndSilhouettesKeepBlackAndAlpha) {
    auto image = ATByteImage::initWithSize(Size(4.7, 1.2));
    auto context = image->newContext();
    std::weak_ptr<ATByteImage> weak = image;
    image.reset();
    ASSERT_FALSE(weak.expired());  // the context keeps its byte image
    // Nearest-neighbour: a 2 x 1 picture over 4 pixels, half-transparent white and opaque red.
    context->drawImage(*Image::fromRGBA(2, 1, {255, 255, 255, 128, 255, 0, 0, 255}), Rect(0, 0, 4, 1));
    context->fillRect(Rect(3, 0, 1, 1), Color(0, 0, 1, 0.5f));  // half blue over red
    const uint8_t* b = context->byteImage().bytes();
    EXPECT_EQ(Bytes(b, b + 16), (Bytes{128, 128, 128, 128, 128, 128, 128, 128, 255, 0, 0, 255, 127, 0, 128, 255}));
    auto extracted = context->byteImage().extractImage(2.0);
    EXPECT_EQ(extracted->size(), Size(2, 0.5));
    EXPECT_EQ(pixel(*extracted, 0), (Bytes{255, 255, 255, 128}));
    // Silhouettes: pixels 0 half-transparent red, 1 invisible, 2 black, 3 opaque green.
    auto source = Image::fromRGBA(4, 1, {255, 0, 0, 128, 200, 100, 50, 0, 0, 0, 0, 255, 10, 200, 30, 255}, 2.0);
    auto black = ImageByteOperations::imageFilledBlack(*source);
    EXPECT_EQ(pixel(*black, 0), (Bytes{0, 0, 0, 128}));
    EXPECT_EQ(black->size(), Size(2, 0.5));
    auto tinted = ImageByteOperations::imageFilledWithColor(*source, Color(0.2f, 0.4f, 0.6f));
    EXPECT_EQ(pixel(*tinted, 1)[3], 0);
    EXPECT_EQ(pixel(*tinted, 2), (Bytes{0, 0, 0, 255}));  // pure black is left alone
    EXPECT_EQ(pixel(*tinted, 3), (Bytes{51, 102, 153, 255}));
}

}  // namespace
