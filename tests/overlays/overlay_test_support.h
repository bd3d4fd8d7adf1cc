#pragma once
// The overlay tests' world: the build's resources, a manual clock, a silent sound engine logging
// what it plays, recorded page views, a key window, and the "okPressed" tags heard.
#include <gtest/gtest.h>

#include <filesystem>

#include "overlays/HUDManager.h"
#include "overlays/MangaViewManager.h"
#include "overlays/NMAlertViewManager.h"
#include "platform/events/NotificationCenter.h"
#include "platform/resources/ResourceBundle.h"
#include "platform/services/Analytics.h"
#include "platform/services/UserInteraction.h"
#include "platform/sound/SilentSoundBackend.h"
#include "platform/sound/SoundEngine.h"
#include "platform/ui/ProgressIndicator.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"
#include "stage/NMAnimationCommon.h"
#include "support/GameTestSupport.h"

namespace overlaytests {

constexpr double kPopIn = NMAnimationCommon::kMainStepDuration + 3 * NMAnimationCommon::kBounceStepDuration;
constexpr double kShrink = NMAnimationCommon::kMainStepDuration;

inline std::string fileName(const std::string& path) { return std::filesystem::path(path).filename().string(); }

class OverlayTest : public ::testing::Test {
protected:
    void SetUp() override {
        static const auto data = gametest::makeTempFolder("re-overlays");
        gametest::useDataFolder(data);
        ResourceBundle::setRootDirectory(RE_TEST_RESOURCE_DIR);
        reset();
        gametest::startManualTime(1);
        analytics = std::make_shared<RecordingAnalytics>();
        Analytics::setShared(analytics);
        auto backend = std::make_unique<SilentSoundBackend>();
        soundLog = backend->calls();
        SoundEngine::installSharedEngine(std::make_unique<SoundEngine>(
            [b = std::make_shared<std::unique_ptr<SilentSoundBackend>>(std::move(backend))] { return std::move(*b); },
            [](const std::string& name, const std::string& type) { return std::string(RE_TEST_RESOURCE_DIR "/sounds/") + name + "." + type; },
            ""));
        Screen::mainScreen().setHeight(480);
        window = std::make_shared<Window>(Rect(0, 0, 320, 480));
        window->makeKeyAndVisible();
        NotificationCenter::defaultCenter().addObserver(
            this, [this](const Notification& n) { okTags.push_back(n.object.integerValue()); }, "okPressed");
    }

    void TearDown() override { reset(); }

    static void reset() {
        gametest::resetGameSingletons();
        HUDManager::resetInstanceForTesting();
        UserInteraction::setShared(nullptr);
    }

    // The effects played, or the pieces of music started, so far, by file name.
    std::vector<std::string> played(SilentSoundBackend::Call::Kind kind) const {
        std::vector<std::string> out;
        for (const auto& c : *soundLog)
            if (c.kind == kind) out.push_back(fileName(c.name));
        return out;
    }
    std::vector<std::string> effects() const { return played(SilentSoundBackend::Call::Kind::PlayEffect); }
    std::string lastMusic() const { return played(SilentSoundBackend::Call::Kind::PlayMusic).back(); }

    void advance(double seconds) { RunLoop::main().advanceBy(seconds); }

    // A finger down and up in the middle of the named view, through the window.
    bool tap(const std::string& name) {
        auto target = window->viewWithName(name);
        if (!target) return false;
        const Point p = target->convertPointToView(target->bounds().center(), nullptr);
        window->touchDown(p);
        window->touchUp(p);
        return true;
    }
    // The named view is in the window with no hidden ancestor.
    bool shown(const std::string& name) {
        auto v = window->viewWithName(name);
        for (const View* a = v.get(); a; a = a->superview())
            if (a->isHidden()) return false;
        return v != nullptr;
    }

    std::shared_ptr<Window> window;
    std::shared_ptr<RecordingAnalytics> analytics;
    std::shared_ptr<std::vector<SilentSoundBackend::Call>> soundLog;
    std::vector<int64_t> okTags;
};

}  // namespace overlaytests
