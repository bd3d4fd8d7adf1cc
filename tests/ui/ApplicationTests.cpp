// The application's command line and its headless one-frame run.
#include <filesystem>

#include "UiTestSupport.h"
#include "platform/render/Application.h"

namespace {

ApplicationOptions parse(std::vector<std::string> args, std::string* error) {
    std::vector<char*> argv{const_cast<char*>("royal-expedition")};
    for (auto& a : args) argv.push_back(a.data());
    return ApplicationOptions::fromArguments(static_cast<int>(argv.size()), argv.data(), error);
}

using ApplicationTest = UiTest;

TEST_F(ApplicationTest, CommandLineSelectsHeadlessScreenshotAndScreenHeight) {
    std::string error;
    auto o = parse({"--screenshot", "/tmp/x.png", "--screen", "568", "--time", "1.5", "--lang", "ja"}, &error);
    EXPECT_TRUE(error.empty()) << "options that are not ours are left to others";
    EXPECT_TRUE(o.headless);
    EXPECT_DOUBLE_EQ(o.screenHeight, 568);
    EXPECT_DOUBLE_EQ(o.headlessTime, 1.5);
    parse({"--screen", "600"}, &error);
    EXPECT_NE(error.find("480 or 568"), std::string::npos);
    error.clear();
    parse({"--screenshot"}, &error);
    EXPECT_FALSE(error.empty());
}

TEST_F(ApplicationTest, HeadlessRunRendersOneFrameOfTheTallScreenAfterTheGivenTime) {
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
    AnimationOptions linear;
    linear.curve = AnimationCurve::linear;
    View::animateWithDuration(2.0, 0, linear, [&] { mover->setCenter(Point(210, 10)); });
    EXPECT_EQ(app.run(), 0);
    auto frame = Image::fromFile(path.string(), 2.0);
    std::filesystem::remove(path);
    ASSERT_EQ(frame->size(), Size(320, 568));
    EXPECT_COLOR_NEAR(frame->pixelAt(220, 20), Color::redColor());  // halfway, at x = 110 points
    EXPECT_COLOR_NEAR(frame->pixelAt(20, 20), Color::blueColor());
    EXPECT_EQ(app.framesRendered(), 1u);
}

}  // namespace
