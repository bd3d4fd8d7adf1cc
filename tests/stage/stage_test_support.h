#pragma once
// Set-up of the stage tests: a test bundle, a manual clock, a seeded random source, the store in a
// temporary folder, sounds and page views written down, every singleton torn down between tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>

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
using Strings = std::vector<std::string>;
using Ids = std::vector<int>;

inline Value entry(int monster, bool isNew, double rate, bool boss = false) {
    return Value{{"monster_id", Value(monster)}, {"is_new", Value(isNew)}, {"rate", Value(rate)}, {"is_boss", Value(boss)}};
}

// Monsters 1..12 (monster i is worth 10 i gold; 12 needs equipment 1), the tall monster 99 and
// the dungeons as (id, boss, depth, list): for persons 1 to 5 (the boss of 3 is too strong, 4 is
// empty, 5 holds only its boss), for the stage those named here.
enum StageDungeon { kLosesTo12 = 6, kBossAtEntrance = 7, kWinsMonster1 = 8, kNothing = 4 };
struct TableDungeon { int id, boss, depth; Value::Array list; };
inline void writeTables(const fs::path& bundle, const std::vector<TableDungeon>& dungeons) {
    Value::Array monsters{Value{{"id", Value(99)}, {"name", Value("Tall")}, {"gold", Value(990)}}}, rows, lists;
    for (int i = 1; i <= 12; ++i) {
        Value row{{"id", Value(i)}, {"name", Value("M" + std::to_string(i))}, {"gold", Value(10 * i)}};
        monsters.push_back(i == 12 ? row.with("req_equip1", Value(1)) : row);
    }
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

// The test bundle: the tables above, the build's pictures and strings, and m99.png (160 x 200).
inline const fs::path& bundle() {
    static const fs::path made = [] {
        const fs::path path = gametest::makeTestFolders("re-stage").bundle;
        writeTables(path, {{1, 6, 40, {entry(1, false, 0.5), entry(2, true, 0.2), entry(3, true, 0.2), entry(4, true, 0.1), entry(6, false, 0, true)}},
                           {2, 10, 1000, {entry(7, false, 0.2), entry(8, true, 0.5), entry(9, true, 0.3)}},
                           {3, 12, 40, {entry(11, false, 1.0), entry(12, false, 0, true)}},
                           {kNothing, 0, 0, {}},
                           {5, 5, 1000, {entry(5, false, 1.0, true)}},
                           {kLosesTo12, 10, 1000, {entry(12, false, 1.0), entry(10, false, 0, true)}},
                           {kBossAtEntrance, 5, 0, {entry(2, false, 1.0), entry(5, false, 0, true)}},
                           {kWinsMonster1, 6, 1000, {entry(1, false, 1.0), entry(6, false, 0, true)}}});
        gametest::linkBuildImages(path);
        gametest::linkBuildStrings(path);
        auto tall = View::make<View>(Rect(0, 0, 80, 100));
        tall->setBackgroundColor(Color::fromRGBA8(0x80, 0x48, 0xa8));
        HeadlessRenderer renderer(Size(80, 100), 2.0);
        renderer.render(*tall);
        renderer.writePNG((path / "images" / "m99.png").string());
        return path;
    }();
    return made;
}

inline void useResources(const std::string& dir) {
    ResourceBundle::setRootDirectory(dir);
    Image::clearCache();
}

// Writes down the names of the sounds played.
struct RecordingSoundBackend : SilentSoundBackend {
    explicit RecordingSoundBackend(std::shared_ptr<Strings> played) : log(std::move(played)) {}
    bool loadEffect(const std::string&, const std::string&) override { return true; }
    void playEffect(const std::string& key, float) override { log->push_back(key); }
    std::shared_ptr<Strings> log;
};

// Notes every page view with its thread, and whether two recordings ever overlapped.
class ThreadNotingAnalytics : public Analytics {
public:
    void trackPageView(const std::string& path) override {
        if (++inFlight > 1) overlapped = true;
        std::this_thread::sleep_for(std::chrono::microseconds(300));
        std::lock_guard lock(mutex);
        views.emplace_back(path, std::this_thread::get_id());
        --inFlight;
    }
    std::mutex mutex;
    std::vector<std::pair<std::string, std::thread::id>> views;  // read once the worker is idle
    std::atomic<int> inFlight{0};
    std::atomic<bool> overlapped{false};
};

// An owner of persons that writes down what it is told and lands thrown yields after a second.
class RecordingDelegate : public PersonViewDelegate {
public:
    Ids finished, thrown;
    std::vector<Point> throwCenters;
    std::function<void(PersonView&)> onFinish;
    bool respondsToFinishCheck() const override { return true; }
    void finishCheck(PersonView& person) override {
        finished.push_back(person.personId());
        if (onFinish) onFinish(person);
    }
    bool respondsToStartThrowYield() const override { return true; }
    void startThrowYield(std::shared_ptr<ImageView>, Point centerPos, PersonView& sender) override {
        thrown.push_back(sender.personId());
        throwCenters.push_back(centerPos);
        std::weak_ptr<View> person = sender.weak_from_this();
        RunLoop::main().performAfterDelay(1.0, [person] {
            if (auto p = std::static_pointer_cast<PersonView>(person.lock())) p->animationDidStop(nullptr, true);
        });
    }
};

class StageTest : public ::testing::Test {
protected:
    void SetUp() override { setUpWorld(12345); }
    void setUpWorld(uint64_t seed) {
        useResources(bundle().string());
        resetWorld();
        clock = gametest::startManualTime(seed);
        Analytics::setShared(analytics);
        auto log = sounds;
        SoundEngine::installSharedEngine(std::make_unique<SoundEngine>(
            [log] { return std::make_unique<RecordingSoundBackend>(log); },
            [](const std::string& name, const std::string& type) { return "/nowhere/" + name + "." + type; }, ""));
    }
    void TearDown() override {
        resetWorld();
        Analytics::setShared(nullptr);
        SoundEngine::installSharedEngine(nullptr);
        useResources(RE_TEST_RESOURCE_DIR);
    }
    static void resetWorld() {
        gametest::resetGameSingletons();
        UserInteraction::setShared(nullptr);
    }
    double now() const { return RunLoop::main().now(); }
    void advance(double seconds) { RunLoop::main().advanceBy(seconds); }
    void advanceTo(double instant) {
        if (instant > now()) RunLoop::main().advanceBy(instant - now());
    }
    // Runs everything due now; finishRecordings() first lets the recording worker catch up.
    void settle() { RunLoop::main().drain(); }
    void finishRecordings() {
        PersonView::waitForRecordings();
        settle();
    }
    static bool touchesEnabled() { return UserInteraction::shared()->isEnabled(); }
    // Records events of these names in delivery order, with their threads.
    void recordEvents(std::initializer_list<const char*> names) {
        for (const char* name : names)
            NotificationCenter::defaultCenter().addObserver(
                static_cast<const void*>(this),
                [this](const Notification& n) {
                    events.push_back(n.name);
                    eventThreads.push_back(std::this_thread::get_id());
                },
                name);
    }
    size_t count(const std::string& name) const { return static_cast<size_t>(std::count(events.begin(), events.end(), name)); }
    std::shared_ptr<ManualClock> clock;
    std::shared_ptr<ThreadNotingAnalytics> analytics = std::make_shared<ThreadNotingAnalytics>();
    std::shared_ptr<Strings> sounds = std::make_shared<Strings>();
    Strings events;
    std::vector<std::thread::id> eventThreads;
};

class PersonTest : public StageTest {
protected:
    void SetUp() override {
        setUpWorld(4242);
        owner = View::make<View>(Rect(0, 0, 320, 480));
    }
    // Person `id` on the owner view, told about its collections by `delegate`.
    std::shared_ptr<PersonView> makePerson(int id, Point center = Point(100, 100)) {
        auto person = View::make<PersonView>(Rect::withCenter(center, Size(PersonView::kWidth, PersonView::kHeight)));
        person->setTag(id);
        owner->addSubview(person);
        person->setDelegate(&delegate);
        return person;
    }
    // The monster the draw picks when next() mod 1000 comes out as `draw`.
    unsigned drawWith(unsigned dungeon, unsigned count, uint32_t draw) {
        uint64_t seed = 1;
        while (RandomSource(seed).next() % 1000u != draw) ++seed;
        RandomSource::shared().seed(seed);
        return makePerson(1)->monsterIdToBattleWithDungeonId(dungeon, false, count);
    }
    std::shared_ptr<PersonView> resolved(int id, unsigned dungeon) {
        auto person = makePerson(id);
        person->showResultWithDungeonId(dungeon);
        return person;
    }
    // A person holding a monster of dungeon 1, or a coffin for monster 0.
    std::shared_ptr<PersonView> holder(int id, unsigned monster) {
        auto person = makePerson(id, Point(40.0 + 10 * id, 100));
        if (monster) person->showMonsterWithId(monster, 1);
        else person->showKanokePre();
        return person;
    }
    static bool bossTimeSet() { return store().objectForKey("timestamp_boss").type() != Value::Type::Nil; }
    static void setExploreCnt(unsigned dungeonId, unsigned count) {
        store().setObject(Value{{"dungeon_id", Value(dungeonId)}, {"explore_cnt", Value(count)}}, "dungeon_" + std::to_string(dungeonId));
    }
    std::shared_ptr<View> owner;
    RecordingDelegate delegate;
};

inline DungeonRow dungeonInfo(int id) {
    DungeonRow row;
    row.id = static_cast<unsigned>(id);
    return row;
}

class StageViewTest : public StageTest {
protected:
    void SetUp() override {
        setUpWorld(777);
        window = std::make_shared<Window>(Rect(0, 0, 320, 480));
        stage = View::make<StageView>(Rect(0, 160, 320, 320));
        window->addSubview(stage);
    }
    void TearDown() override {
        stage.reset();
        window.reset();
        StageTest::TearDown();
    }
    std::shared_ptr<PersonView> person(int id) const { return stage->personWithId(id); }
    static Point screen(Point stagePoint) { return Point(stagePoint.x, stagePoint.y + 160); }  // in the window
    void tap(Point stagePoint) {
        window->touchDown(screen(stagePoint));
        window->touchUp(screen(stagePoint));
    }
    static void addMembers(int count) {
        for (int m = 1; m <= count; ++m) store().setObject(Value{{"member_id", Value(m)}}, "member_" + std::to_string(m));
    }
    // Draws the party, sends everybody off to a dungeon, lets every walk end and starts listening
    // for the returns.
    void sendOffTo(int dungeon) {
        stage->drawPersons();
        stage->setCurrentDungeonInfo(dungeonInfo(dungeon));
        stage->moveAllPersonsForExplore();
        advance(2.0);
        settle();
        recordEvents({"battling", "comebackDidEnd"});
        t0 = now();
    }
    // Checks the number of events of `name` just before and just after t0 + t.
    void expectCountAround(const char* name, double t, size_t before) {
        advanceTo(t0 + t - 0.01);
        settle();
        EXPECT_EQ(count(name), before) << t;
        advanceTo(t0 + t + 0.01);
        settle();
        EXPECT_EQ(count(name), before + 1) << t;
    }
    // Draws the party with persons 1..upTo holding monster 1 of dungeon 1.
    void drawWithHolders(int upTo) {
        for (int id = 1; id <= upTo; ++id) PersonManager::updatePersonInfoWithId(id, 3, 1, 1);
        stage->drawPersons();
    }
    bool collecting(int id) const { return person(id)->isCheking(); }
    double t0 = 0;
    std::shared_ptr<Window> window;
    std::shared_ptr<StageView> stage;
};

}  // namespace stagetests
