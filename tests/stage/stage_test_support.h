#pragma once
// Shared set-up of the stage tests: a resource bundle in a temporary folder (small tables written
// here, the build's pictures and string tables linked in, one tall monster drawn here), the
// saved-state store in a temporary folder (or RE_DATA_DIR when a test runs as a child process),
// a manual clock on the main run loop, a silent sound engine, and a window of 320 x 480 points
// holding a stage at (0, 160, 320, 320): the stage's y 0 lies on the horizon, at the entrance.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "explore/BalloonView.h"
#include "model/DungeonStaticData.h"
#include "model/EquipStaticData.h"
#include "model/GoldManager.h"
#include "model/LeftTimeManager.h"
#include "model/MonsterManager.h"
#include "model/MonsterStaticData.h"
#include "model/PersonManager.h"
#include "platform/core/Random.h"
#include "platform/core/RunLoop.h"
#include "platform/events/NotificationCenter.h"
#include "platform/render/HeadlessRenderer.h"
#include "platform/resources/ResourceBundle.h"
#include "platform/services/UserInteraction.h"
#include "platform/sound/SilentSoundBackend.h"
#include "platform/sound/SoundEngine.h"
#include "platform/store/SavedStateStore.h"
#include "platform/ui/Image.h"
#include "platform/ui/Window.h"
#include "stage/EffectManager.h"
#include "stage/PersonView.h"
#include "stage/PoseManager.h"
#include "stage/StageView.h"
#include "support/GameTestSupport.h"

namespace stagetests {

namespace fs = std::filesystem;

using gametest::clearStore;
using gametest::store;
using gametest::writePlist;

// ---- The tables the stage tests run on.
// Monsters 1..12 (monster i is worth 10 i gold); monster 12 needs equipment 1, which the party
// never owns, so whoever meets it comes back in a coffin. Monster 99 is a tall picture drawn
// here (160 x 200): carried at 40 x 50, it sticks 10 points out above the carrier's head.
// Dungeon 1: boss 6, depth 1000; everyone meets monster 1 and wins it.
// Dungeon 2: boss 10, depth 1000; everyone meets monster 12 and loses.
// Dungeon 3: boss 5, depth 0; the first one back meets the boss and wins, the next ones meet 2.
// Dungeon 4: no boss, an empty list: everyone comes back with nothing.
// Dungeon 5: boss 6, depth 1000; everyone meets the tall monster 99.
inline Value entry(int monster, double rate, bool boss = false) {
    return Value{{"monster_id", Value(monster)}, {"is_new", Value(false)}, {"rate", Value(rate)}, {"is_boss", Value(boss)}};
}

inline void writeTables(const fs::path& bundle) {
    Value::Array monsters;
    for (int i = 1; i <= 12; ++i) {
        Value row{{"id", Value(i)}, {"name", Value("M" + std::to_string(i))}, {"gold", Value(10 * i)}};
        if (i == 12) row = row.with("req_equip1", Value(1));
        monsters.push_back(row);
    }
    monsters.push_back(Value{{"id", Value(99)}, {"name", Value("Tall")}, {"gold", Value(990)}});
    writePlist(bundle / "tables" / "monsters.plist", Value(monsters));

    auto dungeon = [](int id, int boss, int depth) {
        return Value{{"id", Value(id)}, {"name", Value("D" + std::to_string(id))}, {"boss_id", Value(boss)}, {"depth", Value(depth)}};
    };
    writePlist(bundle / "tables" / "dungeons.plist",
               Value(Value::Array{dungeon(1, 6, 1000), dungeon(2, 10, 1000), dungeon(3, 5, 0), dungeon(4, 0, 0), dungeon(5, 6, 1000)}));

    auto list = [](int id, Value::Array entries) { return Value{{"dungeon_id", Value(id)}, {"monsters", Value(std::move(entries))}}; };
    writePlist(bundle / "tables" / "dungeon_monsters.plist",
               Value(Value::Array{list(1, {entry(1, 1.0), entry(6, 0.0, true)}), list(2, {entry(12, 1.0), entry(10, 0.0, true)}),
                                  list(3, {entry(2, 1.0), entry(5, 0.0, true)}), list(4, {}),
                                  list(5, {entry(99, 1.0), entry(6, 0.0, true)})}));
    writePlist(bundle / "tables" / "equipments.plist",
               Value(Value::Array{Value{{"id", Value(1)}, {"name", Value("E1")}, {"type", Value(0)}, {"req_dungeon", Value(1)},
                                        {"gold", Value(100)}}}));
}

// A 160 x 200 pixel picture through the headless renderer: an 80 x 100 point view at 2x.
inline void drawTallMonster(const fs::path& path) {
    auto view = View::make<View>(Rect(0, 0, 80, 100));
    view->setBackgroundColor(Color::fromRGBA8(0x80, 0x48, 0xa8));
    HeadlessRenderer renderer(Size(80, 100), 2.0);
    renderer.render(*view, Color::fromRGBA8(0x80, 0x48, 0xa8));
    renderer.writePNG(path.string());
}

using Folders = gametest::TestFolders;

inline const Folders& folders() {
    static Folders f = [] {
        // A child process of the restart test runs on the data folder its parent gave it.
        const char* given = std::getenv("RE_STAGE_CHILD");
        Folders made = gametest::makeTestFolders("re-stageview", given && std::getenv("RE_DATA_DIR") ? fs::path(std::getenv("RE_DATA_DIR")) : fs::path());
        writeTables(made.bundle);
        gametest::linkBuildImages(made.bundle);
        gametest::linkBuildStrings(made.bundle);
        drawTallMonster(made.bundle / "images" / "m99.png");
        return made;
    }();
    return f;
}

inline void resetSingletons() {
    gametest::resetModelSingletons();
    PoseManager::resetInstanceForTesting();
    EffectManager::resetInstanceForTesting();
}

inline Value dungeonInfo(int id) { return Value{{"id", Value(static_cast<unsigned>(id))}}; }

class StageViewTest : public ::testing::Test {
protected:
    static constexpr double kStageTop = 160;

