#pragma once
// The world of the application tests: the build's resources, the store in a temporary folder
// (past the first-run story), a manual clock on the main run loop, a silent sound engine,
// notifications kept in memory, and the game's singletons made afresh for each test.
#include <gtest/gtest.h>

#include "model/SavedStateKeys.h"
#include "platform/core/RunLoop.h"
#include "platform/resources/ResourceBundle.h"
#include "platform/services/Analytics.h"
#include "platform/services/LocalNotificationCenter.h"
#include "platform/sound/SilentSoundBackend.h"
#include "platform/sound/SoundEngine.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"
#include "stage/PersonView.h"
#include "support/GameTestSupport.h"

class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        static const auto data = gametest::makeTempFolder("re-app-data");
        gametest::useDataFolder(data);
        ResourceBundle::setRootDirectory(RE_TEST_RESOURCE_DIR);
        gametest::resetGameSingletons();
        clock = gametest::startManualTime(1);
        gametest::installSilentSound();
        LocalNotificationCenter::setShared(std::make_shared<InMemoryLocalNotificationCenter>());
        Analytics::setShared(std::make_shared<RecordingAnalytics>());
        gametest::store().setBool(true, SavedStateKeys::tutorialShown);
        gametest::store().setBool(true, SavedStateKeys::firstMainDone);
        makeWindow(480);
    }
    void TearDown() override {
        window.reset();
        gametest::resetGameSingletons();
        SoundEngine::installSharedEngine(nullptr);
    }

    // A key window as tall as the screen, which gets that height.
    void makeWindow(double height) {
        Screen::mainScreen().setHeight(height);
        window = std::make_shared<Window>(Rect(0, 0, 320, height));
        window->makeKeyAndVisible();
    }
    // Moves the clock in quarter seconds, letting the collections' recordings finish on the way.
    void advance(double seconds) {
        for (double t = 0; t < seconds; t += 0.25) {
            RunLoop::main().advanceBy(0.25);
            PersonView::waitForRecordings();
            RunLoop::main().drain();
        }
    }

    std::shared_ptr<ManualClock> clock;
    std::shared_ptr<Window> window;
};
