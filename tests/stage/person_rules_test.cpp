// What a returning person brings back: the monster draw with its new-monster limit, the boss
// rule, wins and coffins, and the battle log.
#include "stage_test_support.h"
#include "stage/PersonRules.h"

namespace stagetests {
namespace {

using Ids = std::vector<unsigned>;

class PersonRulesTest : public PersonTest {
protected:
    unsigned drawWith(unsigned dungeon, unsigned count, uint32_t draw) {  // draw: next() mod 1000
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
    static Value defeat(int id, unsigned monster) { return Value{{"id", Value(id)}, {"monsterId", Value(monster)}, {"isWin", Value(false)}}; }
    bool bossTimeSet() const { return store().objectForKey("timestamp_boss").type() != Value::Type::Nil; }
};

TEST_F(PersonRulesTest, NewMonstersJoinOnePerTwentyExploresAndTheDrawFallsInTheirBands) {
    const Value list = DungeonStaticData::getInstance()->monstersWithDungeonId(1);  // 1 old, 2 3 4 new, 6 boss
    const std::pair<unsigned, Ids> cases[] = {{0, {1, 2}}, {19, {1, 2}}, {20, {1, 2, 3}}, {39, {1, 2, 3}}, {40, {1, 2, 3, 4}}};
    for (const auto& [count, ids] : cases) EXPECT_EQ(PersonRules::candidatesWithMonsters(list, false, count).monsterIds, ids) << count;
    // Once hunted, the boss takes part by its weight.
    const MonsterCandidates hunted = PersonRules::candidatesWithMonsters(list, true, 0);
    EXPECT_EQ(hunted.monsterIds, (Ids{1, 2, 6}));
    EXPECT_EQ(hunted.weights, (std::vector<float>{0.5f, 0.2f, 0.0f}));
    // New monsters beyond the limit are passed over, later old ones stay.
    const Value mixed(Value::Array{entry(20, true, 0.1), entry(21, true, 0.1), entry(22, false, 0.3), entry(23, true, 0.1), entry(24, false, 0.4)});
    EXPECT_EQ(PersonRules::candidatesWithMonsters(mixed, false, 0).monsterIds, (Ids{20, 22, 24}));
    EXPECT_EQ(PersonRules::candidatesWithMonsters(mixed, false, 25).monsterIds, (Ids{20, 21, 22, 24}));
    // Dungeon 1, count 19: bands 1 [0,500), 2 [500,700); 750 lies beyond them and falls to the
    // first. Count 20 lets monster 3 in at [700,900), count 40 monster 4 at [900,1000).
    EXPECT_EQ(drawWith(1, 19, 750), 1u);
    EXPECT_EQ(drawWith(1, 20, 750), 3u);
    EXPECT_EQ(drawWith(1, 39, 950), 1u);
    EXPECT_EQ(drawWith(1, 40, 950), 4u);
    // Dungeon 2, 7 old 0.2, 8 new 0.5, 9 new 0.3, count 0: 7 and 8 only.
    const std::pair<uint32_t, unsigned> expected[] = {{0, 7}, {199, 7}, {200, 8}, {699, 8}, {700, 7}, {999, 7}};
    for (const auto& [draw, monster] : expected) EXPECT_EQ(drawWith(2, 0, draw), monster) << "draw " << draw;
}

TEST_F(PersonRulesTest, NoCandidateMeansTheReturnBringsNothing) {
    auto person = makePerson(3);
    EXPECT_EQ(person->monsterIdToBattleWithDungeonId(4, false, 100), 0u);  // empty list
    EXPECT_EQ(person->monsterIdToBattleWithDungeonId(99, false, 0), 0u);   // no list at all
    person->showResultWithDungeonId(5);                                     // only the unhunted boss
    EXPECT_EQ(person->currentYieldType(), PersonView::kYieldNothing);
    EXPECT_FALSE(person->isBeforeCheck());
    EXPECT_TRUE(store().arrayForKey("battleLogs").isNil());
    // Dungeon 4 has depth 0 and no boss: the boss rule must not meet "monster 0" and eat the
    // explore's one boss encounter.
    EXPECT_EQ(resolved(1, 4)->currentYieldType(), PersonView::kYieldNothing);
    EXPECT_FALSE(bossTimeSet());
    // A boss hunted before is drawn by weight, without an announcement or a boss time.
    recordEvents({"bossHunted"});
    MonsterManager::getInstance()->addMonsterWithId(5);
    settle();
    events.clear();
    EXPECT_EQ(resolved(2, 5)->currentMonsterId(), 5u);
    settle();
    EXPECT_TRUE(events.empty());
    EXPECT_FALSE(bossTimeSet());
}

TEST_F(PersonRulesTest, TheBossComesOncePerExploreTimeWhenDeepEnough) {
    recordEvents({"bossHunted"});
    const double exploreTime = LeftTimeManager::totalTimeForExplore();
    ASSERT_EQ(exploreTime, 20.0);  // dungeon 1: 1 s a person, 20 persons
    setExploreCnt(1, 39);  // not deep enough yet
    EXPECT_NE(resolved(1, 1)->currentMonsterId(), 6u);
    EXPECT_FALSE(bossTimeSet());
    setExploreCnt(1, 40);
    auto first = resolved(2, 1);
    EXPECT_EQ(first->currentMonsterId(), 6u);
    EXPECT_TRUE(first->isBeforeCheck());
    const double met = clock->wallNow();
    EXPECT_EQ(SavedStateStore(store().filePath()).doubleForKey("timestamp_boss"), met);  // flushed at once
    EXPECT_TRUE(events.empty()) << "announced on a later pass";
    settle();
    EXPECT_EQ(events, (std::vector<std::string>{"bossHunted"}));
    // Every later person draws normally, up to one explore time after the encounter.
    for (int id = 3; id <= 12; ++id) {
        setExploreCnt(1, 40 + static_cast<unsigned>(id));
        EXPECT_NE(resolved(id, 1)->currentMonsterId(), 6u) << "person " << id;
        clock->jumpWall(1.0);
    }
    clock->setWall(met + exploreTime - 0.5);
    EXPECT_NE(resolved(13, 1)->currentMonsterId(), 6u);
    clock->setWall(met + exploreTime);
    EXPECT_EQ(resolved(14, 1)->currentMonsterId(), 6u);
    EXPECT_EQ(store().doubleForKey("timestamp_boss"), met + exploreTime);
}

TEST_F(PersonRulesTest, LostFightsAreLoggedInOrderAndStillSetTheBossTime) {
    recordEvents({"bossHunted"});
    setExploreCnt(3, 40);
    auto seven = resolved(7, 3);  // boss 12 needs equipment 1
    EXPECT_EQ(seven->currentYieldType(), PersonView::kYieldCoffin);
    EXPECT_EQ(seven->currentMonsterId(), 0u);
    EXPECT_EQ(store().doubleForKey("timestamp_boss"), clock->wallNow());
    clock->jumpWall(19.0);  // within the explore time: monster 11, a win, no entry
    EXPECT_EQ(resolved(4, 3)->currentMonsterId(), 11u);
    clock->jumpWall(1.0);
    resolved(20, 3);  // the boss again, beaten again
    settle();
    EXPECT_TRUE(events.empty());
    // Exactly as the battle report reads it: a signed id, an unsigned monster, a boolean.
    const Value log = store().arrayForKey("battleLogs");
    ASSERT_EQ(log.count(), 2u);
    EXPECT_EQ(log[0], defeat(7, 12u));
    EXPECT_EQ(log[1], defeat(20, 12u));
    EXPECT_FALSE(log[0]["id"].isUnsigned());
    EXPECT_TRUE(log[0]["monsterId"].isUnsigned());
    EXPECT_TRUE(log[0]["isWin"].isBoolean());
    // With the equipment the boss is beaten: no entry, and the boss is announced.
    store().setObject(Value{{"equip_id", Value(1)}}, "equip_1");
    clock->jumpWall(20.0);
    EXPECT_EQ(resolved(9, 3)->currentMonsterId(), 12u);
    EXPECT_EQ(store().arrayForKey("battleLogs").count(), 2u);
    settle();
    EXPECT_EQ(events, (std::vector<std::string>{"bossHunted"}));
}

}  // namespace
}  // namespace stagetests
