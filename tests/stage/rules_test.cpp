// The rules without a window: the explore's arithmetic and a returning person's battle, as tables
// of cases.
#include <gtest/gtest.h>

#include "platform/core/Random.h"
#include "stage/BattleResolver.h"
#include "stage/ExploreCycle.h"

namespace {

TEST(ExploreCycleTest, ReturnsDueCountOnFromThoseAlreadyBack) {
    struct Case {
        double interval, at;
        int64_t back, returning;
        bool finished, hint;
        double left;
    };
    // Start 1000, a party of 20, 120 s in all.
    const Case cases[] = {
        {6, 0.5, 0, 0, false, false, 119.5},   // walking off: nobody due
        {6, 20.5, 0, 3, false, true, 99.5},    // three due after 20.5 s; a wait ahead: the hint
        {6, 20.5, 3, 0, false, true, 99.5},    // and not twice
        {6, 20.5, 20, 0, true, false, 99.5},   // a count left over from another explore ends this one at once
        {6, 119.99, 19, 0, false, false, 0.01},
        {6, 200, 5, 15, true, false, 0},       // long closed: all the rest, the time left stays at 0
        {6, -100, 0, 0, false, false, 220},    // the clock set back before the start
        {30, 2, 0, 0, false, true, 118},       // the wait hint from 2 s on
        {30, 1.9, 0, 0, false, false, 118.1},  // not before
        {4.9, 2, 0, 0, false, false, 118},     // too quick for it
        {30, 300, 9, 1, false, false, 0},      // ten back of twenty: no hint any more
    };
    for (const Case& c : cases) {
        const ExploreProgress p = ExploreCycle(1000, c.interval, 20, 120).progressAt(1000 + c.at, c.back);
        const std::string what = "interval " + std::to_string(c.interval) + " at " + std::to_string(c.at) + " with " + std::to_string(c.back);
        EXPECT_EQ(p.returning, c.returning) << what;
        EXPECT_EQ(p.numComeback, c.back + c.returning) << what;
        EXPECT_EQ(p.finished, c.finished) << what;
        EXPECT_EQ(p.waitHintDue, c.hint) << what;
        EXPECT_NEAR(p.left, c.left, 1e-9) << what;
    }
}

TEST(BattleResolverTest, TheBossRuleTheDrawAndTheOutcome) {
    // Monster 1 weighs all; boss 6 is listed but takes part only once hunted.
    const DungeonMonsterList monsters{{1, false, false, 1.0f}, {6, true, false, 0.0f}};
    BattleFacts deep;
    deep.personId = 7;
    deep.bossId = 6;
    deep.exploreCnt = 40;
    deep.depth = 40;
    deep.sinceBoss = 120;
    deep.exploreTime = 120;
    deep.monsters = monsters;
    struct Case {
        const char* what;
        BattleFacts facts;
        bool strong;
        unsigned monster;
        bool showed, won, first, logged, drew;
    };
    auto with = [&](auto change) {
        BattleFacts f = deep;
        change(f);
        return f;
    };
    const Case cases[] = {
        {"the boss, beaten for the first time", deep, true, 6, true, true, true, false, false},
        {"the boss, too strong: a coffin and a line", deep, false, 6, true, false, false, true, false},
        {"not deep enough", with([](BattleFacts& f) { f.exploreCnt = 39; }), true, 1, false, true, false, false, true},
        {"shown within the explore time", with([](BattleFacts& f) { f.sinceBoss = 119.5; }), true, 1, false, true, false, false, true},
        {"no boss in the dungeon", with([](BattleFacts& f) { f.bossId = 0; }), true, 1, false, true, false, false, true},
        {"hunted already", with([](BattleFacts& f) { f.bossHunted = true; }), true, 1, false, true, false, false, true},
        {"a monster too strong", with([](BattleFacts& f) { f.exploreCnt = 0; }), false, 1, false, false, false, true, true},
        {"nothing to meet", with([](BattleFacts& f) { f.bossId = 0, f.monsters = {}; }), true, 0, false, false, false, false, false},
    };
    for (const Case& c : cases) {
        RandomSource random(11), untouched(11);
        std::vector<unsigned> asked;
        const BattleOutcome o = BattleResolver::resolve(c.facts, [&](unsigned id) { return asked.push_back(id), c.strong; }, random);
        EXPECT_EQ(o.monsterId, c.monster) << c.what;
        EXPECT_EQ(o.bossShowed, c.showed) << c.what;
        EXPECT_EQ(o.won, c.won) << c.what;
        EXPECT_EQ(o.firstBossWin, c.first) << c.what;
        EXPECT_EQ(asked, c.monster ? std::vector<unsigned>{c.monster} : std::vector<unsigned>{}) << c.what;
        const Value line{{"id", Value(int64_t(7))}, {"monsterId", Value(c.monster)}, {"isWin", Value(false)}};
        EXPECT_EQ(o.logEntry, c.logged ? line : Value()) << c.what;
        EXPECT_EQ(random.next() != untouched.next(), c.drew) << c.what << ": one draw exactly when the monster is drawn";
    }
}

}  // namespace
