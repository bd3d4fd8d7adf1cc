#pragma once
// The overlay tests' world: the build's resources linked into a temporary bundle with stand-in
// story pages for some scenes only, the store in a temporary folder, a manual clock, a silent
// sound engine logging the music and effects asked for, recorded page views, a key window.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "model/DungeonStaticData.h"
#include "model/SavedStateKeys.h"
#include "overlays/HUDManager.h"
#include "overlays/MangaViewManager.h"
#include "overlays/NMAlertViewManager.h"
#include "platform/core/RunLoop.h"
#include "platform/events/NotificationCenter.h"
#include "platform/resources/ResourceBundle.h"
#include "platform/services/Analytics.h"
#include "platform/services/UserInteraction.h"
#include "platform/sound/SilentSoundBackend.h"
#include "platform/sound/SoundEngine.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/LayoutLoader.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"
#include "stage/NMAnimationCommon.h"
#include "support/GameTestSupport.h"

namespace overlaytests {

namespace fs = std::filesystem;
using gametest::store;

constexpr double kPopIn = NMAnimationCommon::kMainStepDuration + 3 * NMAnimationCommon::kBounceStepDuration;
constexpr double kShrink = NMAnimationCommon::kMainStepDuration;

inline const gametest::TestFolders& folders() {
    static gametest::TestFolders f = [] {
        auto made = gametest::makeTestFolders("re-overlays");
        const fs::path resources(RE_TEST_RESOURCE_DIR);
        std::error_code ec;
        for (auto it = fs::recursive_directory_iterator(resources, ec); it != fs::recursive_directory_iterator(); it.increment(ec)) {
            const fs::path target = made.bundle / fs::relative(it->path(), resources);
            if (it->is_directory()) fs::create_directories(target, ec);
            else if (it->path().filename().string().rfind("manga_", 0) != 0) fs::create_symlink(it->path(), target, ec);
        }
        for (const char* name : {"op1", "op2", "op3", "op4", "stage3_1", "stage3_2", "stage3_3", "ed1_1", "ed2_1", "comp1"})
            fs::create_symlink(resources / "images" / "talk1@2x.png", made.bundle / "images" / ("manga_" + std::string(name) + "@2x.png"), ec);
        return made;
    }();
    return f;
}

inline std::string fileName(const std::string& path) { return fs::path(path).filename().string(); }

class OverlayTest : public ::testing::Test {
protected:
    void SetUp() override { setUpWorld(480); }

    void setUpWorld(double screenHeight) {
        ResourceBundle::setRootDirectory(folders().bundle.string());
        reset();
        RunLoop::main().setClock(std::make_shared<ManualClock>(1.8e9));
        analytics = std::make_shared<RecordingAnalytics>();
        Analytics::setShared(analytics);
        // A silent engine; a sound "exists" as a one-byte file made on first request.
        auto log = std::make_shared<std::shared_ptr<std::vector<SilentSoundBackend::Call>>>();
        SoundEngine::installSharedEngine(std::make_unique<SoundEngine>(
            [log] {
                auto backend = std::make_unique<SilentSoundBackend>();
                *log = backend->calls();
                return backend;
            },
            [](const std::string& name, const std::string& type) {
                const fs::path p = folders().root / (type.empty() ? name : name + "." + type);
                if (!fs::exists(p)) std::ofstream(p) << "x";
                return p.string();
            },
            ""));
        SoundEngine::sharedEngine().setBackgroundMusicVolume(1.0f);
        soundLog = *log;
        Screen::mainScreen().setHeight(screenHeight);
        window = std::make_shared<Window>(Rect(0, 0, 320, screenHeight));
        window->makeKeyAndVisible();
        NotificationCenter::defaultCenter().addObserver(
            static_cast<const void*>(this),
            [this](const Notification& n) { okTags.push_back(n.object.isNil() ? -1 : n.object.integerValue()); }, "okPressed");
    }

    void TearDown() override {
        reset();
        window.reset();
        SoundEngine::installSharedEngine(nullptr);
        Analytics::setShared(nullptr);
        Screen::mainScreen().setHeight(480);
        ResourceBundle::setRootDirectory(RE_TEST_RESOURCE_DIR);
    }

    static void reset() {
        NMAlertViewManager::resetInstanceForTesting();
        MangaViewManager::resetInstanceForTesting();
        HUDManager::resetInstanceForTesting();
        DungeonStaticData::resetInstanceForTesting();
        Image::clearCache();
        LayoutLoader::clearCache();
        RunLoop::main().reset();
        NotificationCenter::defaultCenter().removeAllObservers();
        UserInteraction::setShared(nullptr);
        gametest::clearStore();
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
    void settle() { RunLoop::main().drain(); }

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
    long countInWindow(const std::shared_ptr<View>& view) const {
        return std::count(window->subviews().begin(), window->subviews().end(), view);
    }
    static bool touchesOn() { return Window::touchesEnabled(); }

    std::shared_ptr<Window> window;
    std::shared_ptr<RecordingAnalytics> analytics;
    std::shared_ptr<std::vector<SilentSoundBackend::Call>> soundLog;
    std::vector<int64_t> okTags;
};

}  // namespace overlaytests
