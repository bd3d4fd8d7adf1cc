#pragma once
// Shared set-up of the overlay tests: a resource bundle in a temporary folder (every file of the
// build's resources linked in, and story pages drawn here for some scenes only), the saved
// state in a temporary folder, a manual clock on the main run loop, a silent sound engine whose
// log tells which music and effects were asked for, recorded page views, and a key window of
// 320 x 480 points (or 568 on the tall screen).
#include <gtest/gtest.h>

#include <unistd.h>

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
#include "platform/store/SavedStateStore.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/LayoutLoader.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"

namespace overlaytests {

namespace fs = std::filesystem;

// The story pages drawn for the tests: the opening, dungeon 3's clear, both endings' first pages
// and the full collection. Dungeon 1's clear and the rest of the endings have no pictures.
inline const std::vector<std::string>& drawnPages() {
    static const std::vector<std::string> pages = {"op1", "op2", "op3", "op4", "stage3_1", "stage3_2", "stage3_3",
                                                   "ed1_1", "ed2_1", "comp1"};
    return pages;
}

// A page: a coloured panel with its name in big letters, drawn at 640 x 960 pixels.
inline void drawPage(const fs::path& path, const std::string& name, int index) {
    static const Color colors[] = {Color::fromRGBA8(0x3b, 0x5d, 0xc9), Color::fromRGBA8(0x3f, 0x8f, 0x4f),
                                   Color::fromRGBA8(0xc0, 0x39, 0x2b), Color::fromRGBA8(0x80, 0x48, 0xa8)};
    auto page = View::make<View>(Rect(0, 0, 320, 480));
    page->setBackgroundColor(Color::fromRGBA8(0xff, 0xf4, 0xcc));
    auto panel = View::make<View>(Rect(12, 12, 296, 456));
    panel->setBackgroundColor(colors[index % 4]);
    page->addSubview(panel);
    auto label = View::make<Label>(Rect(0, 200, 296, 40));
    label->setFont("GD-DOTFONT-DQ-TTF", 24);
    label->setTextColor(Color::whiteColor());
    label->setTextAlignment(TextAlignment::center);
    label->setText(name);
    panel->addSubview(label);
    HeadlessRenderer renderer(Size(320, 480), 2.0);
    renderer.render(*page);
    renderer.writePNG(path.string());
}

struct Folders {
    fs::path root;
    fs::path bundle;
    fs::path data;
    fs::path sounds;
};

inline const Folders& folders() {
    static Folders f = [] {
        Folders made;
        std::string pattern = (fs::temp_directory_path() / "re-overlays-XXXXXX").string();
        made.root = ::mkdtemp(pattern.data());
        made.bundle = made.root / "bundle";
        made.data = made.root / "data";
        made.sounds = made.root / "sounds";
        fs::create_directories(made.data);
        fs::create_directories(made.sounds);
        // Every file of the build's resources, linked one by one (folder links are not followed).
        const fs::path resources(RE_TEST_RESOURCE_DIR);
        std::error_code ec;
        for (auto it = fs::recursive_directory_iterator(resources, ec); it != fs::recursive_directory_iterator(); it.increment(ec)) {
            const fs::path target = made.bundle / fs::relative(it->path(), resources);
            if (it->is_directory()) fs::create_directories(target, ec);
            else if (it->is_regular_file() && it->path().filename().string().rfind("manga_", 0) != 0)
                fs::create_symlink(it->path(), target, ec);
        }
        fs::create_directories(made.bundle / "images" / "manga");
        // Fonts come from the build's bundle while the pages are drawn.
        ResourceBundle::setRootDirectory(made.bundle.string());
        int index = 0;
        for (const auto& page : drawnPages())
            drawPage(made.bundle / "images" / "manga" / ("manga_" + page + "@2x.png"), page, index++);
        SavedStateStore::configureDataDirectory(made.data.string());
        return made;
    }();
    return f;
}

inline std::string fileName(const std::string& path) { return fs::path(path).filename().string(); }

class OverlayTest : public ::testing::Test {
protected:
    void SetUp() override { setUpWorld(480); }

    void setUpWorld(double screenHeight) {
        const Folders& f = folders();
        ResourceBundle::setRootDirectory(f.bundle.string());
        Image::clearCache();
        LayoutLoader::clearCache();
        RunLoop::main().reset();
        clock = std::make_shared<ManualClock>(1.8e9);
        RunLoop::main().setClock(clock);
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
            [this](const Notification& n) {
                okTags.push_back(n.object.isNil() ? -1 : n.object.integerValue());
                okTimes.push_back(now());
            },
            "okPressed");
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

    static SavedStateStore& store() { return SavedStateStore::standardUserDefaults(); }
    static void clearStore() {
        const Value all = store().dictionaryRepresentation();
        for (const auto& [key, value] : all.dictionaryValue()) store().removeObjectForKey(key);
    }

    // A silent engine; a sound "exists" as a one-byte file made on first request.
    void installSilentEngine() {
        auto log = std::make_shared<std::shared_ptr<std::vector<SilentSoundBackend::Call>>>();
        const fs::path dir = folders().sounds;
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

    // The effects played so far, by file name.
    std::vector<std::string> effects() const {
        std::vector<std::string> out;
        if (soundLog)
            for (const auto& c : *soundLog)
                if (c.kind == SilentSoundBackend::Call::Kind::PlayEffect) out.push_back(c.name);
        return out;
    }
    // The pieces of music started so far, by file name.
    std::vector<std::string> music() const {
        std::vector<std::string> out;
        if (soundLog)
            for (const auto& c : *soundLog)
                if (c.kind == SilentSoundBackend::Call::Kind::PlayMusic) out.push_back(fileName(c.name));
        return out;
    }
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
        const Rect b = target->bounds();
        const Point p = target->convertPointToView(Point(b.midX(), b.midY()), nullptr);
        window->touchDown(p);
        window->touchUp(p);
        return true;
    }
    // The named view is in the window and shown (no hidden ancestor).
    bool shown(const std::string& name) {
        auto v = window->viewWithName(name);
        if (!v) return false;
        for (const View* a = v.get(); a; a = a->superview())
            if (a->isHidden()) return false;
        return true;
    }
    size_t countInWindow(const View* view) const {
        size_t n = 0;
        for (const auto& sub : window->subviews()) n += sub.get() == view;
        return n;
    }
    static bool touchesOn() { return Window::touchesEnabled(); }

    std::shared_ptr<ManualClock> clock;
    std::shared_ptr<Window> window;
    std::shared_ptr<RecordingAnalytics> analytics;
    std::shared_ptr<std::vector<SilentSoundBackend::Call>> soundLog;
    std::vector<int64_t> okTags;
    std::vector<double> okTimes;
};

}  // namespace overlaytests
