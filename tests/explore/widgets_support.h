#pragma once
// The widget tests' world: the build's resources, the store in a temporary folder, a manual clock,
// a seeded random source. A second bundle ("sixteen") has an equipment table of 27 pieces of
// type 0 (1-16 on sale from the first dungeon, 17-27 from the second) and one bonus item (28).
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "model/DungeonStaticData.h"
#include "model/MonsterManager.h"
#include "model/SavePointHooks.h"
#include "platform/core/Random.h"
#include "platform/core/RunLoop.h"
#include "platform/events/NotificationCenter.h"
#include "platform/resources/LocalizedStrings.h"
#include "platform/resources/ResourceBundle.h"
#include "platform/services/UserInteraction.h"
#include "platform/ui/Image.h"
#include "platform/ui/Window.h"
#include "support/GameTestSupport.h"

namespace widgettest {

namespace fs = std::filesystem;
using gametest::store;

inline const fs::path& sixteenBundle() {
    static fs::path made = [] {
        const fs::path root = gametest::makeTempFolder("re-widgets"), sixteen = root / "sixteen", real = RE_TEST_RESOURCE_DIR;
        gametest::useDataFolder(root / "data");
        for (const char* folder : {"images", "fonts", "tables"}) gametest::linkFiles(real / folder, sixteen / folder, "equipments.plist");
        fs::create_directory_symlink(real / "strings", sixteen / "strings");
        Value::Array rows;
        for (int id = 1; id <= 28; ++id)
            rows.push_back(Value{{"id", Value(id)}, {"name", Value("Piece " + std::to_string(id))}, {"type", Value(id == 28 ? 1 : 0)},
                                 {"req_dungeon", Value(id <= 16 || id == 28 ? 1 : 2)}, {"monster", Value(0)}, {"num", Value(0)},
                                 {"gold", Value(10 * id)}, {"gold_rate", Value(id == 28 ? 1.5 : 1.0)}, {"speed_rate", Value(1.0)}});
        gametest::writePlist(sixteen / "tables" / "equipments.plist", Value(rows));
        return sixteen;
    }();
    return made;
}

inline void useBundle(const std::string& dir) {
    ResourceBundle::setRootDirectory(dir);
    Image::clearCache();
    gametest::resetModelSingletons(/*resetPersons=*/false);
}

class WidgetTest : public ::testing::Test {
protected:
    void SetUp() override {
        sixteenBundle();
        reset();
        LocalizedStrings::shared().reload();
        SavePointHooks::setAfterSaveHandler(nullptr);
        RunLoop::main().setClock(std::make_shared<ManualClock>(1.8e9));
        RandomSource::shared().seed(4242);
    }
    void TearDown() override {
        window.reset();  // the widgets go before the managers they follow
        reset();
    }
    void reset() {
        RunLoop::main().reset();
        useBundle(RE_TEST_RESOURCE_DIR);
        gametest::clearStore();
        NotificationCenter::defaultCenter().removeAllObservers();
        UserInteraction::setShared(nullptr);
        LocalizedStrings::setPreferredLanguages({"en"});
    }

    // The widget on a 320 x 480 window: joining the window is its first display.
    template <class W>
    std::shared_ptr<W> show() {
        window = std::make_shared<Window>(Rect(0, 0, 320, 480));
        auto widget = View::make<W>();
        window->addSubview(widget);
        return widget;
    }

    double now() const { return RunLoop::main().now(); }
    void advance(double seconds) { RunLoop::main().advanceBy(seconds); }
    void advanceTo(double start, double offset) {  // never back
        if (start + offset > now()) RunLoop::main().advanceBy(start + offset - now());
    }
    static void drain() { RunLoop::main().drain(); }

    // Hunts the bosses of dungeons 1 .. lastDungeon - 1, which unlocks dungeons 2 .. lastDungeon.
    static void unlockDungeonsUpTo(unsigned lastDungeon) {
        for (unsigned d = 1; d < lastDungeon; ++d)
            MonsterManager::getInstance()->addMonsterWithId(DungeonStaticData::getInstance()->bossIdWithDungeionId(d));
    }
    static void own(std::initializer_list<int> equipIds) {
        for (int id : equipIds) store().setObject(Value{{"equip_id", Value(id)}}, "equip_" + std::to_string(id));
    }

    std::shared_ptr<Window> window;
};

}  // namespace widgettest
