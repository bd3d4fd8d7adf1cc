#pragma once
// Shared set-up of the view toolkit tests: a manual clock on the main run loop, a clean loop,
// the touch switch on, the build's resources, and (WindowTest) a 320 x 480 key window.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/core/Clock.h"
#include "platform/core/RunLoop.h"
#include "platform/services/UserInteraction.h"
#include "platform/ui/Image.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"

class UiTest : public ::testing::Test {
protected:
    void SetUp() override {
        RunLoop::main().reset();
        clock_ = std::make_shared<ManualClock>();
        RunLoop::main().setClock(clock_);
        UserInteraction::setShared(nullptr);
        Screen::mainScreen().setHeight(480);
    }
    void TearDown() override { RunLoop::main().reset(); }

    // Moves the clock on, running every timer that falls due at its own instant.
    void advance(double seconds) { RunLoop::main().advanceBy(seconds); }
    double now() const { return RunLoop::main().now(); }
    // Runs what is due now (posted blocks included).
    void pass() { RunLoop::main().drain(); }

    std::shared_ptr<ManualClock> clock_;
};

class WindowTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        window = std::make_shared<Window>(Rect(0, 0, 320, 480));
        window->makeKeyAndVisible();
    }
    // A finger down and up at a point, or in the middle of a view.
    void tap(Point p) {
        window->touchDown(p);
        window->touchUp(p);
    }
    void tap(const View& v) { tap(v.convertPointToView(v.bounds().center(), nullptr)); }

    std::shared_ptr<Window> window;
};

// A picture of one colour, w x h pixels.
std::shared_ptr<Image> solidImage(Color c, int w = 2, int h = 2, double scale = 1.0);
// Where a test's picture goes for a look by eye (<build>/ui-pictures/<name>).
std::string picturePath(const std::string& name);

// Colours compared channel by channel within a tolerance of a few steps of 255.
::testing::AssertionResult colorNear(const char*, const char*, const Color& a, const Color& b);
#define EXPECT_COLOR_NEAR(a, b) EXPECT_PRED_FORMAT2(colorNear, a, b)
