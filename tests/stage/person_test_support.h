#pragma once
// Shared set-up of the person tests: a resource bundle in a temporary folder holding small
// tables written here next to links to the build's pictures, the saved-state store in a
// temporary folder (cleared before every test), a manual clock on the main run loop, a sound
// engine that writes down every effect it is asked to play, and analytics that note the thread
// and watch for recordings that overlap.
#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

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
#include "platform/resources/ResourceBundle.h"
#include "platform/services/Analytics.h"
#include "platform/services/UserInteraction.h"
#include "platform/sound/SilentSoundBackend.h"
#include "platform/sound/SoundEngine.h"
#include "platform/store/SavedStateStore.h"
#include "platform/ui/Image.h"
#include "stage/EffectManager.h"
#include "stage/PersonView.h"
#include "stage/PoseManager.h"
#include "support/GameTestSupport.h"

namespace persontest {

namespace fs = std::filesystem;

using gametest::clearStore;
using gametest::store;
using gametest::writePlist;

// ---- The tables the person tests run on.
//
// Monsters 1..12: monster i is worth 10 * i gold; monster 12 needs equipment 1, which the party
// does not own unless a test buys it.
// Dungeon 1: boss 6, depth 40. List: 1 old 0.5, 2 new 0.2, 3 new 0.2, 4 new 0.1, 6 boss 0.0.
// Dungeon 2: boss 10, depth 1000. List: 7 old 0.2 (A), 8 new 0.5 (B), 9 new 0.3 (C).
// Dungeon 3: boss 12 (too strong), depth 40. List: 11 old 1.0, 12 boss 0.0.
// Dungeon 4: no boss, depth 0, empty list.
// Dungeon 5: boss 5, depth 1000. List: only the boss.
inline Value entry(int monster, bool isNew, double rate, bool boss = false) {
    return Value{{"monster_id", Value(monster)}, {"is_new", Value(isNew)}, {"rate", Value(rate)}, {"is_boss", Value(boss)}};
}

inline Value monsterTable() {
    Value::Array rows;
    for (int i = 1; i <= 12; ++i) {
        Value row{{"id", Value(i)}, {"name", Value("M" + std::to_string(i))}, {"gold", Value(10 * i)}};
        if (i == 12) row = row.with("req_equip1", Value(1));
        rows.push_back(row);
    }
    return Value(rows);
}

inline Value dungeonTable() {
    auto row = [](int id, int boss, int depth) {
        return Value{{"id", Value(id)}, {"name", Value("D" + std::to_string(id))}, {"boss_id", Value(boss)}, {"depth", Value(depth)}};
    };
    return Value(Value::Array{row(1, 6, 40), row(2, 10, 1000), row(3, 12, 40), row(4, 0, 0), row(5, 5, 1000)});
}

inline Value dungeonMonsterTable() {
    auto list = [](int dungeon, Value::Array monsters) {
        return Value{{"dungeon_id", Value(dungeon)}, {"monsters", Value(std::move(monsters))}};
    };
    return Value(Value::Array{
        list(1, {entry(1, false, 0.5), entry(2, true, 0.2), entry(3, true, 0.2), entry(4, true, 0.1), entry(6, false, 0.0, true)}),
        list(2, {entry(7, false, 0.2), entry(8, true, 0.5), entry(9, true, 0.3)}),
        list(3, {entry(11, false, 1.0), entry(12, false, 0.0, true)}),
        list(4, {}),
        list(5, {entry(5, false, 1.0, true)}),
    });
}

inline Value equipmentTable() {
    return Value(Value::Array{Value{{"id", Value(1)}, {"name", Value("E1")}, {"type", Value(0)}, {"req_dungeon", Value(1)},
                                    {"gold", Value(100)}}});
}

using Folders = gametest::TestFolders;

inline const Folders& folders() {
    static Folders f = [] {
        Folders made = gametest::makeTestFolders("re-person");
        writePlist(made.bundle / "tables" / "monsters.plist", monsterTable());
        writePlist(made.bundle / "tables" / "dungeons.plist", dungeonTable());
        writePlist(made.bundle / "tables" / "dungeon_monsters.plist", dungeonMonsterTable());
        writePlist(made.bundle / "tables" / "equipments.plist", equipmentTable());
        gametest::linkBuildImages(made.bundle);
        return made;
    }();
    return f;
}

// What the sound engine was asked to play, with the clock's time.
struct SoundLog {
    std::mutex mutex;
    std::vector<std::pair<std::string, double>> played;

