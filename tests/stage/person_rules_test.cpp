// What a returning person brings back: the monster draw with its new-monster limit, the boss
// rule, wins and coffins, and the battle log.
#include "stage_test_support.h"
#include "stage/PersonRules.h"

namespace stagetests {
namespace {

using Monsters = std::vector<unsigned>;

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
    bool bossTimeSet() const { return store().objectForKey("timestamp_boss").type() != Value::Type::Nil; }
};

TEST_F(PersonRulesTest, NewMonstersJoinOnePerTwentyExploresAndTheDrawFallsInTheirBands) {
    const Value list = DungeonStaticData::getInstance()->monstersWithDungeonId(1);  // 1 old, 2 3 4 new, 6 boss
    const std::pair<unsigned, Monsters> cases[] = {{19, {1, 2}}, {20, {1, 2, 3}}, {40, {1, 2, 3, 4}}};
    for (const auto& [count, ids] : cases) EXPECT_EQ(PersonRules::candidatesWithMonsters(list, false, count).monsterIds, ids) << count;
    // Once hunted, the boss takes part by its weight.
    const MonsterCandidates hunted = PersonRules::candidatesWithMonsters(list, true, 0);
    EXPECT_EQ(hunted.monsterIds, (Monsters{1, 2, 6}));
    EXPECT_EQ(hunted.weights, (std::vector<float>{0.5f, 0.2f, 0.0f}));
    // New monsters beyond the limit are passed over, later old ones stay.
    const Value mixed(Value::Array{entry(20, true, 0.1), entry(21, true, 0.1), entry(22, false, 0.3)});
    EXPECT_EQ(PersonRules::candidatesWithMonsters(mixed, false, 0).monsterIds, (Monsters{20, 22}));
    // Dungeon 1, count 19: bands 1 [0,500), 2 [500,700); 750 lies beyond them and falls to the
    // first. Count 20 lets monster 3 in at [700,900).
    EXPECT_EQ(drawWith(1, 19, 750), 1u);
    EXPECT_EQ(drawWith(1, 20, 750), 3u);
    // Dungeon 2, count 0: 7 [0,200), 8 [200,700), beyond falls to 7.
    const std::pair<uint32_t, unsigned> expected[] = {{199, 7}, {200, 8}, {699, 8}, {700, 7}};
    for (const auto& [draw, monster] : expected) EXPECT_EQ(drawWith(2, 0, draw), monster) << "draw " << draw;
}

TEST_F(PersonRulesTest, NoCandidateMeansTheReturnBringsNothing) {
    auto person = resolved(3, 5);  // only the unhunted boss, not deep enough
    EXPECT_EQ(person->currentYieldType(), PersonView::kYieldNothing);
    EXPECT_FALSE(person->isBeforeCheck());
    // No boss and depth 0: the boss rule must not meet "monster 0" and use up the boss time.
    EXPECT_EQ(resolved(1, 4)->currentYieldType(), PersonView::kYieldNothing);
    EXPECT_FALSE(bossTimeSet());
    // A boss hunted before is drawn by weight, without an announcement or a boss time.
    MonsterManager::getInstance()->addMonsterWithId(5);
    recordEvents({"bossHunted"});
    EXPECT_EQ(resolved(2, 5)->currentMonsterId(), 5u);
    settle();
    EXPECT_TRUE(events.empty());
    EXPECT_FALSE(bossTimeSet());
}

TEST_F(PersonRulesTest, TheBossComesOncePerExploreTimeWhenDeepEnough) {
    recordEvents({"bossHunted"});
    const double exploreTime = LeftTimeManager::totalTimeForExplore();
    setExploreCnt(1, 39);  // not deep enough yet
    EXPECT_NE(resolved(1, 1)->currentMonsterId(), 6u);
    EXPECT_FALSE(bossTimeSet());
    setExploreCnt(1, 40);
    EXPECT_EQ(resolved(2, 1)->currentMonsterId(), 6u);
    const double met = clock->wallNow();
    EXPECT_EQ(SavedStateStore(store().filePath()).doubleForKey("timestamp_boss"), met);  // flushed at once
    EXPECT_TRUE(events.empty()) << "announced on a later pass";
    settle();
    EXPECT_EQ(events, (Strings{"bossHunted"}));
    clock->setWall(met + exploreTime - 0.5);
    EXPECT_NE(resolved(13, 1)->currentMonsterId(), 6u);
    clock->setWall(met + exploreTime);
    EXPECT_EQ(resolved(14, 1)->currentMonsterId(), 6u);
}

TEST_F(PersonRulesTest, LostFightsAreLoggedInOrderAndStillSetTheBossTime) {
    setExploreCnt(3, 40);
    auto seven = resolved(7, 3);  // boss 12 needs equipment 1
    EXPECT_EQ(seven->currentYieldType(), PersonView::kYieldCoffin);
    EXPECT_EQ(store().doubleForKey("timestamp_boss"), clock->wallNow());
    clock->jumpWall(20.0);
    resolved(20, 3);  // the boss again, one explore time later, beaten again
    // Exactly as the battle report reads it: a signed id, an unsigned monster, a boolean.
    const Value log = store().arrayForKey("battleLogs");
    ASSERT_EQ(log.count(), 2u);
    EXPECT_EQ(log[1], (Value{{"id", Value(20)}, {"monsterId", Value(12u)}, {"isWin", Value(false)}}));
    EXPECT_EQ(log[0]["id"].integerValue(), 7);
    EXPECT_FALSE(log[0]["id"].isUnsigned());
    EXPECT_TRUE(log[0]["monsterId"].isUnsigned());
    EXPECT_TRUE(log[0]["isWin"].isBoolean());
}

}  // namespace
}  // namespace stagetests
