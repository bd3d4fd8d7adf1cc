#pragma once
// Shared set-up of the stage tests: a manual clock, a seeded random source, the store in a
// temporary folder (RE_DATA_DIR in a child process of the restart test), a sound engine and
// analytics that write down what they are asked, every singleton torn down between tests. The
// bundle differs: StageTest uses the build's resources; PersonTest small person tables written
// here; StageViewTest small stage tables with one tall monster, in a 320 x 480 window holding the
// stage at (0, 160, 320, 320), so the stage's y 0 lies on the horizon, at the entrance.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>

#include "model/DungeonStaticData.h"
#include "model/GoldManager.h"
#include "model/LeftTimeManager.h"
#include "model/MonsterManager.h"
#include "model/PersonManager.h"
#include "platform/core/Random.h"
#include "platform/core/RunLoop.h"
#include "platform/events/NotificationCenter.h"
#include "platform/render/HeadlessRenderer.h"
#include "platform/resources/ResourceBundle.h"
#include "platform/services/Analytics.h"
#include "platform/services/UserInteraction.h"
#include "platform/sound/SilentSoundBackend.h"
#include "platform/sound/SoundEngine.h"
#include "platform/ui/Window.h"
#include "stage/EffectManager.h"
#include "stage/PoseManager.h"
#include "stage/StageView.h"
#include "support/GameTestSupport.h"

