// Pictures by name (scale from "@2x", the cache, missing and broken files), from memory, content
// modes, and frame animations switching at exact instants.
#include <algorithm>

#include "UiTestSupport.h"
#include "platform/render/HeadlessRenderer.h"
#include "platform/TempFolder.h"
#include "platform/ui/ImageView.h"

namespace {

using ImageTest = WindowTest;

TEST_F(ImageTest, NamedPicturesTakeTheirScaleFromTheFileNameAndAreCached) {
    Image::clearCache();
    auto item = Image::named("item1");  // a plain name finds the "@2x" file
    EXPECT_EQ(item->size(), Size(14, 14));
    EXPECT_EQ(item->pixelWidth(), 28);
    EXPECT_EQ(Image::named("item1"), item) << "decoded once";
    ImageView v(Rect(0, 0, 43, 60));  // content modes place it
    v.setContentMode(ContentMode::scaleAspectFit);
    EXPECT_EQ(v.imageRect(*item), Rect(0, 8.5, 43, 43));
    v.setContentMode(ContentMode::scaleAspectFill);
    EXPECT_EQ(v.imageRect(*item), Rect(-8.5, 0, 60, 60));
    EXPECT_TRUE(Image::named("m99.png")->isEmpty());
    TempFolder folder;
    folder.write("images/broken.png", "not a picture");
    ResourceBundle::setRootDirectory(folder.str());
    EXPECT_TRUE(Image::named("broken.png")->isEmpty());
    Image::clearCache();
    // From memory: premultiplied pixels are undone; too few bytes give an empty picture.
    auto img = Image::fromRGBA(2, 1, {255, 0, 0, 255, 64, 0, 0, 128}, 1.0, true);
    EXPECT_EQ(img->pixelAt(1, 0).r8(), 128);
    EXPECT_TRUE(Image::fromRGBA(4, 4, {1, 2, 3})->isEmpty());
}

TEST_F(ImageTest, FramesSwitchAtExactInstantsAndAFiniteAnimationStopsItself) {
    std::vector<std::shared_ptr<Image>> frames{solidImage({}), solidImage({}), solidImage({}), solidImage({}), solidImage({})};
    auto still = solidImage({});
    auto view = std::make_shared<ImageView>(Rect(0, 0, 40, 40));
    view->setImage(still);
    view->setAnimationImages(frames);
    window->addSubview(view);
    auto shown = [&] { return std::find(frames.begin(), frames.end(), view->displayedImage()) - frames.begin(); };
    // The king's blink: five frames at 10 frames a second, played twice.
    view->setAnimationDuration(0.5);
    view->setAnimationRepeatCount(2);
    view->startAnimating();
    advance(0.0999);
    EXPECT_EQ(shown(), 0);
    advance(0.0001);
    EXPECT_EQ(shown(), 1);
    advance(0.4);  // the second pass begins
    EXPECT_EQ(shown(), 0);
    EXPECT_DOUBLE_EQ(*view->nextVisualChange(now()), now()) << "a frame that came is due until drawn";
    HeadlessRenderer(Size(320, 480)).render(*window);
    EXPECT_NEAR(*view->nextVisualChange(now()), 0.6, 1e-9);
    advance(0.499);
    EXPECT_EQ(shown(), 4);
    advance(0.001);
    EXPECT_FALSE(view->isAnimating());
    EXPECT_EQ(view->displayedImage(), still);
    window->clearDirty();
    EXPECT_FALSE(window->nextVisualChange(now()).has_value());
    // Endless, it keeps looping; a view destroyed while it animates leaves a harmless timer behind.
    view->setAnimationRepeatCount(0);
    view->startAnimating();
    advance(10.25);  // 102 frames in
    EXPECT_EQ(shown(), 2);
    view->removeFromSuperview();
    view.reset();
    advance(2.0);
}

TEST_F(ImageTest, AFrameThatRepeatsThePictureBeforeItWakesNobody) {
    // The sleeping king: one pose held for six frames, then a breath of three, at 10 frames a second.
    auto a = solidImage({}), b = solidImage({}), c = solidImage({});
    auto view = std::make_shared<ImageView>(Rect(0, 0, 40, 40));
    view->setAnimationImages({a, a, a, a, a, a, b, c, b, a});
    view->setAnimationDuration(1.0);
    window->addSubview(view);
    view->startAnimating();
    HeadlessRenderer renderer(Size(320, 480));
    std::vector<double> wakes;
    const double start = now();
    for (int i = 0; i < 9; ++i) {
        renderer.render(*window);
        window->clearDirty();
        const auto next = window->nextVisualChange(now());
        ASSERT_TRUE(next.has_value());
        wakes.push_back(*next - start);
        advance(*next - now());
    }
    // Four new pictures a second, not ten; the pass's end (back to the same pose) is no change.
    const std::vector<double> expected{0.6, 0.7, 0.8, 0.9, 1.6, 1.7, 1.8, 1.9, 2.6};
    ASSERT_EQ(wakes.size(), expected.size());
    for (size_t i = 0; i < wakes.size(); ++i) EXPECT_NEAR(wakes[i], expected[i], 1e-6) << "wake " << i;
    EXPECT_EQ(view->displayedImage(), b);
}

}  // namespace
