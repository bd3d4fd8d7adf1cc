#pragma once
// Shared set-up of the view toolkit tests: the build's resources, a manual clock on a clean main
// run loop, touches on, and (WindowTest) a 320 x 480 key window.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/core/Clock.h"
#include "platform/core/RunLoop.h"
#include "platform/resources/ResourceBundle.h"
#include "platform/services/UserInteraction.h"
#include "platform/ui/Image.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"

class UiTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResourceBundle::setRootDirectory(RE_TEST_RESOURCE_DIR);
        RunLoop::main().reset();
        RunLoop::main().setClock(std::make_shared<ManualClock>());
        UserInteraction::setShared(nullptr);
        Screen::mainScreen().setHeight(480);
    }
    void TearDown() override { RunLoop::main().reset(); }
    void advance(double seconds) { RunLoop::main().advanceBy(seconds); }  // timers run at their own instants
    double now() const { return RunLoop::main().now(); }
    void pass() { RunLoop::main().drain(); }  // runs what is due now, posted blocks included
};

class WindowTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        window = std::make_shared<Window>(Rect(0, 0, 320, 480));
        window->makeKeyAndVisible();
    }
    // A plain view of one colour, in the window or in `parent`.
    std::shared_ptr<View> add(Rect frame, Color c, View* parent = nullptr) {
        auto v = std::make_shared<View>(frame);
        v->setBackgroundColor(c);
        (parent ? *parent : static_cast<View&>(*window)).addSubview(v);
        return v;
    }
    void tap(Point p) { window->touchDown(p), window->touchUp(p); }
    void tap(const View& v) { tap(v.convertPointToView(v.bounds().center(), nullptr)); }
    std::shared_ptr<Window> window;
};

inline std::shared_ptr<Image> solidImage(Color c, int w = 2, int h = 2, double scale = 1.0) {
    std::vector<uint8_t> px;
    for (int i = 0; i < w * h; ++i) px.insert(px.end(), {c.r8(), c.g8(), c.b8(), c.a8()});
    return Image::fromRGBA(w, h, std::move(px), scale);
}

// Colours equal within 3 steps of 255 in every channel.
inline ::testing::AssertionResult colorNear(const char* ea, const char* eb, const Color& a, const Color& b) {
    auto near = [](int x, int y) { return std::abs(x - y) <= 3; };
    if (near(a.r8(), b.r8()) && near(a.g8(), b.g8()) && near(a.b8(), b.b8()) && near(a.a8(), b.a8()))
        return ::testing::AssertionSuccess();
    auto text = [](const Color& c) { return ::testing::PrintToString(std::vector<int>{c.r8(), c.g8(), c.b8(), c.a8()}); };
    return ::testing::AssertionFailure() << ea << " is " << text(a) << ", " << eb << " is " << text(b);
}
#define EXPECT_COLOR_NEAR(a, b) EXPECT_PRED_FORMAT2(colorNear, a, b)