namespace stagetests {

namespace fs = std::filesystem;
using gametest::clearStore;
using gametest::store;

inline Value entry(int monster, bool isNew, double rate, bool boss = false) {
    return Value{{"monster_id", Value(monster)}, {"is_new", Value(isNew)}, {"rate", Value(rate)}, {"is_boss", Value(boss)}};
}

// Monsters 1..12 (monster i is worth 10 i gold; 12 needs equipment 1), one piece of equipment,
// the tall monster 99 when asked, and the dungeons given as (id, boss, depth, list).
struct DungeonRow {
    int id, boss, depth;
    Value::Array list;
};
inline void writeTables(const fs::path& bundle, const std::vector<DungeonRow>& dungeons, bool tallMonster) {
    Value::Array monsters, rows, lists;
    for (int i = 1; i <= 12; ++i) {
        Value row{{"id", Value(i)}, {"name", Value("M" + std::to_string(i))}, {"gold", Value(10 * i)}};
        monsters.push_back(i == 12 ? row.with("req_equip1", Value(1)) : row);
    }
    if (tallMonster) monsters.push_back(Value{{"id", Value(99)}, {"name", Value("Tall")}, {"gold", Value(990)}});
    for (const auto& d : dungeons) {
        rows.push_back(Value{{"id", Value(d.id)}, {"name", Value("D" + std::to_string(d.id))}, {"boss_id", Value(d.boss)}, {"depth", Value(d.depth)}});
        lists.push_back(Value{{"dungeon_id", Value(d.id)}, {"monsters", Value(d.list)}});
    }
    gametest::writePlist(bundle / "tables" / "monsters.plist", Value(monsters));
    gametest::writePlist(bundle / "tables" / "dungeons.plist", Value(rows));
    gametest::writePlist(bundle / "tables" / "dungeon_monsters.plist", Value(lists));
    gametest::writePlist(bundle / "tables" / "equipments.plist",
                         Value(Value::Array{Value{{"id", Value(1)}, {"name", Value("E1")}, {"type", Value(0)}, {"req_dungeon", Value(1)}, {"gold", Value(100)}}}));
}

struct Folders {
    fs::path root, person, stage;
};
inline const Folders& folders() {
    static Folders f = [] {
        const char* data = std::getenv("RE_STAGE_CHILD") ? std::getenv("RE_DATA_DIR") : nullptr;
        const auto made = gametest::makeTestFolders("re-stage", data ? fs::path(data) : fs::path());
        Folders out{made.root, made.root / "person", made.root / "stage"};
        // Person tables. 1: boss 6, depth 40; 1 old 0.5, 2 3 4 new 0.2 0.2 0.1. 2: boss 10;
        // 7 old 0.2, 8 new 0.5, 9 new 0.3. 3: boss 12 (too strong), depth 40; 11. 4: no boss,
        // depth 0, empty list. 5: only its boss 5.
        writeTables(out.person,
                    {{1, 6, 40, {entry(1, false, 0.5), entry(2, true, 0.2), entry(3, true, 0.2), entry(4, true, 0.1), entry(6, false, 0, true)}},
                     {2, 10, 1000, {entry(7, false, 0.2), entry(8, true, 0.5), entry(9, true, 0.3)}},
                     {3, 12, 40, {entry(11, false, 1.0), entry(12, false, 0, true)}},
                     {4, 0, 0, {}},
                     {5, 5, 1000, {entry(5, false, 1.0, true)}}},
                    false);
        // Stage tables: in 1 everyone wins monster 1; in 2 everyone loses to 12; in 3 the first
        // one back meets boss 5 and wins, the next ones 2; 4 brings nothing; in 5 everyone
        // carries the tall monster 99 (160 x 200, carried at 40 x 50, 10 points over the head).
        writeTables(out.stage,
                    {{1, 6, 1000, {entry(1, false, 1.0), entry(6, false, 0, true)}},
                     {2, 10, 1000, {entry(12, false, 1.0), entry(10, false, 0, true)}},
                     {3, 5, 0, {entry(2, false, 1.0), entry(5, false, 0, true)}},
                     {4, 0, 0, {}},
                     {5, 6, 1000, {entry(99, false, 1.0), entry(6, false, 0, true)}}},
                    true);
        for (const auto& bundle : {out.person, out.stage}) gametest::linkBuildImages(bundle);
        gametest::linkBuildStrings(out.stage);
        auto tall = View::make<View>(Rect(0, 0, 80, 100));
        tall->setBackgroundColor(Color::fromRGBA8(0x80, 0x48, 0xa8));
        HeadlessRenderer renderer(Size(80, 100), 2.0);
        renderer.render(*tall);
        renderer.writePNG((out.stage / "images" / "m99.png").string());
        return out;
    }();
    return f;
}

inline void useResources(const std::string& dir) {
    ResourceBundle::setRootDirectory(dir);
    Image::clearCache();
}
inline void resetSingletons() {
    gametest::resetModelSingletons();
    PoseManager::resetInstanceForTesting();
    EffectManager::resetInstanceForTesting();
}

// What the sound engine was asked to play.
struct SoundLog {
    std::mutex mutex;
    std::vector<std::pair<std::string, double>> played;
    std::vector<std::string> names() {
        std::lock_guard lock(mutex);
        std::vector<std::string> out;
        for (const auto& p : played) out.push_back(p.first);
        return out;
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

// Notes every page view with its thread, and whether two recordings ever overlapped.
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
    int maxInFlight() const { return maxInFlight_.load(); }

private:
    mutable std::mutex mutex_;
    std::vector<std::pair<std::string, std::thread::id>> views_;
    std::atomic<int> inFlight_{0}, maxInFlight_{0};
};

// An owner of persons that writes down what it is told and lands thrown yields after landingDelay.
class RecordingDelegate : public PersonViewDelegate {
public:
    bool offersFinishCheck = true, offersThrow = true;
    double landingDelay = 1.0;
    std::vector<int> finished, thrown;  // person ids, in order
    std::vector<Point> throwCenters;
    std::vector<std::string>* journal = nullptr;
    bool respondsToFinishCheck() const override { return offersFinishCheck; }
    void finishCheck(PersonView& person) override {
        finished.push_back(person.personId());
        if (journal) journal->push_back("finishCheck:" + std::to_string(person.personId()));
    }
    bool respondsToStartThrowYield() const override { return offersThrow; }
    void startThrowYield(std::shared_ptr<ImageView>, Point centerPos, PersonView& sender) override {
        thrown.push_back(sender.personId());
        throwCenters.push_back(centerPos);
        if (journal) journal->push_back("throw:" + std::to_string(sender.personId()));
        std::weak_ptr<View> person = sender.weak_from_this();
        RunLoop::main().performAfterDelay(landingDelay, [person] {
            if (auto p = std::static_pointer_cast<PersonView>(person.lock())) p->animationDidStop(nullptr, true);
        });
    }
};

class WorldTest : public ::testing::Test {
protected:
    void setUpWorld(const fs::path& bundle, uint64_t seed, bool clean = true) {
        folders();
        useResources(bundle.string());
        PersonView::waitForRecordings();
        RunLoop::main().reset();
        clock = std::make_shared<ManualClock>(1.8e9);
        RunLoop::main().setClock(clock);
        resetSingletons();
        if (clean) clearStore();
        NotificationCenter::defaultCenter().removeAllObservers();
        UserInteraction::setShared(nullptr);
        RandomSource::shared().seed(seed);
        analytics = std::make_shared<ThreadNotingAnalytics>();
        Analytics::setShared(analytics);
        auto log = sounds = std::make_shared<SoundLog>();
        SoundEngine::installSharedEngine(std::make_unique<SoundEngine>(
            [log] { return std::make_unique<RecordingSoundBackend>(log); },
            [](const std::string& name, const std::string& type) { return "/nowhere/" + name + "." + type; }, ""));
    }
    void TearDown() override {
        PersonView::waitForRecordings();
        RunLoop::main().reset();
        resetSingletons();
        if (!std::getenv("RE_STAGE_CHILD")) clearStore();
        NotificationCenter::defaultCenter().removeAllObservers();
        UserInteraction::setShared(nullptr);
        Analytics::setShared(nullptr);
        SoundEngine::installSharedEngine(nullptr);
        useResources(RE_TEST_RESOURCE_DIR);
    }
    double now() const { return RunLoop::main().now(); }
    void advance(double seconds) { RunLoop::main().advanceBy(seconds); }
    // Moves the clock forward to an instant, or to one measured from `start`.
    void advanceTo(double instant) {
        if (instant > now()) RunLoop::main().advanceBy(instant - now());
    }
    void advanceTo(double start, double offset) { advanceTo(start + offset); }
    // Runs everything due now, the recording worker included.
    void settle() { RunLoop::main().drain(); }
    static bool touchesEnabled() { return UserInteraction::shared()->isEnabled(); }
    // Records events of these names in delivery order, with object and thread.
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
    size_t count(const std::string& name) const { return static_cast<size_t>(std::count(events.begin(), events.end(), name)); }
    // A seed whose first draw, uniform(bound), is `wanted`.
    static uint64_t seedDrawing(uint32_t bound, uint32_t wanted) {
        uint64_t seed = 1;
        while (RandomSource(seed).uniform(bound) != wanted) ++seed;
        return seed;
    }
    std::shared_ptr<ManualClock> clock;
    std::shared_ptr<ThreadNotingAnalytics> analytics;
    std::shared_ptr<SoundLog> sounds;
    std::vector<std::string> events;
    std::vector<Value> eventObjects;
    std::vector<std::thread::id> eventThreads;
};

class StageTest : public WorldTest {
protected:
    void SetUp() override { setUpWorld(RE_TEST_RESOURCE_DIR, 12345); }
};

class PersonTest : public WorldTest {
protected:
    void SetUp() override { setUpWorld(folders().person, 4242); }
    std::shared_ptr<PersonView> makePerson(int id, Point center = Point(100, 100)) {
        auto person = View::make<PersonView>(Rect::withCenter(center, Size(PersonView::kWidth, PersonView::kHeight)));
        person->setTag(id);
        return person;
    }
    static void setExploreCnt(unsigned dungeonId, unsigned count) {
        store().setObject(Value{{"dungeon_id", Value(dungeonId)}, {"explore_cnt", Value(count)}}, "dungeon_" + std::to_string(dungeonId));
    }
};

inline Value dungeonInfo(int id) { return Value{{"id", Value(static_cast<unsigned>(id))}}; }

class StageViewTest : public WorldTest {
protected:
    void SetUp() override { setUpStage(true); }
    void setUpStage(bool clean) {
        setUpWorld(folders().stage, 777, clean);
        window = std::make_shared<Window>(Rect(0, 0, 320, 480));
        stage = View::make<StageView>(Rect(0, 160, 320, 320));
        window->addSubview(stage);
    }
    void TearDown() override {
        stage.reset();
        window.reset();
        WorldTest::TearDown();
    }
    std::shared_ptr<PersonView> person(int id) const { return stage->personWithId(id); }
    static Point screen(Point stagePoint) { return Point(stagePoint.x, stagePoint.y + 160); }  // in the window
    static void addMembers(int count) {
        for (int m = 1; m <= count; ++m) store().setObject(Value{{"member_id", Value(m)}}, "member_" + std::to_string(m));
    }
    static void storeHolder(int id, int yieldType, unsigned monster = 0, unsigned dungeon = 0) {
        PersonManager::updatePersonInfoWithId(id, yieldType, monster, dungeon);
    }
    void sendEveryoneOff() {  // and lets every walk end
        stage->moveAllPersonsForExplore();
        advance(2.0);
        settle();
    }
    std::shared_ptr<Window> window;
    std::shared_ptr<StageView> stage;
};

}  // namespace stagetests