    std::vector<std::string> names() {
        std::lock_guard lock(mutex);
        std::vector<std::string> out;
        for (const auto& p : played) out.push_back(p.first);
        return out;
    }
    double timeOf(const std::string& name) {
        std::lock_guard lock(mutex);
        for (const auto& p : played)
            if (p.first == name) return p.second;
        return -1;
    }
    void clear() {
        std::lock_guard lock(mutex);
        played.clear();
    }
};

class RecordingSoundBackend : public SilentSoundBackend {
public:
    explicit RecordingSoundBackend(std::shared_ptr<SoundLog> log) : log_(std::move(log)) {}
    bool loadEffect(const std::string&, const std::string&) override { return true; }
    void playEffect(const std::string& key, float) override {
        std::lock_guard lock(log_->mutex);
        log_->played.emplace_back(key, RunLoop::main().now());
    }

private:
    std::shared_ptr<SoundLog> log_;
};

// Notes every page view with its thread, and whether two page views ever ran at the same time
// (the recordings report page views from inside, so overlapping recordings would show here).
class ThreadNotingAnalytics : public Analytics {
public:
    void trackPageView(const std::string& path) override {
        const int inFlight = ++inFlight_;
        int seen = maxInFlight_.load();
        while (inFlight > seen && !maxInFlight_.compare_exchange_weak(seen, inFlight)) {
        }
        std::this_thread::sleep_for(std::chrono::microseconds(300));
        {
            std::lock_guard lock(mutex_);
            views_.emplace_back(path, std::this_thread::get_id());
        }
        --inFlight_;
    }
    std::vector<std::pair<std::string, std::thread::id>> views() const {
        std::lock_guard lock(mutex_);
        return views_;
    }
    std::vector<std::string> paths() const {
        std::vector<std::string> out;
        for (const auto& v : views()) out.push_back(v.first);
        return out;
    }
    int maxInFlight() const { return maxInFlight_.load(); }

private:
    mutable std::mutex mutex_;
    std::vector<std::pair<std::string, std::thread::id>> views_;
    std::atomic<int> inFlight_{0};
    std::atomic<int> maxInFlight_{0};
};

// The owner of the persons under test: writes down what it is told.
class RecordingDelegate : public PersonViewDelegate {
public:
    bool offersFinishCheck = true;
    bool offersThrow = true;
    // How long after the hand-over the thrown yield lands (the owner's throw).
    double landingDelay = 1.0;

    std::vector<int> finished;         // person ids, in the order their collections ended
    std::vector<int> thrown;           // person ids whose yields were handed over
    std::vector<Point> throwCenters;   // the centres handed over
    std::vector<std::shared_ptr<ImageView>> thrownViews;
    std::vector<std::string>* journal = nullptr;

