// Pictures by name (scale from "@2x", the cache, missing files), pictures from memory, and
// frame animations switching at exact instants.
#include <filesystem>
#include <fstream>

#include "UiTestSupport.h"
#include "platform/render/HeadlessRenderer.h"
#include "platform/resources/ResourceBundle.h"
#include "platform/ui/ImageView.h"

namespace fs = std::filesystem;

namespace {

std::shared_ptr<Image> solid(Color c, int w = 2, int h = 2) {
    std::vector<uint8_t> px;
    for (int i = 0; i < w * h; ++i) px.insert(px.end(), {c.r8(), c.g8(), c.b8(), c.a8()});
    return Image::fromRGBA(w, h, std::move(px));
}

// Writes a PNG of one colour, w x h pixels, by rendering a coloured view offscreen.
void writeSolidPNG(const fs::path& path, Color c, int w, int h) {
    HeadlessRenderer r(Size(w, h), 1.0);
    View v(Rect(0, 0, w, h));
    v.setBackgroundColor(c);
    r.render(v);
    ASSERT_TRUE(r.writePNG(path.string()));
}

class ImageTest : public UiTest {
protected:
    void TearDown() override {
        Image::clearCache();
        ResourceBundle::setRootDirectory(RE_TEST_RESOURCE_DIR);
        if (!dir.empty()) fs::remove_all(dir);
        UiTest::TearDown();
    }
    fs::path makeBundle() {
        dir = fs::temp_directory_path() / ("ui-images-" + std::to_string(::getpid()));
        fs::create_directories(dir / "images");
        writeSolidPNG(dir / "images" / "hero@2x.png", Color::redColor(), 86, 120);
        writeSolidPNG(dir / "images" / "m3.png", Color::greenColor(), 160, 200);
        writeSolidPNG(dir / "images" / "flag@2x.png", Color::blueColor(), 20, 20);
        std::ofstream(dir / "images" / "broken.png") << "not a picture";
        ResourceBundle::setRootDirectory(dir.string());
        Image::clearCache();
        return dir;
    }
    fs::path dir;
};

TEST_F(ImageTest, NamedPicturesTakeTheirScaleFromTheFileNameAndAreCached) {
    makeBundle();
    auto hero = Image::named("hero@2x.png");
    EXPECT_EQ(hero->size(), Size(43, 60));
    EXPECT_EQ(hero->pixelWidth(), 86);
    EXPECT_DOUBLE_EQ(hero->scale(), 2.0);
    EXPECT_EQ(Image::named("hero@2x.png"), hero);  // decoded once
    auto monster = Image::named("m3.png");
    EXPECT_EQ(monster->size(), Size(160, 200));
    EXPECT_COLOR_NEAR(monster->pixelAt(5, 5), Color::greenColor());
    // A plain name finds the "@2x" file; the extension may be left out.
    EXPECT_EQ(Image::named("flag")->size(), Size(10, 10));
    EXPECT_TRUE(Image::exists("m3.png"));
    EXPECT_TRUE(Image::exists("flag.png"));
    EXPECT_FALSE(Image::exists("m99.png"));
    EXPECT_TRUE(Image::named("m99.png")->isEmpty());
    EXPECT_EQ(Image::named("m99.png")->size(), Size(0, 0));
    EXPECT_TRUE(Image::named("broken.png")->isEmpty());
}

TEST_F(ImageTest, PicturesFromMemoryKeepTheirPixelsAndUndoPremultiplication) {
    auto img = Image::fromRGBA(2, 1, {255, 0, 0, 255, 64, 0, 0, 128}, 1.0, true);
    EXPECT_EQ(img->size(), Size(2, 1));
    EXPECT_COLOR_NEAR(img->pixelAt(0, 0), Color::redColor());
    EXPECT_EQ(img->pixelAt(1, 0).r8(), 128);
    EXPECT_EQ(img->pixelAt(1, 0).a8(), 128);
    EXPECT_TRUE(Image::fromRGBA(4, 4, {1, 2, 3})->isEmpty());  // too few bytes
}

TEST_F(ImageTest, ContentModesPlaceThePicture) {
    auto img = solid(Color::redColor(), 160, 200);
    ImageView v(Rect(0, 0, 43, 60));
    v.setImage(img);
    EXPECT_EQ(v.imageRect(*img), Rect(0, 0, 43, 60));
    v.setContentMode(ContentMode::scaleAspectFit);
    const Rect fit = v.imageRect(*img);
    EXPECT_NEAR(fit.width(), 43, 1e-9);
    EXPECT_NEAR(fit.height(), 53.75, 1e-9);
    EXPECT_NEAR(fit.midY(), 30, 1e-9);
    v.setContentMode(ContentMode::scaleAspectFill);
    EXPECT_NEAR(v.imageRect(*img).height(), 60, 1e-9);
    EXPECT_NEAR(v.imageRect(*img).width(), 48, 1e-9);
    v.setContentMode(ContentMode::center);
    EXPECT_EQ(v.imageRect(*img), Rect(-58.5, -70, 160, 200));
}

class FrameAnimationTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        frames = {solid(Color::redColor()), solid(Color::greenColor()), solid(Color::blueColor()),
                  solid(Color::whiteColor()), solid(Color::black())};
        still = solid(Color::yellowColor());
        window = std::make_shared<Window>(Rect(0, 0, 320, 480));
        view = std::make_shared<ImageView>(Rect(0, 0, 40, 40));
        view->setImage(still);
        view->setAnimationImages(frames);
        window->addSubview(view);
    }
    size_t shownFrame() const {
        auto shown = view->displayedImage();
        for (size_t i = 0; i < frames.size(); ++i)
            if (frames[i] == shown) return i;
        return 99;  // the still picture
    }
    std::vector<std::shared_ptr<Image>> frames;
    std::shared_ptr<Image> still;
    std::shared_ptr<Window> window;
    std::shared_ptr<ImageView> view;
};

