#pragma once
// Shared set-up of the main-screen widget tests: the build's resources (pictures, fonts, string
// tables and the real tables), a saved-state store in a temporary folder, a manual clock on the
// main run loop, a seeded random source, and the managers torn down between tests. A second
// bundle ("sixteen") holds the same files with an equipment table of exactly 16 pieces of
// equipment on sale from the start.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "model/DungeonStaticData.h"
#include "model/EquipStaticData.h"
#include "model/GoldManager.h"
#include "model/LeftTimeManager.h"
#include "model/MonsterManager.h"
#include "model/MonsterStaticData.h"
#include "model/SavePointHooks.h"
#include "platform/core/Random.h"
#include "platform/core/RunLoop.h"
#include "platform/events/NotificationCenter.h"
#include "platform/foundation/PropertyList.h"
#include "platform/resources/LocalizedStrings.h"
#include "platform/resources/ResourceBundle.h"
#include "platform/services/UserInteraction.h"
#include "platform/store/SavedStateStore.h"
#include "platform/ui/Image.h"
#include "platform/ui/Window.h"
#include "support/GameTestSupport.h"

namespace widgettest {

namespace fs = std::filesystem;

inline std::string resourceDir() { return RE_TEST_RESOURCE_DIR; }

// 27 pieces of type 0: 1-16 on sale from the first dungeon, 17-27 from the second; one bonus item.
inline Value sixteenEquipmentTable() {
    Value::Array rows;
    for (int id = 1; id <= 28; ++id) {
        const int type = id == 28 ? 1 : 0;
        rows.push_back(Value{{"id", Value(id)}, {"name", Value("Piece " + std::to_string(id))}, {"type", Value(type)},
                             {"req_dungeon", Value(id <= 16 || id == 28 ? 1 : 2)}, {"monster", Value(0)}, {"num", Value(0)},
                             {"gold", Value(10 * id)}, {"gold_rate", Value(id == 28 ? 1.5 : 1.0)}, {"speed_rate", Value(1.0)}});
    }
    return Value(rows);
}

struct Folders {
    fs::path root;
    fs::path sixteen;
};

inline const Folders& folders() {
    static Folders f = [] {
        Folders made;
        made.root = gametest::makeTempFolder("re-widgets");
        gametest::useDataFolder(made.root / "data");
        // The second bundle links every file of the real one (the bundle does not follow linked
        // folders), except the equipment table, which it writes itself.
        made.sixteen = made.root / "sixteen";
        const fs::path real = resourceDir();
        for (const char* folder : {"images", "fonts", "tables"})
            gametest::linkFiles(real / folder, made.sixteen / folder, "equipments.plist");
        fs::create_directory_symlink(real / "strings", made.sixteen / "strings");
        gametest::writePlist(made.sixteen / "tables" / "equipments.plist", sixteenEquipmentTable());
        return made;
    }();
    return f;
}

using gametest::clearStore;
using gametest::store;

// The model's singletons, the person manager left as it is (as these tests always had it).
inline void resetSingletons() { gametest::resetModelSingletons(/*resetPersons=*/false); }

inline void useBundle(const std::string& dir) {
    ResourceBundle::setRootDirectory(dir);
    Image::clearCache();
    resetSingletons();
}

class WidgetTest : public ::testing::Test {
protected:
    void SetUp() override {
        folders();
        LocalizedStrings::setPreferredLanguages({"en"});
        LocalizedStrings::shared().reload();
        SavePointHooks::setAfterSaveHandler(nullptr);
        useBundle(resourceDir());
        clearStore();
        clock = std::make_shared<ManualClock>(1.8e9);
        RunLoop::main().reset();
        RunLoop::main().setClock(clock);
        NotificationCenter::defaultCenter().removeAllObservers();
        UserInteraction::setShared(nullptr);
        RandomSource::shared().seed(4242);
    }

    void TearDown() override {
        // The widgets go first: the managers they follow must outlive them.
        window.reset();
        RunLoop::main().reset();
        resetSingletons();
        clearStore();
        NotificationCenter::defaultCenter().removeAllObservers();
        UserInteraction::setShared(nullptr);
        LocalizedStrings::setPreferredLanguages({"en"});
        useBundle(resourceDir());
    }

    double now() const { return RunLoop::main().now(); }
    void advance(double seconds) { RunLoop::main().advanceBy(seconds); }
    // Moves the clock to start + offset (never back).
    void advanceTo(double start, double offset) {
        const double target = start + offset;
        if (target > now()) RunLoop::main().advanceBy(target - now());
    }
    // Runs whatever waits at the current instant (posted events, gold observers).
    static void drain() { RunLoop::main().drain(); }

    // Hunts the bosses of dungeons 1 .. lastDungeon - 1, which unlocks dungeons 2 .. lastDungeon.
    static void unlockDungeonsUpTo(unsigned lastDungeon) {
        for (unsigned d = 1; d < lastDungeon; ++d)
            MonsterManager::getInstance()->addMonsterWithId(DungeonStaticData::getInstance()->bossIdWithDungeionId(d));
    }
    static void own(std::initializer_list<int> equipIds) {
        for (int id : equipIds) store().setObject(Value{{"equip_id", Value(id)}}, "equip_" + std::to_string(id));
    }

    std::shared_ptr<ManualClock> clock;
    // The window the widgets are shown in (released before the managers).
    std::shared_ptr<Window> window;
};

}  // namespace widgettest