    bool respondsToFinishCheck() const override { return offersFinishCheck; }
    void finishCheck(PersonView& person) override {
        finished.push_back(person.personId());
        if (journal) journal->push_back("finishCheck:" + std::to_string(person.personId()));
    }
    bool respondsToStartThrowYield() const override { return offersThrow; }
    void startThrowYield(std::shared_ptr<ImageView> yield, Point centerPos, PersonView& sender) override {
        thrown.push_back(sender.personId());
        throwCenters.push_back(centerPos);
        thrownViews.push_back(yield);
        if (journal) journal->push_back("throw:" + std::to_string(sender.personId()));
        std::weak_ptr<View> person = sender.weak_from_this();
        RunLoop::main().performAfterDelay(landingDelay, [person] {
            if (auto p = std::static_pointer_cast<PersonView>(person.lock())) p->animationDidStop(nullptr, true);
        });
    }
};

inline void resetSingletons() {
    gametest::resetModelSingletons();
    PoseManager::resetInstanceForTesting();
    EffectManager::resetInstanceForTesting();
}

class PersonTest : public ::testing::Test {
protected:
    void SetUp() override {
        const Folders& f = folders();
        ResourceBundle::setRootDirectory(f.bundle.string());
        Image::clearCache();
        PersonView::waitForRecordings();
        RunLoop::main().reset();
        clock = std::make_shared<ManualClock>(1.8e9);
        RunLoop::main().setClock(clock);
        resetSingletons();
        clearStore();
        NotificationCenter::defaultCenter().removeAllObservers();
        UserInteraction::setShared(nullptr);
        RandomSource::shared().seed(4242);
        analytics = std::make_shared<ThreadNotingAnalytics>();
        Analytics::setShared(analytics);
        sounds = std::make_shared<SoundLog>();
        auto log = sounds;
        SoundEngine::installSharedEngine(std::make_unique<SoundEngine>(
            [log] { return std::make_unique<RecordingSoundBackend>(log); },
            [](const std::string& name, const std::string& type) { return "/nowhere/" + name + "." + type; }, ""));
    }

    void TearDown() override {
        PersonView::waitForRecordings();
        RunLoop::main().reset();
        resetSingletons();
        clearStore();
        NotificationCenter::defaultCenter().removeAllObservers();
        Analytics::setShared(nullptr);
        SoundEngine::installSharedEngine(nullptr);
        ResourceBundle::setRootDirectory(RE_TEST_RESOURCE_DIR);
        Image::clearCache();
    }

    double now() const { return RunLoop::main().now(); }
    void advance(double seconds) { RunLoop::main().advanceBy(seconds); }
    // Runs everything due now, the recording worker included.
    void settle() { RunLoop::main().drain(); }

    std::shared_ptr<PersonView> makePerson(int id, Point center = Point(100, 100)) {
        auto person = View::make<PersonView>(Rect::withCenter(center, Size(PersonView::kWidth, PersonView::kHeight)));
        person->setTag(id);
        return person;
    }

    // Records every event of these names with the thread it was delivered on, in delivery order.
    void recordEvents(std::initializer_list<const char*> names) {
        for (const char* name : names)
            NotificationCenter::defaultCenter().addObserver(
                static_cast<const void*>(this),
                [this](const Notification& n) {
                    events.push_back(n.name);
                    eventObjects.push_back(n.object);
                    eventThreads.push_back(std::this_thread::get_id());
                },
                name);
    }

    // A seed whose first weighted-choice draw (next() mod 1000) is `wanted`.
    static uint64_t seedDrawing(uint32_t wanted) {
        for (uint64_t seed = 1;; ++seed) {
            RandomSource probe(seed);
            if (probe.next() % 1000u == wanted) return seed;
        }
    }

    static void ownEquipment(int equipId) {
        store().setObject(Value{{"equip_id", Value(equipId)}}, "equip_" + std::to_string(equipId));
    }
    static void setExploreCnt(unsigned dungeonId, unsigned count) {
        store().setObject(Value{{"dungeon_id", Value(dungeonId)}, {"explore_cnt", Value(count)}}, "dungeon_" + std::to_string(dungeonId));
    }

    std::shared_ptr<ManualClock> clock;
    std::shared_ptr<ThreadNotingAnalytics> analytics;
    std::shared_ptr<SoundLog> sounds;
    std::vector<std::string> events;
    std::vector<Value> eventObjects;
    std::vector<std::thread::id> eventThreads;
};

}  // namespace persontest
