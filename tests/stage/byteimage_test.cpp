// The pixel buffer, its drawing context and the silhouettes made with them.
#include "StageTestSupport.h"
#include "stage/ByteImage.h"

namespace {

using stagetest::StageTest;

std::shared_ptr<Image> picture(int w, int h, std::vector<uint8_t> rgba, double scale = 1.0) {
    return Image::fromRGBA(w, h, std::move(rgba), scale);
}

std::vector<uint8_t> pixel(const Image& image, int x, int y) {
    const size_t i = (static_cast<size_t>(y) * image.pixelWidth() + x) * 4;
    return {image.pixels()[i], image.pixels()[i + 1], image.pixels()[i + 2], image.pixels()[i + 3]};
}

using Bytes = std::vector<uint8_t>;

TEST(StageByteImageTest, FieldsFollowTheIntegerSize) {
    auto image = ATByteImage::initWithSize(Size(3.7, 2.2));
    EXPECT_EQ(image->width(), 3u);
    EXPECT_EQ(image->height(), 2u);
    EXPECT_EQ(image->byteCount(), 24u);
    EXPECT_EQ(image->bytesPerPixel(), 4u);
    EXPECT_EQ(image->bytesPerRow(), 12u);
    EXPECT_EQ(image->bitsPerComponent(), 8u);
    ASSERT_NE(image->bytes(), nullptr);
    for (size_t i = 0; i < image->byteCount(); ++i) EXPECT_EQ(image->bytes()[i], 0);

    image->bytes()[5] = 99;
    image->clear();
    EXPECT_EQ(image->bytes()[5], 0);

    auto none = ATByteImage::initWithSize(Size(-4, 10));
    EXPECT_EQ(none->width(), 0u);
    EXPECT_EQ(none->bytes(), nullptr);
}

TEST(StageByteImageTest, PicturesAreStoredPremultipliedAtTheirPixelSize) {
    // 2 x 1 @2x: half-transparent white and opaque blue.
    auto source = picture(2, 1, {255, 255, 255, 128, 0, 0, 255, 255}, 2.0);
    auto image = ATByteImage::initWithImage(*source);
    ASSERT_EQ(image->width(), 2u);
    ASSERT_EQ(image->height(), 1u);
    const uint8_t* b = image->bytes();
    EXPECT_EQ(Bytes(b, b + 8), (Bytes{128, 128, 128, 128, 0, 0, 255, 255}));
}

TEST(StageByteImageTest, ExtractTakesTheBufferAndUndoesThePremultiplying) {
    auto image = ATByteImage::initWithSize(Size(2, 1));
    uint8_t* b = image->bytes();
    const uint8_t values[8] = {100, 0, 50, 200, 0, 0, 0, 0};
    std::copy(values, values + 8, b);
    auto extracted = image->extractImage(2.0);
    EXPECT_EQ(image->bytes(), nullptr);
    EXPECT_FALSE(image->hasBuffer());
    ASSERT_EQ(extracted->pixelWidth(), 2);
    EXPECT_DOUBLE_EQ(extracted->scale(), 2.0);
    EXPECT_EQ(extracted->size(), Size(1, 0.5));
    EXPECT_EQ(pixel(*extracted, 0, 0), (Bytes{128, 0, 64, 200}));
    EXPECT_EQ(pixel(*extracted, 1, 0)[3], 0);
    // A second extraction has nothing left to give.
    EXPECT_TRUE(image->extractImage()->isEmpty());
}

TEST(StageByteImageTest, ContextsDrawOverWhatIsThere) {
    auto image = ATByteImage::initWithSize(Size(4, 4));
    auto context = image->newContext();
    std::weak_ptr<ATByteImage> weak = image;
    image.reset();
    ASSERT_FALSE(weak.expired());  // the context keeps its byte image

    auto red = picture(1, 1, {255, 0, 0, 255});
    context->drawImage(*red, Rect(0, 0, 4, 4));  // stretched over all 16 pixels
    const uint8_t* b = context->byteImage().bytes();
    for (int i = 0; i < 16; ++i) EXPECT_EQ(Bytes(b + 4 * i, b + 4 * i + 4), (Bytes{255, 0, 0, 255}));

    context->fillRect(Rect(1, 1, 2, 1), Color(0, 0, 1, 0.5f));  // half blue over red
    EXPECT_EQ(Bytes(b + 4 * 5, b + 4 * 5 + 4), (Bytes{127, 0, 128, 255}));
    EXPECT_EQ(Bytes(b + 4 * 4, b + 4 * 4 + 4), (Bytes{255, 0, 0, 255}));

    // Nearest-neighbour scaling: a 2 x 1 picture over 4 x 1 pixels.
    context->clear();
    context->drawImage(*picture(2, 1, {0, 255, 0, 255, 0, 0, 0, 255}), Rect(0, 0, 4, 1));
    EXPECT_EQ(b[1], 255);
    EXPECT_EQ(b[5], 255);
    EXPECT_EQ(b[9], 0);
    EXPECT_EQ(b[15], 255);
    EXPECT_EQ(b[16 + 3], 0);  // the next row is untouched

    // The byte image's own context draws into it as well.
    auto other = ATByteImage::initWithSize(Size(1, 1));
    other->context().fillRect(Rect(0, 0, 1, 1), Color::whiteColor());
    EXPECT_EQ(other->bytes()[0], 255);
}

TEST(StageSilhouetteTest, VisiblePixelsTurnBlackAndKeepTheirAlpha) {
    auto source = picture(4, 1, {
                                    255, 0, 0, 128,     // half-transparent red
                                    200, 100, 50, 0,    // transparent
                                    0, 0, 0, 255,       // pure black
                                    255, 255, 255, 255  // white
                                });
    auto black = ImageByteOperations::imageFilledBlack(*source);
    ASSERT_EQ(black->pixelWidth(), 4);
    EXPECT_EQ(pixel(*black, 0, 0), (Bytes{0, 0, 0, 128}));
    EXPECT_EQ(pixel(*black, 1, 0)[3], 0);
    EXPECT_EQ(pixel(*black, 2, 0), (Bytes{0, 0, 0, 255}));
    EXPECT_EQ(pixel(*black, 3, 0), (Bytes{0, 0, 0, 255}));
}

TEST(StageSilhouetteTest, ColoursFillEveryComponentAndLeaveBlackAlone) {
    auto source = picture(3, 1, {10, 200, 30, 255, 0, 0, 0, 255, 90, 90, 90, 0});
    auto grey = ImageByteOperations::imageFilledWithColor(*source, Color::white(0.5f));
    EXPECT_EQ(pixel(*grey, 0, 0), (Bytes{127, 127, 127, 255}));
    EXPECT_EQ(pixel(*grey, 1, 0), (Bytes{0, 0, 0, 255}));
    EXPECT_EQ(pixel(*grey, 2, 0)[3], 0);

    auto tinted = ImageByteOperations::imageFilledWithColor(*source, Color(0.2f, 0.4f, 0.6f));
    EXPECT_EQ(pixel(*tinted, 0, 0), (Bytes{51, 102, 153, 255}));
}

TEST(StageSilhouetteTest, ScaleAndSizeAreKept) {
    auto source = picture(4, 2, std::vector<uint8_t>(32, 255), 2.0);
    auto black = ImageByteOperations::imageFilledBlack(*source);
    EXPECT_DOUBLE_EQ(black->scale(), 2.0);
    EXPECT_EQ(black->size(), Size(2, 1));

    auto copy = ImageByteOperations::optimizedImage(*source);
    EXPECT_NE(copy.get(), source.get());
    EXPECT_EQ(copy->pixels(), source->pixels());
    EXPECT_DOUBLE_EQ(copy->scale(), 2.0);
}

TEST_F(StageTest, SilhouetteOfTheKingIsBlackWhereverHeShows) {
    auto king = Image::named("king-1_1@2x.png");
    ASSERT_FALSE(king->isEmpty());
    auto shadow = ImageByteOperations::imageFilledBlack(*king);
    ASSERT_EQ(shadow->pixelWidth(), king->pixelWidth());
    ASSERT_EQ(shadow->pixelHeight(), king->pixelHeight());
    size_t visible = 0;
    for (int y = 0; y < king->pixelHeight(); ++y)
        for (int x = 0; x < king->pixelWidth(); ++x) {
            const Bytes s = pixel(*shadow, x, y), k = pixel(*king, x, y);
            ASSERT_EQ(s[3], k[3]) << x << "," << y;
            if (k[3] == 0) continue;
            ++visible;
            ASSERT_EQ(s[0] + s[1] + s[2], 0) << x << "," << y;
        }
    EXPECT_GT(visible, 1000u);
}

}  // namespace
