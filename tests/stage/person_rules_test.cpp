// What a returning person brings back: the monster draw with its new-monster limit, the boss
// rule, wins and coffins, and the battle log.
#include "explore/NMCommon.h"
#include "model/LeftTimeManager.h"
#include "model/MonsterManager.h"
#include "person_test_support.h"
#include "stage/PersonRules.h"

namespace persontest {
namespace {

using Ids = std::vector<unsigned>;

class PersonRulesTest : public PersonTest {
protected:
    unsigned drawWith(PersonView& person, unsigned dungeon, bool bossHunted, unsigned count, uint32_t draw) {
        RandomSource::shared().seed(seedDrawing(draw));
        return person.monsterIdToBattleWithDungeonId(dungeon, bossHunted, count);
    }
    Value logs() const { return store().arrayForKey("battleLogs"); }
};

TEST_F(PersonRulesTest, NewMonstersJoinOnePerTwentyExplores) {
    EXPECT_EQ(PersonRules::newMonsterLimit(0), 1u);
    EXPECT_EQ(PersonRules::newMonsterLimit(19), 1u);
    EXPECT_EQ(PersonRules::newMonsterLimit(20), 2u);
    EXPECT_EQ(PersonRules::newMonsterLimit(39), 2u);
    EXPECT_EQ(PersonRules::newMonsterLimit(40), 3u);

    // Dungeon 1: 1 old, 2 3 4 new, 6 the boss.
    const Value list = DungeonStaticData::getInstance()->monstersWithDungeonId(1);
    EXPECT_EQ(PersonRules::candidatesWithMonsters(list, false, 0).monsterIds, (Ids{1, 2}));
    EXPECT_EQ(PersonRules::candidatesWithMonsters(list, false, 19).monsterIds, (Ids{1, 2}));
    EXPECT_EQ(PersonRules::candidatesWithMonsters(list, false, 20).monsterIds, (Ids{1, 2, 3}));
    EXPECT_EQ(PersonRules::candidatesWithMonsters(list, false, 39).monsterIds, (Ids{1, 2, 3}));
    EXPECT_EQ(PersonRules::candidatesWithMonsters(list, false, 40).monsterIds, (Ids{1, 2, 3, 4}));
    // Once hunted, the boss takes part by its weight.
    const MonsterCandidates hunted = PersonRules::candidatesWithMonsters(list, true, 0);
    EXPECT_EQ(hunted.monsterIds, (Ids{1, 2, 6}));
    EXPECT_EQ(hunted.weights, (std::vector<float>{0.5f, 0.2f, 0.0f}));
}

TEST_F(PersonRulesTest, NewMonstersBeyondTheLimitArePassedOverButLaterOldOnesStay) {
    const Value list(Value::Array{entry(20, true, 0.1), entry(21, true, 0.1), entry(22, false, 0.3), entry(23, true, 0.1),
                                  entry(24, false, 0.4)});
    EXPECT_EQ(PersonRules::candidatesWithMonsters(list, false, 0).monsterIds, (Ids{20, 22, 24}));
    EXPECT_EQ(PersonRules::candidatesWithMonsters(list, false, 25).monsterIds, (Ids{20, 21, 22, 24}));
    EXPECT_TRUE(PersonRules::candidatesWithMonsters(Value(), false, 100).monsterIds.empty());
}

TEST_F(PersonRulesTest, TheLimitDecidesWhatTheDrawCanHit) {
    auto person = makePerson(1);
    // Count 19: bands 1 [0,500), 2 [500,700); 750 lies beyond them and falls to the first.
    EXPECT_EQ(drawWith(*person, 1, false, 19, 600), 2u);
    EXPECT_EQ(drawWith(*person, 1, false, 19, 750), 1u);
    // Count 20 lets monster 3 in: [700,900).
    EXPECT_EQ(drawWith(*person, 1, false, 20, 750), 3u);
    EXPECT_EQ(drawWith(*person, 1, false, 39, 950), 1u);
    EXPECT_EQ(drawWith(*person, 1, false, 40, 950), 4u);
}

TEST_F(PersonRulesTest, BandsOfTheWeightedChoice) {
    // A old 0.2, B new 0.5, C new 0.3, count 0: candidates A and B only.
    const MonsterCandidates c = PersonRules::candidatesWithMonsters(DungeonStaticData::getInstance()->monstersWithDungeonId(2), false, 0);
    ASSERT_EQ(c.monsterIds, (Ids{7, 8}));
    EXPECT_EQ(NMCommon::selectedIndexWithProbabilities(c.weights, 0), 0u);
    EXPECT_EQ(NMCommon::selectedIndexWithProbabilities(c.weights, 199), 0u);
    EXPECT_EQ(NMCommon::selectedIndexWithProbabilities(c.weights, 200), 1u);
    EXPECT_EQ(NMCommon::selectedIndexWithProbabilities(c.weights, 699), 1u);
    EXPECT_EQ(NMCommon::selectedIndexWithProbabilities(c.weights, 700), 0u);
    EXPECT_EQ(NMCommon::selectedIndexWithProbabilities(c.weights, 999), 0u);

    // The same through the person, with the shared random source seeded for each draw.
    auto person = makePerson(1);
    const std::pair<uint32_t, unsigned> expected[] = {{0, 7}, {199, 7}, {200, 8}, {699, 8}, {700, 7}, {999, 7}};
    for (const auto& [draw, monster] : expected) EXPECT_EQ(drawWith(*person, 2, false, 0, draw), monster) << "draw " << draw;
}

TEST_F(PersonRulesTest, NoCandidateMeansTheReturnBringsNothing) {
    auto person = makePerson(3);
    EXPECT_EQ(person->monsterIdToBattleWithDungeonId(4, false, 100), 0u);  // empty list
    EXPECT_EQ(person->monsterIdToBattleWithDungeonId(5, false, 0), 0u);    // only the unhunted boss
    EXPECT_EQ(person->monsterIdToBattleWithDungeonId(99, false, 0), 0u);   // no list at all

    person->showResultWithDungeonId(5);
    EXPECT_EQ(person->currentYieldType(), PersonView::kYieldNothing);
    EXPECT_EQ(person->currentMonsterId(), 0u);
    EXPECT_EQ(person->currentDungeonId(), 5u);
    EXPECT_FALSE(person->isBeforeCheck());
    EXPECT_TRUE(person->personImgView()->isAnimating());  // idle pose
    EXPECT_TRUE(logs().isNil());
}

TEST_F(PersonRulesTest, TheBossComesOncePerExploreTimeWhenDeepEnough) {
    recordEvents({"bossHunted"});
    const double exploreTime = LeftTimeManager::totalTimeForExplore();
    ASSERT_EQ(exploreTime, 20.0);  // dungeon 1: 1 s a person, 20 persons

    // Not deep enough yet: a normal draw.
    setExploreCnt(1, 39);
    auto early = makePerson(1);
    early->showResultWithDungeonId(1);
    EXPECT_NE(early->currentMonsterId(), 6u);
    EXPECT_EQ(store().objectForKey("timestamp_boss").type(), Value::Type::Nil);

    // Depth 40 reached: the first person meets the boss and wins it.
    setExploreCnt(1, 40);
    auto first = makePerson(2);
    first->showResultWithDungeonId(1);
    EXPECT_EQ(first->currentYieldType(), PersonView::kYieldMonster);
    EXPECT_EQ(first->currentMonsterId(), 6u);
    EXPECT_EQ(first->currentDungeonId(), 1u);
    EXPECT_TRUE(first->isBeforeCheck());
    const double met = clock->wallNow();
    EXPECT_EQ(store().doubleForKey("timestamp_boss"), met);
    // Flushed at once: a store reading the file sees it.
    SavedStateStore onDisk(store().filePath());
    EXPECT_EQ(onDisk.doubleForKey("timestamp_boss"), met);

    // "bossHunted" comes on a later pass, not inside the call.
    EXPECT_TRUE(events.empty());
    settle();
    EXPECT_EQ(events, (std::vector<std::string>{"bossHunted"}));

    // Every later person of the same explore draws normally, up to one explore time later.
    for (int id = 3; id <= 12; ++id) {
        setExploreCnt(1, 40 + static_cast<unsigned>(id));
        auto later = makePerson(id);
        later->showResultWithDungeonId(1);
        EXPECT_NE(later->currentMonsterId(), 6u) << "person " << id;
        clock->jumpWall(1.0);
    }
    clock->setWall(met + exploreTime - 0.5);
    auto stillSoon = makePerson(13);
    stillSoon->showResultWithDungeonId(1);
    EXPECT_NE(stillSoon->currentMonsterId(), 6u);

    // A full explore time after the encounter the (still unhunted) boss may come again.
    clock->setWall(met + exploreTime);
    auto again = makePerson(14);
    again->showResultWithDungeonId(1);
    EXPECT_EQ(again->currentMonsterId(), 6u);
    EXPECT_EQ(store().doubleForKey("timestamp_boss"), met + exploreTime);
}

TEST_F(PersonRulesTest, ALostBossFightStillSetsTheTime) {
    recordEvents({"bossHunted"});
    setExploreCnt(3, 40);
    auto loser = makePerson(7);
    loser->showResultWithDungeonId(3);  // boss 12 needs equipment 1
    EXPECT_EQ(loser->currentYieldType(), PersonView::kYieldCoffin);
    EXPECT_EQ(loser->currentMonsterId(), 0u);
    EXPECT_TRUE(loser->isBeforeCheck());
    EXPECT_EQ(store().doubleForKey("timestamp_boss"), clock->wallNow());

    // The boss does not come back within the explore time: monster 11 it is.
    clock->jumpWall(19.0);
    auto next = makePerson(8);
    next->showResultWithDungeonId(3);
    EXPECT_EQ(next->currentYieldType(), PersonView::kYieldMonster);
    EXPECT_EQ(next->currentMonsterId(), 11u);
    settle();
    EXPECT_TRUE(events.empty());

    // The defeat is in the log, exactly as the battle report reads it.
    const Value log = logs();
    ASSERT_EQ(log.count(), 1u);
    const Value& e = log[0];
    EXPECT_EQ(e.count(), 3u);
    EXPECT_TRUE(e["id"].isInteger());
    EXPECT_FALSE(e["id"].isUnsigned());
    EXPECT_EQ(e["id"].integerValue(), 7);
    EXPECT_TRUE(e["monsterId"].isUnsigned());
    EXPECT_EQ(e["monsterId"].unsignedValue(), 12u);
    EXPECT_TRUE(e["isWin"].isBoolean());
    EXPECT_FALSE(e["isWin"].boolValue());
}

TEST_F(PersonRulesTest, TheBattleLogHoldsDefeatsOnlyInResolutionOrder) {
    setExploreCnt(3, 40);
    auto seven = makePerson(7);
    seven->showResultWithDungeonId(3);  // beaten by the boss
    auto winner = makePerson(4);
    winner->showResultWithDungeonId(3);  // monster 11: a win, no entry
    EXPECT_EQ(winner->currentYieldType(), PersonView::kYieldMonster);
    clock->jumpWall(20.0);
    auto twenty = makePerson(20);
    twenty->showResultWithDungeonId(3);  // the boss again, beaten again

    const Value log = logs();
    ASSERT_EQ(log.count(), 2u);
    EXPECT_EQ(log[0], (Value{{"id", Value(7)}, {"monsterId", Value(12u)}, {"isWin", Value(false)}}));
    EXPECT_EQ(log[1], (Value{{"id", Value(20)}, {"monsterId", Value(12u)}, {"isWin", Value(false)}}));

    // With the equipment the boss is beaten: no entry, and the boss is announced.
    recordEvents({"bossHunted"});
    ownEquipment(1);
    clock->jumpWall(20.0);
    auto hero = makePerson(9);
    hero->showResultWithDungeonId(3);
    EXPECT_EQ(hero->currentMonsterId(), 12u);
    EXPECT_EQ(logs().count(), 2u);
    settle();
    EXPECT_EQ(events, (std::vector<std::string>{"bossHunted"}));
}

TEST_F(PersonRulesTest, AHuntedBossIsDrawnByWeightWithoutAnnouncement) {
    recordEvents({"bossHunted"});
    MonsterManager::getInstance()->addMonsterWithId(5);  // dungeon 5's boss, hunted before
    settle();
    events.clear();
    auto person = makePerson(2);
    person->showResultWithDungeonId(5);
    EXPECT_EQ(person->currentMonsterId(), 5u);
    EXPECT_EQ(person->currentYieldType(), PersonView::kYieldMonster);
    settle();
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(store().objectForKey("timestamp_boss").type(), Value::Type::Nil);
}

TEST_F(PersonRulesTest, ADungeonWithoutABossNeverHasABossFight) {
    // Dungeon 4 has depth 0 and boss id 0: the boss rule would otherwise fire on every return
    // and meet "monster 0", eating the explore's one boss encounter.
    auto person = makePerson(1);
    person->showResultWithDungeonId(4);
    EXPECT_EQ(person->currentYieldType(), PersonView::kYieldNothing);
    EXPECT_EQ(store().objectForKey("timestamp_boss").type(), Value::Type::Nil);
}

}  // namespace
}  // namespace persontest