TEST_F(FrameAnimationTest, FramesSwitchAtExactInstantsAndAFiniteAnimationStopsItself) {
    // The king's blink: five frames at 10 frames a second, played twice.
    view->setAnimationDuration(0.5);
    view->setAnimationRepeatCount(2);
    EXPECT_EQ(shownFrame(), 99u);
    view->startAnimating();
    EXPECT_TRUE(view->isAnimating());
    EXPECT_EQ(shownFrame(), 0u);
    advance(0.0999);
    EXPECT_EQ(shownFrame(), 0u);
    advance(0.0001);
    EXPECT_EQ(shownFrame(), 1u);
    advance(0.3);
    EXPECT_EQ(shownFrame(), 4u);
    advance(0.1);  // the second pass begins
    EXPECT_EQ(shownFrame(), 0u);
    EXPECT_NEAR(*view->nextVisualChange(now()), 0.6, 1e-9);
    advance(0.499);
    EXPECT_TRUE(view->isAnimating());
    EXPECT_EQ(shownFrame(), 4u);
    advance(0.001);
    EXPECT_FALSE(view->isAnimating());
    EXPECT_EQ(view->displayedImage(), still);
    window->clearDirty();
    advance(1.0);
    EXPECT_FALSE(window->needsDisplay(now()));
}

TEST_F(FrameAnimationTest, EndlessAnimationLoopsUntilStopped) {
    view->setAnimationDuration(1.0);
    view->setAnimationRepeatCount(0);
    view->startAnimating();
    advance(10.2);  // 51 frames of 0.2 s in
    EXPECT_EQ(shownFrame(), 1u);
    EXPECT_TRUE(window->needsDisplay(now()) || window->nextVisualChange(now()).has_value());
    view->stopAnimating();
    EXPECT_EQ(view->displayedImage(), still);
    window->clearDirty();
    EXPECT_FALSE(window->nextVisualChange(now()).has_value());
}

TEST_F(FrameAnimationTest, RestartBeginsAtTheFirstFrameAndDefaultsToThirtyFramesASecond) {
    view->startAnimating();  // no duration: 5 frames x 1/30 s
    advance(1.0 / 30);
    EXPECT_EQ(shownFrame(), 1u);
    view->startAnimating();
    EXPECT_EQ(shownFrame(), 0u);
    ImageView empty(Rect(0, 0, 1, 1));
    empty.startAnimating();
    EXPECT_FALSE(empty.isAnimating());
}

TEST_F(FrameAnimationTest, DestroyedViewsEndTimerIsHarmless) {
    view->setAnimationDuration(0.5);
    view->setAnimationRepeatCount(1);
    view->startAnimating();
    view->removeFromSuperview();
    view.reset();
    advance(1.0);
    SUCCEED();
}

}  // namespace