    void SetUp() override { setUpWorld(true); }

    // clean: start from an empty store (a child process that restores keeps what it finds).
    void setUpWorld(bool clean) {
        const Folders& f = folders();
        ResourceBundle::setRootDirectory(f.bundle.string());
        Image::clearCache();
        PersonView::waitForRecordings();
        RunLoop::main().reset();
        clock = std::make_shared<ManualClock>(1.8e9);
        RunLoop::main().setClock(clock);
        resetSingletons();
        if (clean) clearStore();
        NotificationCenter::defaultCenter().removeAllObservers();
        UserInteraction::setShared(nullptr);
        RandomSource::shared().seed(777);
        SoundEngine::installSharedEngine(std::make_unique<SoundEngine>([] { return std::make_unique<SilentSoundBackend>(); },
                                                                       [](const std::string&, const std::string&) { return ""; }, ""));
        window = std::make_shared<Window>(Rect(0, 0, 320, 480));
        stage = View::make<StageView>(Rect(0, kStageTop, 320, 320));
        window->addSubview(stage);
    }

    void TearDown() override {
        stage.reset();
        window.reset();
        PersonView::waitForRecordings();
        RunLoop::main().reset();
        resetSingletons();
        if (!std::getenv("RE_STAGE_CHILD")) clearStore();
        NotificationCenter::defaultCenter().removeAllObservers();
        SoundEngine::installSharedEngine(nullptr);
        ResourceBundle::setRootDirectory(RE_TEST_RESOURCE_DIR);
        Image::clearCache();
    }

    double now() const { return RunLoop::main().now(); }
    void advance(double seconds) { RunLoop::main().advanceBy(seconds); }
    void advanceTo(double instant) {
        if (instant > now()) RunLoop::main().advanceBy(instant - now());
    }
    // Runs everything due now, the recording worker included.
    void settle() { RunLoop::main().drain(); }

    // Every event of these names, in delivery order, with the instant it was delivered.
    void recordEvents(std::initializer_list<const char*> names) {
        for (const char* name : names)
            NotificationCenter::defaultCenter().addObserver(
                static_cast<const void*>(this),
                [this](const Notification& n) {
                    events.push_back(n.name);
                    eventTimes.push_back(now());
                },
                name);
    }
    size_t count(const std::string& name) const {
        size_t n = 0;
        for (const auto& e : events) n += e == name;
        return n;
    }

    std::shared_ptr<PersonView> person(int id) const { return stage->personWithId(id); }
    // A stage point in the window's (screen) points.
    static Point screen(Point stagePoint) { return Point(stagePoint.x, stagePoint.y + kStageTop); }

    static void addMembers(int count) {
        for (int m = 1; m <= count; ++m) store().setObject(Value{{"member_id", Value(m)}}, "member_" + std::to_string(m));
    }
    static void storeHolder(int id, int yieldType, unsigned monster = 0, unsigned dungeon = 0) {
        PersonManager::updatePersonInfoWithId(id, yieldType, monster, dungeon);
    }

    // Draws the party, walks everybody off and lets every walk end.
    void sendEveryoneOff() {
        stage->moveAllPersonsForExplore();
        advance(2.0);
        settle();
    }

    std::shared_ptr<ManualClock> clock;
    std::shared_ptr<Window> window;
    std::shared_ptr<StageView> stage;
    std::vector<std::string> events;
    std::vector<double> eventTimes;
};

}  // namespace stagetests
