#pragma once
// Shared set-up of the overlay tests: a resource bundle in a temporary folder (the build's
// resources linked in, story pages drawn here for some scenes only), the saved state in a
// temporary folder, a manual clock, a silent sound engine whose log tells which music and
// effects were asked for, recorded page views, and a key window of 320 x 480 points (or 568).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "model/DungeonStaticData.h"
#include "model/SavedStateKeys.h"
#include "overlays/HUDManager.h"
#include "overlays/MangaViewManager.h"
#include "overlays/NMAlertViewManager.h"
#include "platform/core/RunLoop.h"
#include "platform/events/NotificationCenter.h"
#include "platform/render/HeadlessRenderer.h"
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
using gametest::clearStore;
using gametest::store;

constexpr double kPopIn = NMAnimationCommon::kMainStepDuration + 3 * NMAnimationCommon::kBounceStepDuration;
constexpr double kShrink = NMAnimationCommon::kMainStepDuration;

// A page: a coloured panel (blue, green, red, purple by index) on cream, 640 x 960 pixels.
inline void drawPage(const fs::path& path, int index) {
    static const Color colors[] = {Color::fromRGBA8(0x3b, 0x5d, 0xc9), Color::fromRGBA8(0x3f, 0x8f, 0x4f),
                                   Color::fromRGBA8(0xc0, 0x39, 0x2b), Color::fromRGBA8(0x80, 0x48, 0xa8)};
    auto page = View::make<View>(Rect(0, 0, 320, 480));
    page->setBackgroundColor(Color::fromRGBA8(0xff, 0xf4, 0xcc));
    auto panel = View::make<View>(Rect(12, 12, 296, 456));
    panel->setBackgroundColor(colors[index % 4]);
    page->addSubview(panel);
    HeadlessRenderer renderer(Size(320, 480), 2.0);
    renderer.render(*page);
    renderer.writePNG(path.string());
}

// The bundle: every file of the build's resources linked one by one (folder links are not
// followed) but the story pages; drawn pages for the opening, dungeon 3's clear, both endings'
// first pages and the full collection. Dungeon 1's clear and the rest of the endings have none.
inline const gametest::TestFolders& folders() {
    static gametest::TestFolders f = [] {
        auto made = gametest::makeTestFolders("re-overlays");
        const fs::path resources(RE_TEST_RESOURCE_DIR);
        std::error_code ec;
        for (auto it = fs::recursive_directory_iterator(resources, ec); it != fs::recursive_directory_iterator(); it.increment(ec)) {
            const fs::path target = made.bundle / fs::relative(it->path(), resources);
            if (it->is_directory()) fs::create_directories(target, ec);
            else if (it->is_regular_file() && it->path().filename().string().rfind("manga_", 0) != 0)
                fs::create_symlink(it->path(), target, ec);
        }
        fs::create_directories(made.bundle / "images" / "manga");
        int index = 0;
        for (const char* page : {"op1", "op2", "op3", "op4", "stage3_1", "stage3_2", "stage3_3", "ed1_1", "ed2_1", "comp1"})
            drawPage(made.bundle / "images" / "manga" / ("manga_" + std::string(page) + "@2x.png"), index++);
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
        Image::clearCache();
        LayoutLoader::clearCache();
        RunLoop::main().reset();
        RunLoop::main().setClock(std::make_shared<ManualClock>(1.8e9));
        NotificationCenter::defaultCenter().removeAllObservers();
        UserInteraction::setShared(nullptr);
        analytics = std::make_shared<RecordingAnalytics>();
        Analytics::setShared(analytics);
        installSilentEngine();
        Screen::mainScreen().setHeight(screenHeight);
        resetSingletons();
        clearStore();
        window = std::make_shared<Window>(Rect(0, 0, 320, screenHeight));
        window->makeKeyAndVisible();
        NotificationCenter::defaultCenter().addObserver(
            static_cast<const void*>(this),
            [this](const Notification& n) { okTags.push_back(n.object.isNil() ? -1 : n.object.integerValue()); }, "okPressed");
    }

    void TearDown() override {
        resetSingletons();
        window.reset();
        RunLoop::main().reset();
        NotificationCenter::defaultCenter().removeAllObservers();
        SoundEngine::installSharedEngine(nullptr);
        Analytics::setShared(nullptr);
        UserInteraction::setShared(nullptr);
        Screen::mainScreen().setHeight(480);
        clearStore();
        ResourceBundle::setRootDirectory(RE_TEST_RESOURCE_DIR);
        Image::clearCache();
        LayoutLoader::clearCache();
    }

    static void resetSingletons() {
        NMAlertViewManager::resetInstanceForTesting();
        MangaViewManager::resetInstanceForTesting();
        HUDManager::resetInstanceForTesting();
        DungeonStaticData::resetInstanceForTesting();
    }

    // A silent engine; a sound "exists" as a one-byte file made on first request.
    void installSilentEngine() {
        auto log = std::make_shared<std::shared_ptr<std::vector<SilentSoundBackend::Call>>>();
        const fs::path dir = folders().root / "sounds";
        fs::create_directories(dir);
        SoundEngine::installSharedEngine(std::make_unique<SoundEngine>(
            [log] {
                auto backend = std::make_unique<SilentSoundBackend>();
                *log = backend->calls();
                return backend;
            },
            [dir](const std::string& name, const std::string& type) {
                const fs::path p = dir / (type.empty() ? name : name + "." + type);
                if (!fs::exists(p)) std::ofstream(p) << "x";
                return p.string();
            },
            ""));
        SoundEngine::sharedEngine().setBackgroundMusicVolume(1.0f);
        soundLog = *log;
    }

    // The effects played, or the pieces of music started, so far, by file name.
    std::vector<std::string> played(SilentSoundBackend::Call::Kind kind) const {
        std::vector<std::string> out;
        if (soundLog)
            for (const auto& c : *soundLog)
                if (c.kind == kind) out.push_back(fileName(c.name));
        return out;
    }
    std::vector<std::string> effects() const { return played(SilentSoundBackend::Call::Kind::PlayEffect); }
    std::vector<std::string> music() const { return played(SilentSoundBackend::Call::Kind::PlayMusic); }
    std::string lastMusic() const {
        auto all = music();
        return all.empty() ? std::string() : all.back();
    }

    double now() const { return RunLoop::main().now(); }
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
    // The named view is in the window and shown (no hidden ancestor).
    bool shown(const std::string& name) {
        auto v = window->viewWithName(name);
        for (const View* a = v.get(); a; a = a->superview())
            if (a->isHidden()) return false;
        return v != nullptr;
    }
    size_t countInWindow(const View* view) const {
        return std::count_if(window->subviews().begin(), window->subviews().end(), [view](auto& s) { return s.get() == view; });
    }
    static bool touchesOn() { return Window::touchesEnabled(); }

    std::shared_ptr<Window> window;
    std::shared_ptr<RecordingAnalytics> analytics;
    std::shared_ptr<std::vector<SilentSoundBackend::Call>> soundLog;
    std::vector<int64_t> okTags;
};

}  // namespace overlaytests
