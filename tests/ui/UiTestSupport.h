#pragma once
// Shared set-up of the view toolkit tests: a manual clock on the main run loop, a clean loop,
// the touch switch on, and the build's resources.
#include <gtest/gtest.h>

#include <memory>

#include "platform/core/Clock.h"
#include "platform/core/RunLoop.h"
#include "platform/services/UserInteraction.h"
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

// Colours compared channel by channel within a tolerance of a few steps of 255.
::testing::AssertionResult colorNear(const char*, const char*, const Color& a, const Color& b);
#define EXPECT_COLOR_NEAR(a, b) EXPECT_PRED_FORMAT2(colorNear, a, b)
