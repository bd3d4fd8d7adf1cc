// The application's headless one-frame run.
#include <filesystem>

#include "UiTestSupport.h"
#include "platform/render/Application.h"

namespace {

using ApplicationTest = UiTest;

TEST_F(ApplicationTest, AHeadlessRunRendersOneFrameOfTheTallScreenAfterTheGivenTime) {
    const auto path = std::filesystem::temp_directory_path() / ("ui-app-" + std::to_string(::getpid()) + ".png");
    ApplicationOptions o;
    o.headless = true;
    o.screenshotPath = path.string();
    o.headlessTime = 1.0;
    o.screenHeight = 568;
    Application app(o);
    app.window().setBackgroundColor(Color::blueColor());
    auto mover = std::make_shared<View>(Rect(0, 0, 20, 20));
    mover->setBackgroundColor(Color::redColor());
    app.window().addSubview(mover);
    View::animateWithDuration(2.0, [&] { mover->setCenter(Point(210, 10)); });
    EXPECT_EQ(app.run(), 0);
    auto frame = Image::fromFile(path.string(), 2.0);
    std::filesystem::remove(path);
    ASSERT_EQ(frame->size(), Size(320, 568));
    EXPECT_COLOR_NEAR(frame->pixelAt(220, 20), Color::redColor());  // halfway, at x = 110 points
    EXPECT_COLOR_NEAR(frame->pixelAt(20, 20), Color::blueColor());
    EXPECT_EQ(app.framesRendered(), 1u);
}

}  // namespace
